; The failing code came from a loaded file: the diagnostic names it, and the program's call.
(load "lib/util.lisp")
(print "loaded")
(helper 7)
