(print "read")
)
(print "not read")

(print "not read either")
