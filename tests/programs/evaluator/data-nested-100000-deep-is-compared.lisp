; Comparing data nested a hundred thousand deep gives the verdict: nesting has no limit but memory.
(define a 0)
(define b 0)
(for i (range 100000) (set-symbol 'a (list a)) (set-symbol 'b (list b)))
(print "built")
(print (if (= a b) "equal" "different"))
(print (if (= a (list b)) "equal" "different"))
(print (if (= (list 1 a "x") (list 1 b "x")) "equal" "different"))
(print (if (= (list 1 a "x") (list 1 b "y")) "equal" "different"))
