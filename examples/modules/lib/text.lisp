; Text helpers.
(def (banner text) (+ "*** " text " ***"))
