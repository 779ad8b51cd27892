; The deepest recursion whose leaf ((range 3)) still fits under the frame limit.
(def (down n) (if (= n 0) ((range 3)) (down (- n 1))))
(print (down 666629))
