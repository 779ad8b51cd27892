; Word frequencies: counting with a dictionary, then ranking the counts.

(define text "the cat and the hat
and the bat  sat")

; Split into lines, then into words; empty pieces come from double spaces.
(def (words-of text)
  (let result nil
    (for line (iter (reverse (split text "\n")))
      (for word (iter (reverse (split line " ")))
        (if (not (= word ""))
            (set result (cons word result)))))
    (reverse result)))

(define words (words-of text))
(print (length words))

(define counts (dict))
(for word (iter words)
  (set (at counts word) (if (has-key counts word) (+ 1 (at counts word)) 1)))
(print counts)

; Rank: repeatedly pick the first word with the highest remaining count.
(def (rank keys)
  (if (= keys nil)
      nil
      (let best (reduce (fn (a b) (if (< (at counts a) (at counts b)) b a)) keys)
        (cons best (rank (filter (fn (k) (not (= k best))) keys))))))

(for word (iter (rank (list-keys counts)))
  (print (+ word ": " (to-string (at counts word)))))

(print (in words "hat"))
(print (in words "dog"))
