; length of a list that does not end in nil fails in the method for its last piece.
(print (length (cons 1 (cons 2 5))))
