; A test deep in a chain of ifs, forty calls deep, gives a number, which if refuses.
(def (f n) (cond (= n 100) 0 (= n 101) 1 (if (= n 0) n false) 2 true (cons n (f (- n 1)))))
(print (f 40))
