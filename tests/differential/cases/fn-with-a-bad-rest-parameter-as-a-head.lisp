; fn refuses a rest parameter followed by more, as the head of a call (what let expands to).
(def (f n) (if (= n 0) ((fn (. a b) a) 1) (f (- n 1))))
(print (f 8))
