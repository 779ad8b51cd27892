; The forms before the failing one have run, in the loaded file's directory, and the error ends
; the whole run from inside the load.
(print (read-file "where.txt"))
(load "lib/fails.lisp")
(print "never")
