; map's function fails on the fourth element, with three levels of map pending below it, and on
; a rest that is not a list; the traces show every level's frames.
(def (tenfold x) (if (= x 4) (car x) (* x 10)))
(print (map tenfold (list 1 2 3 5)))
(print (map tenfold (cons 1 (cons 2 3))))
(print (map tenfold (list 1 2 3 4 5)))
