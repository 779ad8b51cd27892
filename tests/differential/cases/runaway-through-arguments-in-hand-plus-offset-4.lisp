; A runaway recursion through the argument of the prelude's + of values in hand, five frames a level;
; the lists around it shift where in the level the frame limit falls (4 lists of two frames).
(def (f x) (+ (f x) 1))
(print (list (list (list (list (f 1))))))
