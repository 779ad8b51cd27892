; at reaches the last piece of an improper list and finds no method for it.
(print (at (cons 1 (cons 2 "tail")) 1))
(print (at (cons 1 (cons 2 "tail")) 2))
