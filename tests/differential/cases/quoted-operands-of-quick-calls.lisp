; An operand form that quotes is its operand, as quote called as a special form gives it. A quote
; made a function, or a name quote bound to a function of the program's, evaluates its operand as
; any function's call does; a quote with no operand fails in its own frame.
(define s 0)
(for i (range 5) (set-symbol (quote s) (+ s i)))
(print s)
(print (+ 1 (length (quote (a b c)))))
(print (cons (quote a) (quote (b c))))
(print (list (quote nil) (quote 3) (quote "text")))
(define t 0)
(def (with-own-quote quote) (set-symbol (quote s) 7))
(with-own-quote (fn (x) (quote t)))
(print (list s t))
(define evaluating-quote (with-exec-mode (quote function) quote))
(define u (quote s))
(set-symbol (evaluating-quote u) 9)
(print s)
(print (list 1 (quote)))
