; List addition reverses its left side through iter, so a new iter method for cells shows.
(print (+ (list 1 2) (list 3)))
(defmethod (iter (x cell)) (let done false (fn () (if done nil (begin (set-symbol (quote done) true) (list "once"))))))
(print (+ (list 1 2) (list 3)))
(print (sum (list (list 1 2) (list 3))))
