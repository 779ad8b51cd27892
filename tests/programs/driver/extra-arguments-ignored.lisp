(print "only the first argument counts")
