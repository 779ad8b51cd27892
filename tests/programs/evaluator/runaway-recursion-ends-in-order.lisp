; A recursion that never returns must end with an internal error and a
; trace, not a crash: the call that started it is the last trace line.
(define f (fn (n) (f n)))
(print "before the runaway call")
(f 1)
(print "never")
