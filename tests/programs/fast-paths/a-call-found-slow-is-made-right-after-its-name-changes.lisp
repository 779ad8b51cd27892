; The argument forms of the + below hold a call of a function no quick call makes, so they are
; not tried as a quick call again; when the names come to mean quick natives, and back, the
; values are still the right ones, and so is the error of a call gone wrong.
(def (double x) (* x 2))
(def (shifted y) (+ (double y) 1))
(def (pair y) (cons (double y) (cons (- y 1) nil)))
(print (shifted 3))
(print (pair 3))
(define double -)
(print (shifted 3))
(print (pair 3))
(set double (fn (x) (* x 10)))
(print (shifted 3))
(print (pair 3))
(define double car)
(print (shifted 3))
