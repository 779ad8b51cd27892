; Calls through names bound to other functions than the natives quick calls stand for, or quote,
; reach those functions.
(def (show x) (print x))
(def (call-with - a b) (- a b))
(show (call-with - 10 3))
(show (call-with (fn (a b) (list a b)) 10 3))
(def (set-with set-symbol) (set-symbol (quote counter) (+ 1 2)))
(show (set-with (fn (name value) (list name value))))
(def (quote-with quote) (quote 5))
(show (quote-with (fn (x) (list "quoted" x))))
(def (car-with car) (car (list 1 2 3)))
(show (car-with cdr))
(show (car-with car))
