; A recursion through map's function, one element a level, runs into the frame limit.
(def (nest x) (map nest (list x)))
(nest 1)
