; Recursions through an argument form that is not the last, far deeper than the machine stack
; would take one C frame a level for: the forms after it are evaluated once its value comes, a
; call among them too; then forms after it that go on step by step, and an error in one of them
; 3,000 levels down, whose trace shows every level.
(def (build n) (if (= n 0) nil (cons n (build (- n 1)))))
(def (weigh lst) (if (= lst nil) 1 (- (* 3 (weigh (cdr lst))) (car lst))))
(print (weigh (build 150000)))
(def (twice n) (* 2 n))
(def (sum-down n) (if (= n 0) 0 (+ (sum-down (- n 1)) (twice n) n)))
(print (sum-down 200000))
(def (quoted n) (if (= n 0) nil (list (quoted (- n 1)) (quasiquote (at (unquote n))))))
(print (car (cdr (quoted 5000))))
(def (broken n) (if (= n 0) 0 (list (broken (- n 1)) (twice n) (if (= n 1) missing n))))
(print (broken 3000))
