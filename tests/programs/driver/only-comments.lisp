# nothing but comments and blanks

	 ; another comment
   # and one without a final newline