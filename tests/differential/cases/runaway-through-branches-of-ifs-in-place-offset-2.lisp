; A runaway recursion through the branch of an `if` called in place, the last form of a body,
; which the direct evaluator's loop takes without a C frame; the lists and the `if` around it
; shift where in the level of six frames the frame limit falls (1 lists of two frames, 0 of
; three).
(def (f x) x (if true (f x) 0))
(print (list (f 1)))
