(def (down n) (for i (range 1) (down (+ n 1))))
(down 0)
