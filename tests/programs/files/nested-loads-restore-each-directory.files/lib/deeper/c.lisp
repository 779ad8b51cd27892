(print (+ "c runs in " (read-file "where.txt")))
(load "../b.lisp")
(print (+ "c resumes in " (read-file "where.txt")))
