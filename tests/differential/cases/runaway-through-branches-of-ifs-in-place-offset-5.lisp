; A runaway recursion through the branch of an `if` called in place, the last form of a body,
; which the direct evaluator's loop takes without a C frame; the lists and the `if` around it
; shift where in the level of six frames the frame limit falls (2 lists of two frames, 1 of
; three).
(def (f x) x (if true (f x) 0))
(print (list (list (if true (f 1) 0))))
