; Recursions through the branch of a function's one-form `if` body, far deeper than the machine
; stack would take one C frame a level for: results, then an error at the bottom of two
; functions that call each other with two values in hand, whose trace shows every level.
(def (down n) (if (= n 0) (quote bottom) (down (- n 1))))
(print (down 300000))
(def (build n) (if (= n 0) nil (cons n (build (- n 1)))))
(print (car (build 150000)))
(def (ping n acc) (if (= n 0) (car acc) (pong (- n 1) (+ acc 1))))
(def (pong n acc) (if (< n 0) acc (ping (- n 1) acc)))
(print (pong 20 0))
(print (ping 3000 0))
