; A name that is not bound: the call that holds it says where.
(print "before")
(print (undefined-function 1))
