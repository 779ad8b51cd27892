; An fn form that is not a proper list, as an operand: its call refuses it.
(define form (list (quote cons) (cons (quote fn) (cons (quote (x)) 5)) nil))
(def (f n) (if (= n 0) (eval current-scope form) (f (- n 1))))
(print (f 12))
