; One level deeper than the deepest recursion whose leaf reduces over a list of 300 fits under the frame limit.
(def (numbers k) (if (= k 0) nil (cons k (numbers (- k 1)))))
(define xs (numbers 300))
(def (down n) (if (= n 0) (reduce (fn (a x) (- a x)) xs) (down (- n 1))))
(print (down 666365))
