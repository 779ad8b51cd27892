; The left list is reversed through iter, which fails on its last piece.
(print (+ (cons 1 2) (list 3)))
