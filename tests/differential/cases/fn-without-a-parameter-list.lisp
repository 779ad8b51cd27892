; fn with nothing after it, as an operand.
(def (f n) (if (= n 0) (cons (fn) nil) (f (- n 1))))
(print (f 3))
