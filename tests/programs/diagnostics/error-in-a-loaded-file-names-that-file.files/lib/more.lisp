; loaded by util.lisp, from its own folder
(define second-helper (fn (x)
  (+ (car x) 1)))
