(def (first x) (car x))
(print (first (list 7 8)))
(print (first 7))
