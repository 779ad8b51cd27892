; Sorting lists with a comparison function: insertion sort and merge sort.

(def (insert-sorted x sorted less)
  (cond (= sorted nil) (list x)
        (less x (car sorted)) (cons x sorted)
        true (cons (car sorted) (insert-sorted x (cdr sorted) less))))

(def (insertion-sort items less)
  (let result nil
    (for x (iter items)
      (set result (insert-sorted x result less)))
    result))

; There is no division: half counts down by twos.
(def (half n) (if (< n 2) 0 (+ 1 (half (- n 2)))))
(def (take n items) (if (= n 0) nil (cons (car items) (take (- n 1) (cdr items)))))
(def (drop n items) (if (= n 0) items (drop (- n 1) (cdr items))))

(def (merge a b less)
  (cond (= a nil) b
        (= b nil) a
        (less (car b) (car a)) (cons (car b) (merge a (cdr b) less))
        true (cons (car a) (merge (cdr a) b less))))

(def (merge-sort items less)
  (if (or (= items nil) (= (cdr items) nil))
      items
      (let middle (half (length items))
        (merge (merge-sort (take middle items) less) (merge-sort (drop middle items) less) less))))

(define numbers (list 31 41 59 26 53 58 97 93 23 84))
(print (insertion-sort numbers <))
(print (merge-sort numbers >))
(print (= (insertion-sort numbers <) (merge-sort numbers <)))

; Both sorts are stable: equal keys keep their order.
(define people (list (list "Ada" 36) (list "Brian" 29) (list "Grace" 45) (list "Linus" 29)))
(define by-age (merge-sort people (fn (a b) (< (nth 1 a) (nth 1 b)))))
(print (join (map car by-age) ", "))

; split hands back its pieces last first, so reverse them before sorting.
(define words (reverse (split "the quick brown fox jumps over the lazy dog" " ")))
(print (join (insertion-sort words (fn (a b) (< (length a) (length b)))) " "))
