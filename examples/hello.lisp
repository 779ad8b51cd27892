; The smallest Brevalon program: one line of output.
(print "Hello from Brevalon!")
