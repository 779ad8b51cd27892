; set-symbol of a name bound nowhere fails in its own frame, after the operands' calls.
(def (f) (set-symbol (quote nowhere) (+ 1 2)))
(f)
