; at past the end fails in the method for nil, below one frame per cell walked.
(print (at (list 1 2 3) 2))
(print (at (list 1 2 3) 3))
