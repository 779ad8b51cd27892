; The branch a body's `if` picks is a call whose head has no value, 4,000 calls deep.
(def (f n) (if (= n 0) (no-such-function n) (f (- n 1))))
(print (f 4000))
