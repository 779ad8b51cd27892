; List building and walking: each round builds the list 0 ... n-1 from range,
; then maps, filters, sums, measures and indexes it with the library's functions.
(def (numbers-below n)
  (let xs nil
    (for i (range n) (set xs (cons i xs)))
    (reverse xs)))

(define total 0)
(for round (range 25)
  (let* (xs (numbers-below 500)
         squares (map (fn (x) (* x x)) xs)
         large (filter (fn (x) (> x (* round 5000))) squares))
    (set total (+ total (sum large) (length large) (nth round squares) (nth 499 xs)))))
(print total)
