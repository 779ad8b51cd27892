; A runaway recursion through the one form of two functions' bodies, each a call of the other,
; which the direct evaluator's loop takes without a C frame; the lists around it shift where in
; the level the frame limit falls (0 lists of two frames).
(def (f x) (g x))
(def (g x) (f x))
(print (f 1))
