; Memoisation: remembering results in dictionaries (whose keys are strings).

(define cache (dict))
(define computed 0)

(def (fib n)
  (let key (to-string n)
    (if (has-key cache key)
        (at cache key)
        (let value (if (< n 2) n (+ (fib (- n 1)) (fib (- n 2))))
          (set computed (+ computed 1))
          (set (at cache key) value)
          value))))

(print (fib 30))
(print (+ "values computed: " (to-string computed)))
(print (fib 78))
(print (+ "values computed: " (to-string computed)))

; The same idea as a function that wraps any one-argument function.
(def (memoize f)
  (let table (dict)
    (fn (x)
      (let key (repr x)
        (if (has-key table key)
            (at table key)
            (let value (f x)
              (set (at table key) value)
              value))))))

(define slow-calls 0)
(def (slow-double x)
  (set slow-calls (+ slow-calls 1))
  (* 2 x))

(define fast-double (memoize slow-double))
(print (map fast-double (list 1 2 1 2 3 1)))
(print (+ "slow calls: " (to-string slow-calls)))
