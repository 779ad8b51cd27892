; Loaded with lib/ as the working directory.
(define greeting (read-file "greeting.txt"))
(print "helper loaded")
