; `if` whose argument list is not a proper list is left to the native inside a function.
(def (f n) (if (= n 0) (eval (cons (quote if) (cons true (cons 1 2))) current-scope) (f (- n 1))))
(print (f 10))
