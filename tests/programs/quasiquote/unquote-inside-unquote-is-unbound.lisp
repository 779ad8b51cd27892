; The outer template evaluates the whole marked expression, so an unquote inside it is a call of
; the unbound symbol unquote; each level of the template shows in the trace.
(define x 2)
(print "before")
(print `(a `(b ,(+ 1 ,x))))
(print "never")
