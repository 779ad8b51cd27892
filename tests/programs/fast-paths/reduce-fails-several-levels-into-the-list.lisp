; reduce's function fails on the fourth element, with three levels of the helper pending below
; it; the trace shows every level's frames.
(def (add-small a x) (if (= x 4) (car x) (* a x)))
(print (reduce add-small (list 1 2 3)))
(print (reduce add-small (list 7)))
(print (reduce add-small (list 1 2 3 4 5)))
