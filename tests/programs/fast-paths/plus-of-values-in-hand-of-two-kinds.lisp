; The prelude's + of values in hand that it cannot add: the quick + declines, and the diagnostic
; names the argument types from the argument list made for the prelude's +.
(def (g x) (* x 10))
(print (+ (g 1) " and " (to-string (g 2))))
