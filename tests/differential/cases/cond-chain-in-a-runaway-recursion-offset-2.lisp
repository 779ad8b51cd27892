; A runaway recursion through a chain of ifs; the 2 lists around the call shift where in the
; level the frame limit falls.
(def (f x) (cond (= x 0) 0 (= x 2) 2 true (cons x (f x))))
(print (list (list (f 1))))
