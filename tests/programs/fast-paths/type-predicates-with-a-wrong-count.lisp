; A predicate called with two arguments is a broken call.
(print (is-string 1))
(print (is-string 1 2))
