; The deepest recursion whose leaf (sum (list 1 2 3 4 5 6 7 8 9 10)) still fits under the frame limit.
(def (down n) (if (= n 0) (sum (list 1 2 3 4 5 6 7 8 9 10)) (down (- n 1))))
(print (down 666623))
