; Never read: the runner names the scratch directory itself.
(print "unreachable")
