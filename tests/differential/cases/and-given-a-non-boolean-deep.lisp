(def (walk n) (if (and (> n 0) true) (+ 1 (walk (- n 1))) (and true n)))
(print (walk 1000))
