; A native of one operand given two atoms, deep in a recursion, fails naming the call.
(def (down n) (if (< n 1) (car n n) (cons n (down (- n 1)))))
(print (down 20))
