; A body shaped as a call of if, called many times, then the if native under another name, and
; last if defined as a function: the body's call then calls it (and print, whose prelude text
; uses if, fails in it).
(def (choose x) (if x 1 2))
(def (loop n acc) (if (= n 0) acc (loop (- n 1) (+ acc (choose (= n 7))))))
(print (loop 200 0))
(define other-if if)
(def (shaped x) (other-if x 1))
(print (list (shaped true) (shaped false)))
(define if (fn (a b c) (list 'not-if a b c)))
(print (choose true))
