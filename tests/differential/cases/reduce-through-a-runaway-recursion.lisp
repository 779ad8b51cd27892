; A recursion through reduce's function, one level each, runs into the frame limit.
(def (nest a x) (reduce nest (list a x)))
(nest 1 2)
