; Closures made where fn is an operand or a call's head, in every shape fn takes, each one called.
(def (apply-all fs x) (if (= fs nil) nil (cons ((car fs) x) (apply-all (cdr fs) x))))
(define made
  (list (fn (x) (* x 2))
        (fn (. ignored) 7)
        (fn (. rest) rest)
        (fn (a . rest) (cons a rest))
        (eval current-scope (list (quote fn) (list (gensym)) 5))
        (fn (x) (let y (+ x 1) (let z (* y y) (- z x))))))
(print (apply-all made 3))
(print (cons (fn (x) x) nil))
(print ((fn nil 7)))
(print ((fn (a b) (list a b)) 1 2))
(def (counter n acc) (if (= n 0) acc (counter (- n 1) (cons ((fn (k) (* k k)) n) acc))))
(print (counter 10 nil))
; a let at every level of a recursion, then an error at the bottom
(def (down n) (if (= n 0) (car 5) (let m (- n 1) (cons n (down m)))))
(print (down 30))
