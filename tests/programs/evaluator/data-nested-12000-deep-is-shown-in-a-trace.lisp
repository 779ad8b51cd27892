; An error whose trace and message show data nested deeper than the printers once allowed.
(define a 0)
(for i (range 12000) (set-symbol 'a (list a)))
(print "built")
(eval current-scope (list 'if (list 'quote a) 1 2))
(print "never")
