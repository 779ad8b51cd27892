; A program function called from the prelude's map: the prelude's frames fold into one line.
(define bad (fn (x) (car x)))
(print (map bad (list 1 2)))
