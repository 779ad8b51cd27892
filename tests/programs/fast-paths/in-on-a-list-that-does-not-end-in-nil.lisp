; in finds an element before the tail, and fails on the tail when it does not.
(print (in (cons 1 (cons 2 3)) 2))
(print (in (cons 1 (cons 2 3)) 5))
