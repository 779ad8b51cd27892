; Names bound in a program's own scopes, and globals the dispatcher does not read, change nothing.
(defgeneric (size x))
(defmethod (size (x cell)) (length x))
(let filter 5 (let nth 6 (print (size (list 1 2 3)))))
(define length (fn (x) 99))
(print (size (list 1 2)))
(print (at (list 4 5 6) 2))
