; at and nth past the end of a list: the step-by-step methods ask again of each tail, which the
; natives refuse at once once the list was walked to its end. Between the failures, questions of
; the same list and its tails that the natives answer.
(def (build n acc) (if (= n 0) acc (build (- n 1) (cons n acc))))
(define xs (build 3000 nil))
(print (at xs 2999))
(print (nth 2999 xs))
(print (in xs 3000))
(print (at (cdr xs) 5))
(print (length (cdr (cdr xs))))
(print (nth 3 (cdr xs)))
(print (at xs 3000))
