; A method that calls its generic again and again, the innermost call failing.
(defclass Box () content)
(defgeneric (open-box b n))
(defmethod (open-box (b Box) (n integer))
  (if (= n 0) (error (quote box-error) (+ "empty at " (to-string n))) (open-box (content b) (- n 1))))
(print (open-box (make-Box (make-Box (make-Box (make-Box 7)))) 3))
