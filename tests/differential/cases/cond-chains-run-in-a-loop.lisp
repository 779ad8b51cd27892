; Chains of ifs, each the branch the one before picked (as a cond's are), at every depth of a
; recursion: a merge, a classifier whose chain ends in each of its clauses, ifs nested in then
; branches and in else branches, an if without an else branch, and a chain that ends in a quick
; call, an atom, a let and a call of a function.
(def (merge-down a b)
  (cond (= b nil) a (= a nil) b
        (>= (car a) (car b)) (cons (car a) (merge-down (cdr a) b)) true (cons (car b) (merge-down a (cdr b)))))
(print (merge-down (list 9 6 4 1) (list 10 8 7 3 2)))
(def (classify n)
  (cond (< n 0) "negative" (= n 0) "zero" (< n 10) (let d (* n 2) (list "small" d)) (< n 100) (- n 10) true (classify (- n 100))))
(print (list (classify (- 0 5)) (classify 0) (classify 7) (classify 42) (classify 342)))
(def (then-nested n) (if (< n 100) (if (< n 10) (if (< n 1) "none" "few") "some") "many"))
(print (list (then-nested 0) (then-nested 5) (then-nested 50) (then-nested 500)))
(def (no-else n) (if (< n 5) (if (< n 2) "tiny")))
(print (list (no-else 1) (no-else 3) (no-else 9)))
(def (walk lst acc) (cond (= lst nil) acc (= (car lst) 0) (walk (cdr lst) acc) true (walk (cdr lst) (cons (car lst) acc))))
(print (walk (list 1 0 2 0 3) nil))
(def (depth n) (cond (= n 0) 0 (= n (- 0 1)) 0 true (+ 1 (depth (- n 1)))))
(print (depth 50000))
