(print (+ 1 2))
(def (sum elts) "summed")
(print (+ 3 4))
