; The prelude's + of two values in hand, a few hundred frames below the limit: the quick + declines
; there, and the prelude's + runs step by step, as it does without fast paths; it just fits, then
; runs out of frames inside the prelude's +.
(def (g x) x)
(def (down n) (if (= n 0) (+ (g 1) (g 2)) (down (- n 1))))
(print (down 666630))
(print (down 666633))
