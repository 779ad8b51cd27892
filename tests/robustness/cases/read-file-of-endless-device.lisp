; a device that never ends is refused at a size no real file reaches
(print "start")
(read-file "/dev/zero")
