; A generic without a method for the arguments names itself, their types and the program's call.
(print "before")
(print (+ "n=" 5))
