; A recursion through chains of ifs deeper than the machine stack lets the direct path go, then
; an error at the bottom of another, so that every pending frame is printed.
(def (count n) (cond (= n (- 0 1)) 1 (= n (- 0 2)) 2 (= n 0) 0 true (+ 1 (count (- n 1)))))
(print (count 200000))
(def (g n) (cond (= n (- 0 1)) 1 (= n 0) (car 5) true (cons n (g (- n 1)))))
(print (g 70000))
