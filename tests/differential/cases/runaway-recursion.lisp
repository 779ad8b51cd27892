(def (f x) (+ 1 (f x)))
(print (f 1))
