; A list added to a number has no method.
(print (+ (list 1 2) (list 3) 4))
