; An error 3,000 levels down a recursion through the body of a let, whose trace shows every level.
(def (through-let n) (let m (- n 1) (if (= n 0) (no-such-function m) (+ 1 (through-let m)))))
(print (through-let 3000))
