; Never read: the runner names a file that does not exist.
(print "unreachable")
