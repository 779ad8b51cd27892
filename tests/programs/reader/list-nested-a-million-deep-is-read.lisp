; A list nested 2^20 deep reads like any other: the reader keeps its open lists on the heap.
(define open "(")
(define close ")")
(for i (range 20) (set-symbol (quote open) (+ open open)) (set-symbol (quote close) (+ close close)))
(define result (read (+ open "x" close) 0))
(print (car result))
