; The last forms of function bodies left to the direct evaluator's loop deep in a recursion, which
; then go on step by step: a special form it does not run, as a one-form body and as the last of two.
(def (nest n) (if (= n 0) (wrapped n) (nest (- n 1))))
(def (wrapped n) (quasiquote (bottom (unquote n))))
(print (nest 3000))
(def (nest-two n) (if (= n 0) (wrapped-two n) (cons n (nest-two (- n 1)))))
(def (wrapped-two n) n (quasiquote (bottom (unquote n))))
(print (length (nest-two 3000)))
(def (through-let n) (let m (- n 1) (if (= n 0) (quasiquote (at (unquote m))) (through-let m))))
(print (through-let 3000))
