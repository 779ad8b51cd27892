; apply hands its list to the generic; the method receives a list made by the call.
(define xs (list 1 2))
(defgeneric (pair-up a b))
(defmethod (pair-up a b) (list b a))
(print (apply pair-up xs))
(defgeneric (rest-of . more))
