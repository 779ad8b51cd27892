; An unbound atom among a native's two operands fails in its own frame, deep in a recursion.
(def (down n) (if (< n 1) (- n missing) (cons n (down (- n 1)))))
(print (down 20))
