; A recursion through filter's function, one element a level, runs into the frame limit.
(def (nest x) (filter nest (list x)))
(nest 1)
