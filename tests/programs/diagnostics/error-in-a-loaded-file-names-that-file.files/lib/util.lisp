(load "more.lisp")
(define helper (fn (x)
  (second-helper x)))
