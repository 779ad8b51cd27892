; filter whose function gives a value that is not a boolean part way through the list.
(print (filter (fn (x) (if (= x 3) 7 true)) (list 1 2 3 4)))
