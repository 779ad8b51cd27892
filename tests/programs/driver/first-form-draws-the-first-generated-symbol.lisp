(print (gensym))
