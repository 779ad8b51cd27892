; A program split into files.  Run it from this folder: brevalon main.lisp
; Paths given to load are relative to the current directory, and while a
; file is being loaded the current directory is that file's own folder.

(print (load "lib/stack.lisp"))

(define s (make-Stack nil))
(for word (iter (list "alpha" "beta" "gamma"))
  (stack-push s word))

(print (stack-size s))
(print (banner (stack-pop s)))
(print (items s))
(print (is-Stack s))
