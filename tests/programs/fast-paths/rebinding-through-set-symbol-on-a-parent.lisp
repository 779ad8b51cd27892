; set-symbol reaching the global binding of nth from inside a function.
(defgeneric (twice x))
(defmethod (twice (x integer)) (* 2 x))
(print (twice 4))
(def (sneak) (set-symbol (quote nth) (fn (i lst) (print "nth") (if (= i 0) (car lst) (car (cdr lst))))))
(sneak)
(print (twice 5))
