(print "before")
(load "broken.lisp")
