(print "never printed"
