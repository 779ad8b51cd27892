; Loaded with lib/ as the working directory.
(print (+ "a starts in " (read-file "where.txt")))
(load "deeper//c.lisp")
(print (+ "a resumes in " (read-file "where.txt")))
(load "b.lisp")
(print (+ "a ends in " (read-file "where.txt")))
(define from-a "defined by a")
