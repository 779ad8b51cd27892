; print runs to-string in a nested run; a method that prints reaches the limit of nested runs.
(defclass Node () depth)
(defmethod (to-string (n Node))
  (if (= (depth n) 0) "end" (begin (print (make-Node (- (depth n) 1))) "x")))
(print (make-Node 3))
(def (down k) (if (= k 0) (print (make-Node 600)) (+ 1 (down (- k 1)))))
(down 2000)
