; A function whose whole body is an unbound symbol, called 50,000 calls deep: its ExecFrame is pending.
(def (h) nothing-is-bound-here)
(def (f n) (if (= n 0) (h) (cons n (f (- n 1)))))
(print (f 50000))
