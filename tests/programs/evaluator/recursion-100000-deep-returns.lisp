; Each pending call stays on the frame stack, never on the machine stack.
(define count-down (fn (n) (if (= n 0) 0 (+ 1 (count-down (- n 1))))))
(print (count-down 100000))
(print "still running")
