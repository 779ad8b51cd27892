; An error in the test of an if that is a function's body, twenty calls deep: every level's frames are pending.
(def (f n) (if (< n "zero") 0 (+ 1 (f (- n 1)))))
(print (f 20))
