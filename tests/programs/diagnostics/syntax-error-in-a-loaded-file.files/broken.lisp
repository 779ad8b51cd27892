(print "loaded")
(print "unterminated)
