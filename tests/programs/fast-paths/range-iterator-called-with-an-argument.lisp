; An iterator takes no arguments.
(define it (range 5))
(print (it))
(it 1)
