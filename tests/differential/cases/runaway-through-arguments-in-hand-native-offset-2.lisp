; A runaway recursion through the argument of a quick native called with values in hand, five frames a level;
; the lists around it shift where in the level the frame limit falls (2 lists of two frames).
(def (f x) (cons (f x) nil))
(print (list (list (f 1))))
