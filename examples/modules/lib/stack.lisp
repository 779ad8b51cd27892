; A stack class.  It loads its own helper from this folder.
(load "text.lisp")

(defclass Stack () "A last-in, first-out stack." items)

(def (stack-push s x)
  (set (items s) (cons x (items s))))

(def (stack-pop s)
  (let top (car (items s))
    (set (items s) (cdr (items s)))
    top))

(def (stack-size s) (length (items s)))

; The value of the last form is what load returns.
(banner "stack loaded")
