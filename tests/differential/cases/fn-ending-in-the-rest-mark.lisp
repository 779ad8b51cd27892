; A parameter list that ends with the rest mark, in a let's value.
(def (g n) (let h (fn (x .) x) (h n)))
(print (g 1))
