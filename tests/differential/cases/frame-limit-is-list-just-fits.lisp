; The deepest recursion whose leaf (is-list 5) still fits under the frame limit.
(def (down n) (if (= n 0) (is-list 5) (down (- n 1))))
(print (down 666663))
