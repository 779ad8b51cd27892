; A runaway recursion through the last argument of a quick native called with values in hand,
; which the direct evaluator's loop takes without a C frame; the lists around it shift where
; in the level the frame limit falls (1 lists of two frames).
(def (f x) (cons 1 (f x)))
(print (list (f 1)))
