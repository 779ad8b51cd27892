; Memoised recursion: the number of partitions of n into parts of at most k,
; each result kept in a dictionary under the key "n k" built with to-string.
(define cache (dict))

(def (partitions n k)
  (cond
    (= n 0) 1
    (or (< n 0) (= k 0)) 0
    true
      (let key (+ (to-string n) " " (to-string k))
        (if (has-key cache key)
            (at cache key)
            (let value (+ (partitions n (- k 1)) (partitions (- n k) k))
              (set (at cache key) value)
              value)))))

(print (partitions 5 5))
(print (partitions 40 40))
(print (partitions 60 60))
(print (length (list-keys cache)))
