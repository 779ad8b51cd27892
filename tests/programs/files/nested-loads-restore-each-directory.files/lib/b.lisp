(print (+ "b runs in " (read-file "where.txt")))
