; Start-up's scopes, tables and functions are never marked again once the program runs, yet what
; the program puts into them lives through many collections: docs and metadata on the prelude's
; functions and constants, methods added to its generics, bindings in its global scope, a prelude
; name rebound to a new closure.
(set-doc map (+ "map, " "documented by the program"))
(set-metadata car (list "native" (list 1 2)))
(set-doc true (+ "the true " "value"))
(defclass Point () x y)
(defmethod (to-string (p Point)) (+ "<" (to-string (x p)) "," (to-string (y p)) ">"))
(defmethod (add (a Point) (b Point)) (make-Point (+ (x a) (x b)) (+ (y a) (y b))))
(for i (range 300)
  (eval current-scope (list 'define (to-symbol (+ "global-" (to-string i))) (list 'list i (to-string i)))))
(define old-reverse reverse)
(define reverse (fn (lst) (list "reversed" (old-reverse lst))))
; enough garbage for many collections
(define total 0)
(for i (range 60000)
  (let junk (list i (to-string i) (list i))
    (set total (+ total (car junk)))))
(print total)
(print (get-doc map))
(print (get-metadata car))
(print (get-doc true))
(print (to-string (make-Point 1 2)))
(print (to-string (+ (make-Point 1 2) (make-Point 30 40))))
(print (list global-0 global-150 global-299))
(print (reverse (list 1 2 3)))
