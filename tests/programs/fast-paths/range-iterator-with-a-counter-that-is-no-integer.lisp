; A counter set to a string fails inside the iterator's own +, with its frames pending.
(define it (range 5))
(print (it))
(eval (get-closure it) (quote (set-symbol (quote counter) "x")))
(for i it (print i))
