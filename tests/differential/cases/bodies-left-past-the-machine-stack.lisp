; Recursions through the last form of a function's body, far deeper than the machine stack would
; take one C frame a level for: a let's call, a body of two forms, one-form bodies that call each
; other; then an error 3,000 levels down a body of two forms and one through a let, whose traces
; show every level.
(def (through-let n) (let m (- n 1) (if (= n 0) 0 (+ 1 (through-let m)))))
(print (through-let 200000))
(define last-seen 0)
(def (two-forms n) (set-symbol (quote last-seen) n) (if (= n 0) 0 (+ 1 (two-forms (- n 1)))))
(print (two-forms 200000))
(print last-seen)
(def (outer n) (inner n 1))
(def (inner n step) (if (= n 0) (quote bottom) (outer (- n step))))
(print (outer 300000))
(def (broken n) (set-symbol (quote last-seen) n) (if (= n 0) missing (+ 1 (broken (- n 1)))))
(print (broken 3000))
