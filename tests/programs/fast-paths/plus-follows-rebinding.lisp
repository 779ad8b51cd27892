; + on integers and strings gives what the generic path gives
(print (+ 2 3))
(print (+ 9007199254740993 0))
(print (+ "a" "b" "c"))
(define x 7)
(set-doc x "seven")
; one argument comes back as the very same object
(print (get-doc (+ x)))
