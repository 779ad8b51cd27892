; The printer's largest text started from inside hundreds of nested print runs.
(print "before")
(define d (dict))
(set-key d "self" d)
(defmethod (to-string (x integer)) (if (< x 395) (begin (print (+ x 1)) "s") (repr d)))
(print 0)
(print "after")
