; + of two integers whose operands are calls adds them as the prelude's + does, through double
; precision: exactly up to 2^52, rounded past it, saturated at the 64-bit ends.
(def (id x) x)
(print (+ (id 1) (id 2)))
(print (+ (id (- 0 7)) (id 3)))
(print (+ (id 4503599627370496) (id 4503599627370496)))
(print (+ (id 4503599627370497) (id 4503599627370496)))
(print (+ (id 9007199254740993) (id 0)))
(print (+ (id 9223372036854775807) (id 1)))
(print (+ (id (- 0 9223372036854775807)) (id (- 0 2))))
(print (+ (id 1) (id "a")))
