; Bodies of one form shaped as a call of if (a symbol head, two or three operand forms), called
; many times while what the head means changes: another function, the if native under another
; name, a name a parameter rebinds, and last an unbound name.
(def (g a b) (list a b))
(def (shaped x) (g x 1))
(def (loop n acc) (if (= n 0) acc (loop (- n 1) (shaped n))))
(print (loop 100 nil))
(set-symbol (quote g) if)
(print (list (shaped true) (shaped false)))
(def (rebinding h t) (h t 2))
(print (rebinding (fn (a b) (+ a b)) 1))
(print (list (rebinding if true) (rebinding if false)))
(def (unbound-head x) (nowhere x 1))
(print (unbound-head 3))
