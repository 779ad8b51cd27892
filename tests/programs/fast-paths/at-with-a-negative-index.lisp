; A negative index walks to the end of the list and fails there.
(print (at (list 1 2 3) (- 0 1)))
