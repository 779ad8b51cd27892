; One list of operand forms shared by calls of natives taking one and two operands, each call made
; many times: lists of atoms and one holding a call; last, car given two operands.
(define x 9)
(define y 4)
(define lst (list 1 2 3))
(define two (list 'x 'y))
(define one (list 'lst))
(define nested (list 'x (list '- 'y 1)))
(def (run head operands) (eval current-scope (cons head operands)))
(def (repeat n f) (if (= n 0) nil (cons (f) (repeat (- n 1) f))))
(print (repeat 3 (fn () (list (run '- two) (run '< two) (run '= two) (run 'cons two)))))
(print (repeat 3 (fn () (list (run 'car one) (run 'cdr one) (run '- nested) (run '< nested)))))
(print (run 'car two))
