; The last branch of a chain of ifs, thirty calls deep, is a name nothing binds.
(def (f n) (cond (= n 100) 0 (= n 101) 1 (= n 0) missing true (cons n (f (- n 1)))))
(print (f 30))
