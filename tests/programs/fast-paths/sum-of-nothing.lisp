; sum of nil reduces an empty list.
(print (sum nil))
