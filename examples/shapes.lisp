; Shapes: a small class hierarchy whose behaviour lives in generic functions.

(defclass Shape () "Anything with a label." label)
(defclass Rect (Shape) width height)
(defclass Square (Rect))
(defclass Circle (Shape) radius)

; The generated constructors take the class's own attributes only,
; so these helpers fill in the inherited label as well.
(def (rect text w h)
  (let r (make-Rect w h)
    (set (label r) text)
    r))

(def (square text side)
  (let s (make-Square)
    (set (label s) text)
    (set (width s) side)
    (set (height s) side)
    s))

(def (circle text r)
  (let c (make-Circle r)
    (set (label c) text)
    c))

; A generic picks the most recently defined method that matches, so the
; general method for Shape comes first and the special cases after it.
(defgeneric (kind s))
(defmethod (kind (s Shape)) "shape")
(defmethod (kind (s Rect)) "rectangle")
(defmethod (kind (s Square)) "square")
(defmethod (kind (s Circle)) "circle")

; Integers only: a circle's area is computed in hundredths (pi as 314/100)
; and shown with a decimal point put in by hand.
(def (hundredths n)
  (let digits (to-string n)
    (+ (substring digits 0 (- (length digits) 2)) "." (substring digits (- (length digits) 2) (length digits)))))

(defgeneric (area-text s))
(defmethod (area-text (s Rect)) (to-string (* (width s) (height s))))
(defmethod (area-text (s Circle)) (hundredths (* 314 (radius s) (radius s))))

; With a to-string method, print can show shapes directly.
(defmethod (to-string (s Shape)) (+ (kind s) " " (label s)))

(define shapes (list (rect "door" 2 5) (square "tile" 3) (circle "coin" 2)))

(for s (iter shapes)
  (print (+ (to-string s) ": area " (area-text s))))

(print (nth 1 shapes))
(print (map is-Rect shapes))
(print (map (fn (s) (is-instance s Shape)) shapes))
(print (sum (map (fn (r) (* (width r) (height r))) (filter is-Rect shapes))))
(print Square)
(print (get-doc Shape))
