; A callback that fails inside map, itself called from a method.
(defgeneric (scale xs k))
(defmethod (scale (xs cell) (k integer)) (map (fn (x) (* x k)) xs))
(print (scale (list 1 2 3) 2))
(print (scale (list 1 "two" 3) 2))
