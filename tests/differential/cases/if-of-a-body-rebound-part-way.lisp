; A function whose body is a call of if, called before and after if is rebound: the later calls take the new binding.
(def (g n) (if (= n 0) "zero" "other"))
(print (g 0))
(define if (fn (test yes no) (list "my if" test yes no)))
(print (g 0))
