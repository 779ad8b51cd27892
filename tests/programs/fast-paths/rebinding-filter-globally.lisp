; Rebinding a function the dispatcher reads takes effect at the next call of any generic.
(defgeneric (describe x))
(defmethod (describe (x integer)) "an integer")
(defmethod (describe (x string)) "a string")
(print (describe 1))
(define old-filter filter)
(define filter (fn (f lst) (print "filtering") (old-filter f lst)))
(print (describe "s"))
(print (to-string 12))
