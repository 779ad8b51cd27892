; Code made by a macro is found where the macro was called.
(defmacro (twice form) (list 'begin form form))
(define g (fn (x)
  (twice (car x))))
(g 4)
