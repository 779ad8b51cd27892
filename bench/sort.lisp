; Sorting lists of integers: 8,000 pseudo-random integers from a 64-bit linear
; congruential generator, sorted with a merge sort on cons cells, and the first
; 2,000 of them with a quicksort built from filter and list +.
; Only * and - are used on the numbers: both wrap around at 64 bits, while +
; goes through a double accumulator and would lose the low bits.
(define multiplier 6364136223846793005)
(define increment 1442695040888963407)

(def (next-random x) (- (* x multiplier) (- 0 increment)))

(def (random-list n seed)
  (if (= n 0)
      nil
      (let x (next-random seed)
        (cons x (random-list (- n 1) x)))))

; deals the elements alternately onto two lists
(def (split-halves lst a b)
  (if (= lst nil)
      (list a b)
      (split-halves (cdr lst) b (cons (car lst) a))))

(def (merge a b)
  (cond
    (= a nil) b
    (= b nil) a
    (<= (car a) (car b)) (cons (car a) (merge (cdr a) b))
    true (cons (car b) (merge a (cdr b)))))

(def (merge-sort lst)
  (if (or (= lst nil) (= (cdr lst) nil))
      lst
      (let halves (split-halves lst nil nil)
        (merge (merge-sort (car halves)) (merge-sort (car (cdr halves)))))))

(def (quicksort lst)
  (if (= lst nil)
      nil
      (let pivot (car lst)
        (+ (quicksort (filter (fn (x) (< x pivot)) (cdr lst)))
           (cons pivot (quicksort (filter (fn (x) (>= x pivot)) (cdr lst))))))))

(def (take n lst)
  (if (= n 0) nil (cons (car lst) (take (- n 1) (cdr lst)))))

(def (is-sorted lst)
  (cond
    (= lst nil) true
    (= (cdr lst) nil) true
    (> (car lst) (car (cdr lst))) false
    true (is-sorted (cdr lst))))

(def (checksum lst h)
  (if (= lst nil) h (checksum (cdr lst) (- (* h 31) (car lst)))))

(define numbers (random-list 8000 42))
(define sorted (merge-sort numbers))
(define some (take 2000 numbers))
(print (is-sorted sorted))
(print (car sorted))
(print (nth 4000 sorted))
(print (nth 7999 sorted))
(print (checksum sorted 7))
(define quick (quicksort some))
(print (= quick (merge-sort some)))
(print (checksum quick 7))
