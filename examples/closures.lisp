; Closures as objects: state kept in the variables a function closes over.

; An account is a function that answers messages.
(def (make-account owner balance)
  (let history nil
    (fn (message . arguments)
      (cond (= message 'deposit)
              (begin (set balance (+ balance (car arguments)))
                     (set history (cons (car arguments) history))
                     balance)
            (= message 'withdraw)
              (if (> (car arguments) balance)
                  "insufficient funds"
                  (begin (set balance (- balance (car arguments)))
                         (set history (cons (- 0 (car arguments)) history))
                         balance))
            (= message 'balance) balance
            (= message 'owner) owner
            (= message 'history) (reverse history)
            true (error 'unknown-message (to-string message))))))

(define account (make-account "Ada" 100))
(print (account 'deposit 50))
(print (account 'withdraw 30))
(print (account 'withdraw 500))
(print (+ (account 'owner) " has " (to-string (account 'balance))))
(print (account 'history))

; Each call of make-counter makes a fresh, private count.
(def (make-counter)
  (let count 0
    (fn () (set count (+ count 1)) count)))

(define c1 (make-counter))
(define c2 (make-counter))
(print (list (c1) (c1) (c2) (c1)))

; A closure that follows the iterator protocol drives a for loop.
(def (countdown n)
  (fn () (if (= n 0) nil (begin (set n (- n 1)) (list (+ n 1))))))

(for k (countdown 3) (print k))
