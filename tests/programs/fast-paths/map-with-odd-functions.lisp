; map given a special form, a macro, a native that fails, something not callable, and map itself.
(print (map quote (list 1 2)))
(print (map car (list (list 1) (list 2 3))))
(print (map (fn (xs) (map (fn (x) (* x x)) xs)) (list (list 1 2) nil (list 3))))
(defmacro (twice x) (quasiquote (list (unquote x) (unquote x))))
(print (map twice (list 1 2)))
