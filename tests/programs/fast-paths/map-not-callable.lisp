; map given a value that is not a function: the error comes from the first element's call.
(print (map 5 (list 1 2)))
