(print "read")
)
(print "not read")
(car 5
