; A dictionary as the iterator of for: calling it is an internal error, reported in one line.
(print "before")
(for x (let d (dict) (set-key d "k" 1) d) x)
(print "after")
