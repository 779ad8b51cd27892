; String building: numbers turned to text, joined, split, then concatenated
; piece by piece with the generic +.
(def (number-texts n)
  (if (= n 0)
      nil
      (cons (to-string n) (number-texts (- n 1)))))

(define texts (number-texts 4000))
(define csv (join texts ","))
(define pieces (split csv ","))

(define built "")
(for piece (iter pieces)
  (set built (+ built "<" piece ">")))

(print (length csv))
(print (length built))
(print (substring built 0 30))
(print (substring csv 0 30))
(print (string-contains built "<299><300>"))
