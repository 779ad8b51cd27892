; A recursion without end: its calls are shown once, with how often they repeat.
(define down (fn (n) (+ 1 (down (- n 1)))))
(print "start")
(print (down 10))
