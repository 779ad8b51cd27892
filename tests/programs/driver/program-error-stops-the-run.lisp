(define check (fn (x) (if (= x 1) "one" missing-name)))
(print (check 1))
(print (check 2))
(print "never")
