; is-nil and is-list compare through the global =.
(print (list (is-nil 5) (is-list 5) (is-nil nil)))
(define calls 0)
(define = ((fn (old) (fn (a b) (set-symbol (quote calls) (- calls (- 0 1))) (old a b))) =))
(define answers (list (is-nil 5) (is-list 5) (is-nil nil) (is-list nil) (is-list (list 1))))
(define counted calls)
(print (list answers counted))
