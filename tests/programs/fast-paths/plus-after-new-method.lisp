; a new add method for integers takes precedence, also after + was used
(print (+ 1 2))
(defmethod (add (x integer) (y integer)) (* x y))
(print (+ 3 4))
