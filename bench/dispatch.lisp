; Generic dispatch on classes: area is a generic with one method per class, and
; the attribute getters it calls are generics made by defclass.
(defclass Square () side)
(defclass Rect () width height)
(defclass Triangle () base height)

(defgeneric (area s))
(defmethod (area (s Square)) (* (side s) (side s)))
(defmethod (area (s Rect)) (* (width s) (height s)))
(defmethod (area (s Triangle)) (- (* (base s) (height s)) (* (base s) (height s) 0)))

(define shapes (list (make-Square 3) (make-Rect 2 5) (make-Triangle 4 7)))

(define total 0)
(for i (range 800)
  (for s (iter shapes)
    (set total (+ total (area s)))))
(print total)
