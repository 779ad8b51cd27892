; A function called often enough that its parameters' names are bound in many scopes: its later
; scopes bind them all at once, and hold them as its first calls' scopes did, in order, each found,
; set, shadowed and removed as before; a parameter whose name is bound nowhere else yet goes first.
(def (pair p q) (list p q current-scope))
(def (walk p q r) (if (= p 0) (list q r current-scope) (walk (- p 1) (+ q 1) r)))
(define first (pair 1 2))
(print (list (car first) (car (cdr first))))
(define late (walk 20 0 'r))
(print (list (car late) (car (cdr late))))
(define scope (car (cdr (cdr late))))
(print (eval scope '(list p q r)))
(eval scope '(define s 4))
(eval scope '(set-symbol 'q 40))
(print (eval scope '(list p q r s)))
(eval scope '(unset q))
(print (eval scope '(list p r s)))
(def (fresh-name-here u v) (list u v))
(print (list (fresh-name-here 1 2) (fresh-name-here 3 4)))
(print (eval scope 'q))
