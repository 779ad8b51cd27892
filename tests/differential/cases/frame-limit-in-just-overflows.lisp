; One level deeper than the deepest recursion whose leaf (in (list 1 2 3 4 5 6 7 8 9 10) 10) fits under the frame limit.
(def (down n) (if (= n 0) (in (list 1 2 3 4 5 6 7 8 9 10) 10) (down (- n 1))))
(print (down 666603))
