; A dictionary that holds itself is nested without end: its literal form must stop at the
; printer's size limit with an orderly error, whatever the size of the machine stack.
(print "before")
(define d (dict))
(set-key d "self" d)
(print (repr d))
(print "after")
