; A scope on a generic's closure chain gains a binding the dispatcher reads, through eval.
(define maker (fn () (defgeneric (kind x)) (defmethod (kind (x integer)) "int") current-scope))
(define scope (maker))
(print (kind 3))
(eval scope (quote (define match-types (fn (args params) (print "matching") true))))
(print (kind 4))
(print (to-string 5))
