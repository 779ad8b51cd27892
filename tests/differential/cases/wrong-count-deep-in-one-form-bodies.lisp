; A call with too many arguments 3,000 calls deep: the failing call's EvalFrame and CallFrame are pending.
(def (g x) x)
(def (f n) (if (= n 0) (g 1 2) (f (- n 1))))
(print (f 3000))
