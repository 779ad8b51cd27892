; filter over a list whose last rest is not nil: the function runs on each element, then car fails.
(print (filter (fn (x) (< x 2)) (cons 1 (cons 2 3))))
