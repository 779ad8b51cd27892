; reduce's function rebinds, part way through the list, what the helper's recursion reads; the
; levels after the change see the new bindings.
(define plain-cdr cdr)
(define product (reduce (fn (a x) (if (= x 3) (set-symbol (quote cdr) (fn (c) nil)) nil) (* a x)) (list 1 2 3 4 5)))
(set-symbol (quote cdr) plain-cdr)
(print product)
(print (reduce (fn (a x) (- a x)) (list 10 1 2 3)))
(print (reduce quote (list 1 2 3)))
(print (reduce list nil))
