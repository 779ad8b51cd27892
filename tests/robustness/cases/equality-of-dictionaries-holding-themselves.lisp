; Two dictionaries that hold themselves are nested without end: comparing them stops at the
; step limit, in constant memory.
(print "before")
(define d (dict))
(set-key d "self" d)
(define e (dict))
(set-key e "self" e)
(print (= d e))
(print "after")
