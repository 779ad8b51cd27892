; in compares with =, which refuses two environments.
(print (in (list 1 2) 2))
(print (in (list 1 current-scope) 3))
(print (in (list 1 current-scope) current-scope))
