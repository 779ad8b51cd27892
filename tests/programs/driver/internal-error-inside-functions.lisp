(define first-of (fn (x) (car x)))
(define outer (fn (y) (print "in outer") (first-of y)))
(outer 5)
(print "never")
