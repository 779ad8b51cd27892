; A method that fails inside methods, generics and a deep recursion run directly.
(defclass Box () content)
(defmethod (to-string (b Box)) (+ "box of " (to-string (car (content b)))))
(def (shown b) (to-string b))
(define b (make-Box (list 1 2)))
(print (shown b))
(set-content b 5)
(def (deep n) (if (= n 0) (shown b) (cons n (deep (- n 1)))))
(deep 300)
