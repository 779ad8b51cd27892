; Arguments evaluated with their values in hand: through a quasiquote the trampoline goes on with
; (the values so far become its argument list), into the prelude's +, a quick native and a
; function's parameters, and an error in the last argument with the first two done.
(def (g x) (* x 10))
(def (three a b c) (list a b c))
(print (three (g 1) (quasiquote (x (unquote (g 2)))) (g 3)))
(print (+ (g 1) (g 2) (g 3)))
(print (cons (g 1) (three 1 2 3)))
(print (three (g 1) (g 2) (car (g 3))))
