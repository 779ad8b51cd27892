; A runaway recursion through the last argument of a function whose parameters the values in
; hand bind, which the direct evaluator's loop takes without a C frame; the lists around it
; shift where in the level the frame limit falls (1 lists of two frames).
(def (two a b) a)
(def (f x) (two 1 (f x)))
(print (list (f 1)))
