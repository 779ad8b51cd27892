; The tak function: deep call trees with only -, < and argument passing.
(def (tak x y z)
  (if (< y x)
      (tak (tak (- x 1) y z)
           (tak (- y 1) z x)
           (tak (- z 1) x y))
      z))

(print (tak 22 16 8))
