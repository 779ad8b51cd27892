; Data nested a million deep prints in full, in both forms: nesting has no limit but memory.
(define a "x")
(for i (range 1000000) (set-symbol 'a (list a)))
(print "built")
(define text (repr a))
(print (length text))
(print (substring text 999995 1000008))
(print (if (= text (to-string a)) "the same text" "different texts"))
(print (length (to-string (list 1 a 2))))
