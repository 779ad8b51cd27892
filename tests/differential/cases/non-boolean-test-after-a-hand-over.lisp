; An `if` given a non-boolean test 100,000 calls deep, after the direct evaluator has handed on.
(def (f n) (if (= n 0) (if n 1 2) (+ 1 (f (- n 1)))))
(print (f 100000))
