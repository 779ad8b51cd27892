; A runaway recursion through a chain of ifs; an if and 3 lists around the call shift where in
; the level the frame limit falls.
(def (f x) (cond (= x 0) 0 (= x 2) 2 true (cons x (f x))))
(print (if true (list (list (list (f 1)))) 0))
