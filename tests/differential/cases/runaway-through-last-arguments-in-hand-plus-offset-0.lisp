; A runaway recursion through the last argument of the prelude's + of values in hand,
; which the direct evaluator's loop takes without a C frame; the lists around it shift where
; in the level the frame limit falls (0 lists of two frames).
(def (f x) (+ 1 (f x)))
(print (f 1))
