; filter's function fails part way through the list, after elements kept and dropped; the trace
; shows every level's frames.
(def (small x) (if (= x 4) (car x) (< x 3)))
(print (filter small (list 1 5 2 6 3)))
(print (filter small (list 1 5 2 6 4 7)))
