; The prelude's + needs frames of its own: a recursion that leaves fewer than it needs below
; the frame limit must reach the limit inside +, with or without fast paths.
(def (down n) (if (= n 0) (+ 1 2) (down (- n 1))))
(print "before")
(print (down 666660))
