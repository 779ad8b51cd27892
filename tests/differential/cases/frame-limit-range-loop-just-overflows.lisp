; One level deeper than the deepest recursion whose leaf (let s 0 (for i (range 3) (set-symbol (quote s) (+ s i))) s) fits under the frame limit.
(def (down n) (if (= n 0) (let s 0 (for i (range 3) (set-symbol (quote s) (+ s i))) s) (down (- n 1))))
(print (down 666629))
