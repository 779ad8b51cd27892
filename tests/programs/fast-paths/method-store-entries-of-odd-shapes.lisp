; Entries of method-store set by hand, well-formed and not.
(defgeneric (probe x))
(set-key method-store "probe" (list (list (quote (x)) (fn (x) (+ x 100)))))
(print (probe 1))
(set-key method-store "probe" (list (list (quote ((x integer))) print)))
(probe 2)
(set-key method-store "probe" (list (list (quote (x)) (fn (x) x)) 5))
(print (probe 3))
