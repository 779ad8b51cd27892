; A recursion whose every level makes quick calls runs out of frames at the same call as ever.
(define total 0)
(def (f n) (set-symbol (quote total) (+ total (- n 1))) (cons (car (list n)) (f (- n 1))))
(f 10)
