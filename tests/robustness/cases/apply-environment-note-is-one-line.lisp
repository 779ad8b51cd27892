; Calling an environment through apply is an internal error whose note quotes the environment;
; its literal form spans many lines, and the note must stay one line on standard error.
(print "before")
(apply current-scope '(1 2))
(print "after")
