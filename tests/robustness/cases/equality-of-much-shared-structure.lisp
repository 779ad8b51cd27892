; sharing makes the comparison exponential in the nesting: it stops instead of running for hours
(define l (list 1))
(for i (range 40) (set-symbol 'l (list l l)))
(print "built")
(= l l)
