; a parameter list written nil means no parameters
(define f (fn nil 1))
(print (f))
(print (repr f))
; the root's valueless parent-scope is a binding: set-symbol fills it, unset removes it
(print (set-symbol 'parent-scope 5))
(print parent-scope)
(print (unset parent-scope))
(print (unset parent-scope))
(print parent-scope)
