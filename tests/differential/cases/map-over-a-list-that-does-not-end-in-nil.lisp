; map over a list whose last rest is not nil: the function runs on each element, then car fails.
(print (map (fn (x) (* x 10)) (cons 1 (cons 2 3))))
