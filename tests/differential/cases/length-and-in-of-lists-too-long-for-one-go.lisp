; length and in of a list a little longer than the natives answer in one go: the step-by-step
; methods recurse over the first cells and ask again of each tail, until one is short enough.
(def (build n acc) (if (= n 0) acc (build (- n 1) (cons n acc))))
(define xs (build 63000 nil))
(print (length xs))
(print (in xs 62990))
(print (length (cons 1 (cons 2 3))))
