; = of two values without equality fails as the native does.
(def (same a b) (= a b))
(print (same 1 1))
(print (same (dict) 1))
(print (same car cdr))
