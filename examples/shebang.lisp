#!/usr/bin/env brevalon
; A script: make it executable (chmod +x shebang.lisp) and run ./shebang.lisp
; with brevalon on PATH.  The first line is a comment to Brevalon.
(print "Running as a script")
(print (+ "2 + 3 = " (to-string (+ 2 3))))
