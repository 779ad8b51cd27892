; A runaway recursion through the last of a function body's two forms, which the direct
; evaluator's loop takes without a C frame; the lists around it shift where in the level the frame
; limit falls (0 lists of two frames).
(def (f x) x (f x))
(print (f 1))
