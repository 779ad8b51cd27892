; An if that is a function's body, given a non-boolean test forty calls deep.
(def (f n) (if (if (= n 0) n true) (+ 1 (f (- n 1))) 0))
(print (f 40))
