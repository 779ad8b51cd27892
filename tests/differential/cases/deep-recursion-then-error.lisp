(def (count n) (if (= n 0) 0 (+ 1 (count (- n 1)))))
(print (count 200000))
(def (g n) (if (= n 0) (car 5) (cons n (g (- n 1)))))
(print (g 70000))
