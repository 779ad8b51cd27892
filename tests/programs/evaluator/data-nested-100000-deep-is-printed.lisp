; Data nested a hundred thousand deep prints in full, in both forms: nesting has no limit but memory.
(define a "x")
(for i (range 100000) (set-symbol 'a (list a)))
(print "built")
(define text (repr a))
(print (length text))
(print (substring text 99995 100008))
(print (if (= text (to-string a)) "the same text" "different texts"))
(print (length (to-string (list 1 a 2))))
