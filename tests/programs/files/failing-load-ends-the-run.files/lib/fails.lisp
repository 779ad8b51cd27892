(print "first form ran")
(define reason (read-file "where.txt"))
(error (quote load-failure) reason)
(print "never")
