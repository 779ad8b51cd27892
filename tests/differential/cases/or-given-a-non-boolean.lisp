(def (h x) (if (and true x) 1 2))
(print (h true))
(print (or false (h false)))
(print (h 5))
