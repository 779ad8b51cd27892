; filter's function rebinds, part way through the list, names the rest of filter's recursion
; reads; the levels after the change see the new bindings. The generics use filter too, so it
; is put back before anything is printed.
(define plain-filter filter)
(def (rebind-filter x)
  (if (= x 2) (set-symbol (quote filter) (fn (f lst) (list (quote rest) lst))) nil)
  (< x 3))
(define kept-before (plain-filter rebind-filter (list 1 5 2 4 6)))
(set-symbol (quote filter) plain-filter)
(define dropped-before (plain-filter rebind-filter (list 7 5 2 1)))
(set-symbol (quote filter) plain-filter)
(print kept-before)
(print dropped-before)
(define plain-cons cons)
(define conses (filter (fn (x) (set-symbol (quote cons) (fn (a b) (plain-cons (list a) b))) true) (list 1 2 3)))
(set-symbol (quote cons) plain-cons)
(print conses)
(print (filter (fn (x) (> x 1)) (list 1 2 3)))
(print (filter quote (list 1 2)))
