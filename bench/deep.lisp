; Non-tail recursion 100,000 calls deep: a list built by recursion, then walked
; by a recursion that does its work after the recursive call returns.
; Only * and - are used on the numbers, so the weights wrap around at 64 bits.
(def (build n)
  (if (= n 0)
      nil
      (cons n (build (- n 1)))))

(def (weigh lst)
  (if (= lst nil)
      1
      (- (* 3 (weigh (cdr lst))) (car lst))))

(define numbers (build 100000))
(print (car numbers))
(print (weigh numbers))
