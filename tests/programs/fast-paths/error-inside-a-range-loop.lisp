; An error raised in the body of a loop over range shows the loop's frames.
(def (walk n) (for i (range n) (if (= i 3) (error (quote boom) (+ "stopped at " (to-string i))) (print i))))
(walk 10)
