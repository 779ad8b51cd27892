; nth past the end of a list 3,000 long, after a question of it that nth answers.
(def (build n acc) (if (= n 0) acc (build (- n 1) (cons n acc))))
(define xs (build 3000 nil))
(print (nth 2998 xs))
(print (length xs))
(print (nth 3001 xs))
