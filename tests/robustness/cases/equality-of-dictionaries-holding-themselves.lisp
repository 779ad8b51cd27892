; Two dictionaries that hold themselves: comparing them stops at the nesting limit.
(print "before")
(define d (dict))
(set-key d "self" d)
(define e (dict))
(set-key e "self" e)
(print (= d e))
(print "after")
