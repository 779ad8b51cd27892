; Comparing data nested deeper than the machine stack allows must fail in
; order, as an internal error with a trace.
(define nest (fn (n acc) (if (= n 0) acc (nest (- n 1) (list acc)))))
(define a (nest 20000 nil))
(define b (nest 20000 nil))
(print "built")
(print (if (= a b) "equal" "different"))
