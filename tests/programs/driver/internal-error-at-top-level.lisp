(print "before")
(car 5)
(print "after")
