; filter's function fails part way through the list, after elements kept and dropped, and its
; test gives a value that is not a boolean; the traces show every level's frames.
(def (small x) (if (= x 4) (car x) (< x 3)))
(print (filter small (list 1 5 2 6 3)))
(print (filter small (list 1 5 2 6 4 7)))
(print (filter (fn (x) (if (= x 3) 7 true)) (list 1 2 3 4)))
(print (filter small (cons 1 (cons 5 3))))
