; A runaway recursion through the argument of a function whose parameters the values in hand bind, five frames a level;
; the lists around it shift where in the level the frame limit falls (1 lists of two frames).
(def (two a b) a)
(def (f x) (two (f x) 1))
(print (list (f 1)))
