; A sales report: written to a file line by line, then read back and checked.

(define sales (list (list "north" 120) (list "south" 75) (list "east" 210) (list "west" 40)))

(def (pad-right text width)
  (if (< (length text) width) (pad-right (+ text " ") width) text))

(def (pad-left text width)
  (if (< (length text) width) (pad-left (+ " " text) width) text))

(def (amount row) (nth 1 row))

(write-file "report.txt" "Region     Sales\n")
(for row (iter sales)
  (append-file "report.txt"
    (+ (pad-right (car row) 10) (pad-left (to-string (amount row)) 6) "\n")))
(append-file "report.txt" (+ (pad-right "total" 10) (pad-left (to-string (sum (map amount sales))) 6) "\n"))

(define best (reduce (fn (a b) (if (> (amount a) (amount b)) a b)) sales))
(append-file "report.txt" (+ "Best region: " (car best) "\n"))

; The file ends with a newline; strip removes it before printing.
(define text (read-file "report.txt"))
(print (strip text))
; split hands back the pieces last first; the empty piece after the final newline counts too.
(print (+ "lines: " (to-string (- (length (split text "\n")) 1))))
(print (string-contains text "east"))
