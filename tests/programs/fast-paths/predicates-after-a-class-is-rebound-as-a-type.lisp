; The predicates read the global type names, which a program can rebind.
(print (is-string "a"))
(define string integer)
(print (list (is-string "a") (is-string 5)))
