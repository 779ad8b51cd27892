; A recursion through for loops that reaches the frame limit; plain calls take it most of the way.
(def (down n) (for i (range 1) (down (+ n 1))))
(def (plain n) (if (= n 0) (down 0) (plain (- n 1))))
(plain 660000)
