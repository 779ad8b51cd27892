; A list of 100000 cells built and walked by recursion: everything it holds
; must stay reachable through every collection on the way.
(define build (fn (n acc) (if (= n 0) acc (build (- n 1) (cons n acc)))))
(define total (fn (items) (if (= items nil) 0 (+ (car items) (total (cdr items))))))
(define numbers (build 100000 nil))
(define again (build 100000 nil))
(print (total numbers))
(print (if (= numbers again) "rebuilt list is equal" "rebuilt list differs"))
(print (car numbers))
(print (car (cdr numbers)))
