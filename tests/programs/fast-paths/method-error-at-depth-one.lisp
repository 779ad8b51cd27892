; An error raised inside a method shows every frame the dispatcher has pending.
(defclass Sq () side)
(defgeneric (area s))
(defmethod (area (s Sq)) (car (side s)))
(print (area (make-Sq 3)))
