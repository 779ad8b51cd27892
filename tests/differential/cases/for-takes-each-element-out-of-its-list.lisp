; The loop takes each element out of the list its iterator returns: nil and false as elements do
; not end it, and a range iterator called by the program between steps gives its lists as before.
(define seen nil)
(def (elements-of lst)
  (let rest lst
    (fn () (if (= rest nil) nil (let head (car rest) (begin (set rest (cdr rest)) (list head)))))))
(print (for x (elements-of (list 1 nil false 4)) (set seen (cons x seen))))
(print seen)
(define it (range 6))
(print (it))
(print (for i it (begin (print (list i (it))) i)))
(print (it))
(define shared (range 4))
(print (for i shared (for j shared (list i j))))
(print (for i (range 0) i))
(def (step-fails) (for i (range 3) (if (= i 2) (car i) i)))
(step-fails)
