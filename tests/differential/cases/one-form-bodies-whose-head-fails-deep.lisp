; One-form bodies left to the direct evaluator's loop 3,000 levels down a recursion, whose head
; has no value at the bottom, or a value that is no function.
(def (down n) (if (= n 0) (bottom n 1) (+ 1 (down (- n 1)))))
(def (bottom n step) (no-such-function n step))
(print (down 3000))
