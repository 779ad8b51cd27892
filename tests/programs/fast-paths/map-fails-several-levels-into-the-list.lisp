; map's function fails on the fourth element, with three levels of map pending below it;
; the trace shows every level's frames.
(def (tenfold x) (if (= x 4) (car x) (* x 10)))
(print (map tenfold (list 1 2 3 5)))
(print (map tenfold (list 1 2 3 4 5)))
