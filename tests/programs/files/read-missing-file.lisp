(print "before")
(print (read-file "absent.txt"))
