; Recursions through the last branch of a chain of ifs, as a cond's, far deeper than the machine
; stack would take one C frame a level for; then an error in such a branch 3,000 levels down,
; whose trace shows every level.
(def (f n) (cond (= n 0) 0 (= n 5000000) 7 true (+ 1 (f (- n 1)))))
(print (f 200000))
(def (g n) (cond (= n 0) (quote bottom) (< n 0) 7 (> n 5000000) 8 true (g (- n 1))))
(print (g 100000))
(def (broken n) (cond (= n 0) missing (= n 5000000) 7 true (+ 1 (broken (- n 1)))))
(print (broken 3000))
