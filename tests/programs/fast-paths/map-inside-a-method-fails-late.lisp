; A method maps over a list and its function fails on the last element.
(defclass Pt () x)
(defgeneric (xs ps))
(defmethod (xs (ps cell)) (map (fn (p) (x p)) ps))
(print (xs (list (make-Pt 1) (make-Pt 2))))
(print (xs (list (make-Pt 1) (make-Pt 2) 7)))
