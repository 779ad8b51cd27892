; A runaway recursion through one-form bodies and `if`, six frames a level; the call around it
; shifts where in the level the frame limit falls (2 frames past a multiple of six).
(def (f x) (if true (f x) 0))
(print (list (f 1)))
