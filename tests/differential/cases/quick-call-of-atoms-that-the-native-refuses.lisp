; A native given atoms it refuses fails on the general path, with every pending frame.
(def (down n s) (if (< n 1) (- s 1) (cons n (down (- n 1) s))))
(print (down 3 2))
(print (down 20 "text"))
