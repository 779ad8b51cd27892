; The innermost form read from the file says where; the calls that led there follow, innermost first.
(define first-of (fn (x)
  (car x)))
(define caller (fn (y)
  (first-of y)))
(print (caller 1))
