(def (f) (for k 5 k))
(print (f))
