; The deepest recursion whose leaf maps over a list of 300 still fits under the frame limit.
(def (numbers k) (if (= k 0) nil (cons k (numbers (- k 1)))))
(define xs (numbers 300))
(def (down n) (if (= n 0) (length (map (fn (x) (+ x 1)) xs)) (down (- n 1))))
(print (down 665331))
