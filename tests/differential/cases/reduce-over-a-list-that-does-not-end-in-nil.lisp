; reduce over a list whose last rest is not nil: the function runs on each element, then = or car fails.
(print (reduce (fn (a x) (+ a x)) (cons 1 (cons 2 (cons 4 3)))))
