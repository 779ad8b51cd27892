; A test that is not a boolean in a chain of ifs, as a cond's, 3,000 levels down a recursion through
; the chain's last branch.
(def (odd-test n) (cond (= n 0) 5 (if (= n 1) n false) 7 true (+ 1 (odd-test (- n 1)))))
(print (odd-test 3000))
