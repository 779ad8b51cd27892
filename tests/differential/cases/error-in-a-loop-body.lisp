(def (sumto n) (let s 0 (for i (range n) (set-symbol (quote s) (+ s i))) s))
(print (sumto 1000))
(def (bad n) (for i (range n) (if (= i 3) (car i) i)))
(bad 10)
