(def (f) (for (k) (range 3) k))
(print (f))
