; Branches of one-form `if` bodies that the direct evaluator leaves to its loop and that then go
; on step by step: a special form it does not run, a call whose argument is itself such a
; recursion, and a test `if` refuses below a chain of ifs.
(def (nest n) (if (= n 0) (quasiquote (bottom (unquote n))) (nest (- n 1))))
(print (nest 2000))
(def (wrap n) (if (= n 0) (list 1 2 3) (cons n (wrap (- n 1)))))
(print (length (wrap 5000)))
(def (pick n) (if (= n 0) 5 (if (pick (- n 1)) 1 2)))
(print (pick 3))
