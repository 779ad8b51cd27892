(def (m) (if true))
(m)
