; generated from seed 31
(def (down n) (if (= n 0) (+ 1 2) (down (- n 1))))
(print (down 666639))
