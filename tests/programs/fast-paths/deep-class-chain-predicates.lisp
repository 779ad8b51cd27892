; is-instance along a chain of forty classes.
(define top (make-class ()))
(define cls top)
(for i (range 40) (set-symbol (quote cls) (make-class (cls))))
(define obj (make-instance cls))
(print (list (is-instance obj top) (is-instance obj cls) (is-instance obj integer) (is-list obj) (is-cons obj)))
