; A program that rebinds to-string to a plain function calls that function.
(print (to-string 7))
(define to-string (fn (x) "plain"))
(print (to-string 7))
(print (+ "a" (to-string 8)))
