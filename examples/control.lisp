; New control structures written as macros.

; (unless condition body...): runs the body when the condition is false.
(defmacro (unless condition . body)
  `(if ,condition nil (begin ,@body)))

; (while condition body...): for drives the loop with an iterator that hands
; out one element as long as the condition holds.  The loop variable is a
; generated symbol, so it can never hide a variable of the caller.
(defmacro (while condition . body)
  `(for ,(gensym) (fn () (if ,condition (list true) nil)) ,@body))

; (repeat n body...): runs the body n times.
(defmacro (repeat n . body)
  `(for ,(gensym) (range ,n) ,@body))

; (dotimes (i n) body...): i counts from 0 to n - 1.
(defmacro (dotimes header . body)
  `(for ,(car header) (range ,(nth 1 header)) ,@body))

; (swap a b): exchanges two variables through a generated temporary.
(defmacro (swap a b)
  (let temporary (gensym)
    `(let ,temporary ,a
       (set ,a ,b)
       (set ,b ,temporary))))

(define n 3)
(while (> n 0)
  (print n)
  (set n (- n 1)))

(unless (= n 0) (print "not printed"))
(unless (= n 1) (print "n is not 1"))

(repeat 2 (print "hip hip"))
(print "hooray")

(dotimes (i 4) (print (* i i)))

(define tmp "first")
(define other "second")
(swap tmp other)
(print (+ tmp " " other))

(print (macroexpand '(unless done (print 1))))
