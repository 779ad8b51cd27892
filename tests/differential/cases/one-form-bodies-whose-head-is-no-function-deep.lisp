; A one-form body left to the direct evaluator's loop 3,000 levels down a recursion, whose head's
; value is no function.
(define not-a-function 5)
(def (down n) (if (= n 0) (bottom n 1) (+ 1 (down (- n 1)))))
(def (bottom n step) (not-a-function n step))
(print (down 3000))
