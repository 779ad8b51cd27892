; The deepest recursion whose leaf (at (list 1 2 3 4 5 6 7 8 9 10) 9) still fits under the frame limit.
(def (down n) (if (= n 0) (at (list 1 2 3 4 5 6 7 8 9 10) 9) (down (- n 1))))
(print (down 666599))
