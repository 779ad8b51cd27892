; fn refuses a parameter that is not a symbol; as an operand of a quick native, deep in a recursion.
(def (f n) (if (= n 0) (cons (fn (1) 1) nil) (f (- n 1))))
(print (f 25))
