; Each load runs its file in the file's own directory and gives the caller its directory back,
; however deep the loads nest.
(print (+ "program starts in " (read-file "where.txt")))
(load "lib/a.lisp")
(print (+ "program resumes in " (read-file "where.txt")))
(print from-a)
(load "./lib/b.lisp")
(print (+ "program ends in " (read-file "where.txt")))
