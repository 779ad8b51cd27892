; A calculator for a tiny language, parsed with read and evaluated by hand.

(define source "; a comment is skipped like whitespace
(let x 6)
(let y (* x 7))
(show (+ x y))
(show (- y (* 2 x) 1))
(show (* (+ 1 2) (+ x 1)))")

(define variables (dict))

(def (calc e)
  (cond (is-integer e) e
        (is-symbol e) (at variables (to-string e))
        true (let* (operator (to-string (car e))
                    operands (map calc (cdr e)))
               (cond (= operator "+") (apply + operands)
                     (= operator "-") (apply - operands)
                     (= operator "*") (apply * operands)
                     true (error 'calc-error (+ "unknown operator " operator))))))

(def (execute statement)
  (let verb (to-string (car statement))
    (cond (= verb "let") (set (at variables (to-string (nth 1 statement))) (calc (nth 2 statement)))
          (= verb "show") (print (+ (to-string (nth 1 statement)) " = " (to-string (calc (nth 1 statement)))))
          true (error 'calc-error (+ "unknown statement " verb)))))

; read returns nil at the end of the text, otherwise the pair
; (position after the expression . expression).
(def (run text position)
  (let step (read text position)
    (if (= step nil)
        "done"
        (begin (execute (cdr step))
               (run text (car step))))))

(print (run source 0))
(print (list-keys variables))
