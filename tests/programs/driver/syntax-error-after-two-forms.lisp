(print "first form")
(print "second form")
(print "third form is never closed"
