; A quick native given an operand it refuses fails in its own frame, with every frame pending.
(def (f x) (if (< 0 1) (- x 1) 0))
(print (f 5))
(print (f "five"))
