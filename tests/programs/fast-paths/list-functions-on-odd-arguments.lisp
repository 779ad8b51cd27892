; length, nth and reverse on proper lists, then on arguments their fast forms leave alone.
(print (length (list 1 2 3)))
(print (length nil))
(print (length "four"))
(print (nth 2 (list "a" "b" "c")))
(print (reverse (list 1 2 3)))
(print (reverse nil))
(print (reverse "abc"))
(print (nth 5 (list 1 2)))
