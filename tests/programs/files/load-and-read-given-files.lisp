(load "lib/helper.lisp")
(print greeting)
(print (read-file "greeting.txt"))
