; The part of the global environment written in Brevalon, evaluated form by form at start-up.
;
; Every name defined here already has its position in the global environment (bound with no
; value), so the order of the forms below only has to respect what each form needs when it is
; expanded and evaluated; a later definition fills the binding in place.
;
; Two things constrain that order. A function body keeps its forms as they were expanded when
; the definition was expanded, so every macro a body uses must already exist, with its final
; code, by then. And the definition macros call has-docstring, repr and to-string while they
; expand, so those names must answer correctly at every step.
;
; The natives the prelude hides in private scopes arrive as temporary globals whose names start
; with "%"; the last forms unbind them.

; ---------------------------------------------------------------------------------------------
; Bootstrap.
;
; begin, let and let* are first made with raw define. Their bodies hold no macro call outside a
; template, so these functions have exactly the code the defmacro forms below give them; those
; forms then replace them with documented ones.

(define begin
  (with-exec-mode (quote macro) (fn (. body) (quasiquote ((fn () (unquote-splicing body)))))))

(define let
  (with-exec-mode (quote macro)
    (fn (name value . body)
      (quasiquote ((fn ((unquote name))
                     (set-symbol (quote (unquote name)) (unquote value))
                     (unquote-splicing body))
                   nil)))))

(define let*
  (with-exec-mode (quote macro)
    (fn (args . body)
      (if (= args nil)
          (quasiquote ((fn () (unquote-splicing body))))
          (quasiquote (let (unquote (car args)) (unquote (car (cdr args)))
                        (let* (unquote (cdr (cdr args))) (unquote-splicing body))))))))

; Stands in for has-docstring until the generic length and is-string exist; it gives the same
; answer for every body the prelude defines.
(define has-docstring
  (fn (body) (if (= body nil) false (is-subclass (get-type (car body)) string))))

; A stand-in defmacro with the final code (its body is expanded by the let* above exactly as the
; real one's is). It expands the true definition of defmacro below into the very forms that
; defmacro would produce for itself, so the result cannot be told from a self-definition.
(define defmacro
  (with-exec-mode (quote macro)
    (fn (header . body)
      (let* (doc (if (has-docstring body)
                     (car body)
                     (repr (quasiquote (defmacro (unquote header) (unquote-splicing body)))))
             docless-body (if (has-docstring body) (cdr body) body)
             name (car header))
        (quasiquote (begin
                      (define (unquote name)
                        (with-exec-mode (quote macro)
                          (fn (unquote (cdr header)) (unquote-splicing body))))
                      (set-doc (unquote name) (unquote doc))
                      (set-metadata (unquote name) (dict))
                      (set-key (get-metadata (unquote name)) "name" (unquote (to-string name)))
                      (set-key (get-metadata (unquote name))
                               "source"
                               (quote (defmacro (unquote header) (unquote-splicing body))))))))))

; ---------------------------------------------------------------------------------------------
; Core macros and functions.
;
; Until the generics are made, repr and to-string are still the natives, which is all the
; definition macros need of them here.

(defmacro (defmacro header . body)
  (let* (doc (if (has-docstring body)
                 (car body)
                 (repr (quasiquote (defmacro (unquote header) (unquote-splicing body)))))
         docless-body (if (has-docstring body) (cdr body) body)
         name (car header))
    (quasiquote (begin
                  (define (unquote name)
                    (with-exec-mode (quote macro)
                      (fn (unquote (cdr header)) (unquote-splicing body))))
                  (set-doc (unquote name) (unquote doc))
                  (set-metadata (unquote name) (dict))
                  (set-key (get-metadata (unquote name)) "name" (unquote (to-string name)))
                  (set-key (get-metadata (unquote name))
                           "source"
                           (quote (defmacro (unquote header) (unquote-splicing body))))))))
(set-doc defmacro "Example: (defmacro (f x) `(+ ,x 1))")

(defmacro (def header . body)
  (let* (doc (if (has-docstring body)
                 (car body)
                 (repr (quasiquote (def (unquote header) (unquote-splicing body)))))
         docless-body (if (has-docstring body) (cdr body) body)
         name (car header))
    (quasiquote (begin
                  (define (unquote name) (fn (unquote (cdr header)) (unquote-splicing body)))
                  (set-doc (unquote name) (unquote doc))
                  (set-metadata (unquote name) (dict))
                  (set-key (get-metadata (unquote name)) "name" (unquote (to-string name)))
                  (set-key (get-metadata (unquote name))
                           "source"
                           (quote (def (unquote header) (unquote-splicing body))))))))
(set-doc def "Example: (def (f x) (+ x 5))")

(defmacro (begin . body) (quasiquote ((fn () (unquote-splicing body)))))
(set-doc begin "Example: (begin (print 1) (print 2))")

(defmacro (let name value . body)
  (quasiquote ((fn ((unquote name))
                 (set-symbol (quote (unquote name)) (unquote value))
                 (unquote-splicing body))
               nil)))
(set-doc let "Example: (let x 5 (print x))")

(defmacro (let* args . body)
  (if (= args nil)
      (quasiquote ((fn () (unquote-splicing body))))
      (quasiquote (let (unquote (car args)) (unquote (car (cdr args)))
                    (let* (unquote (cdr (cdr args))) (unquote-splicing body))))))
(set-doc let* "Example: (let (x 5 y 8) (+ x y))")

(def (is-instance x y) (is-subclass (get-type x) y))
(set-doc is-instance "Example: (is-instance 5 integer) -> true")

(def (map f lst) (if (= lst nil) nil (cons (f (car lst)) (map f (cdr lst)))))
(set-doc map "Example: (filter (fn (x) (= x true)) my-list)")

(def (filter f lst)
  (if (= lst nil)
      nil
      (let head (car lst) (if (f head) (cons head (filter f (cdr lst))) (filter f (cdr lst))))))

; reduce-helper is made inside its own scope so that it reaches itself by name, and only reduce
; sees it.
(let reduce-helper (fn (f lst acc)
                     (if (= lst nil) acc (reduce-helper f (cdr lst) (f acc (car lst)))))
  (def (reduce f lst) (reduce-helper f (cdr lst) (car lst))))
(set-doc reduce "Example: (reduce + my-numbers)")

(defmacro (when expr . body) (quasiquote (if (unquote expr) (begin (unquote-splicing body)))))
(set-doc when "Example: (when (> x 5) (print x) (print 5))")

(defmacro (cond . forms)
  (if (= nil forms)
      nil
      (let* (predicate (car forms) action (car (cdr forms)))
        (quasiquote (if (unquote predicate)
                        (unquote action)
                        (cond (unquote-splicing (cdr (cdr forms)))))))))
(set-doc cond "Usage: (cond condition? action condition? action ...)")

(def (is-list x) (or (= x nil) (is-instance x cell)))
(set-doc is-list "(is-list x): return true if x is a list (a cons cell or nil)")

(def (nth i lst) (if (= i 0) (car lst) (nth (- i 1) (cdr lst))))

; ---------------------------------------------------------------------------------------------
; Generic functions.

(def (match-types call-args method-parameters)
  (cond (and (= nil call-args) (= nil method-parameters)) true
        (= nil call-args) false
        (= nil method-parameters) false
        true (let* (argument (car call-args) parameter (car method-parameters))
               (if (is-list parameter)
                   (let* (param-name (car parameter) param-type (car (cdr parameter)))
                     (if (is-instance argument param-type)
                         (match-types (cdr call-args) (cdr method-parameters))
                         false))
                   (match-types (cdr call-args) (cdr method-parameters))))))
(set-doc match-types "internal function used by generics to match a method with call arguments")

(def (eval-types method-parameters call-env)
  (if (= nil method-parameters)
      nil
      (let parameter (car method-parameters)
        (if (is-list parameter)
            (let* (param-name (nth 0 parameter)
                   param-type (nth 1 parameter)
                   new-parameter (list param-name (eval call-env param-type)))
              (cons new-parameter (eval-types (cdr method-parameters) call-env)))
            (cons parameter (eval-types (cdr method-parameters) call-env))))))
(set-doc eval-types "internal function used by generics to only evaluate types in a method header")

(define method-store (dict))
(set-doc method-store "internal dictionary used by generics to store and retrieve methods")

(defmacro (defgeneric header . body)
  (let name (car header)
    (quasiquote (begin
                  (set-key method-store (unquote (to-string name)) nil)
                  (def (unquote header)
                    (let* (method-definitions (get-key method-store (unquote (to-string name)))
                           call-args (list (unquote-splicing (cdr header)))
                           matching-methods (filter (fn (method-definition)
                                                      (let* (method (nth 1 method-definition)
                                                             method-parameters
                                                               (nth 0 method-definition))
                                                        (match-types call-args method-parameters)))
                                                    method-definitions))
                      (if (= nil matching-methods)
                          (error (quote undefined-method) "No matching method for these arguments")
                          (let f (nth 1 (car matching-methods))
                            (f (unquote-splicing (cdr header)))))))))))

(def (untype-parameters parameters)
  (map (fn (parameter) (if (is-list parameter) (car parameter) parameter)) parameters))

(let local-to-string %native-to-string
  (defmacro (defmethod header . body)
    (let* (name (car header)
           parameters (cdr header)
           untyped-parameters (untype-parameters parameters)
           func-name (gensym)
           param-list-cache (gensym)
           typed-parameters-cache (gensym))
      (quasiquote (let* ((unquote param-list-cache) (quote (unquote parameters))
                         (unquote typed-parameters-cache)
                           (eval-types (unquote param-list-cache) current-scope)
                         (unquote func-name) (fn (unquote untyped-parameters)
                                               (unquote-splicing body)))
                    (set-key method-store
                             (unquote (to-string name))
                             (cons (list (unquote typed-parameters-cache) (unquote func-name))
                                   (get-key method-store (unquote (to-string name))))))))))
(set-doc defmethod "Example: (defmethod (length (x cell) (+ 1 (length (cdr x)))))")

; From here on every defmethod expansion draws three generated symbols; the 42 methods below,
; in this order, draw numbers 1 to 126. Nothing else in the prelude calls gensym.
;
; A generic without methods fails on every call, so a generic that the definition macros use
; while expanding (repr, to-string) is defined in the same top-level form as the methods those
; calls need: the whole form is expanded, with the old value still in place, before any of it is
; evaluated.

(let native-repr %native-repr
  (defgeneric (repr x))
  (defmethod (repr x) (+ "<unknown value of type " (to-string (get-type x)) ">"))
  (defmethod (repr (x type)) (native-repr x))
  (let local-has-key has-key
    (defmethod (repr (x function))
      (if (and (is-dict (get-metadata x)) (has-key (get-metadata x) "source"))
          (repr (get-key (get-metadata x) "source"))
          (native-repr x))))
  (defmethod (repr (x cell)) (native-repr x))
  (defmethod (repr (x symbol)) (native-repr x))
  (defmethod (repr (x dictionary)) (native-repr x))
  (defmethod (repr (x environment)) (native-repr x))
  (defmethod (repr (x unique)) (native-repr x))
  (defmethod (repr (x string)) (native-repr x))
  (defmethod (repr (x class))
    (let meta (get-metadata x)
      (if (and (is-dict meta) (has-key meta "source"))
          (repr (get-key meta "source"))
          (if true (native-repr x) ()))))
  (defmethod (repr (x integer)) (native-repr x)))
(set-doc repr "Represent a value as a literal in a string")

(let native-+ %native-+
  (defgeneric (add x y))
  (defmethod (add (x integer) (y integer)) (native-+ x y)))
(set-doc add "Polymorphic (generic) addition, used by +")

(let native-str-concat %string-concat
  (defmethod (add (x string) (y string)) (native-str-concat x y)))

; concat-helper is made inside its own scope so that it reaches itself by name.
(let concat-helper (fn (list-a list-b)
                     (if (= nil list-a)
                         list-b
                         (concat-helper (cdr list-a) (cons (car list-a) list-b))))
  (defmethod (add (x unique) (y unique))
    (if (and (= x nil) (= y nil))
        nil
        (error (quote undefined-method) "Addition not defined for non-nil unique values")))
  (defmethod (add (x unique) (y cell))
    (if (= x nil)
        y
        (error (quote undefined-method)
               (+ "(+) not defined between unique value " (repr x) " and lists"))))
  (defmethod (add (x cell) (y unique))
    (if (= y nil)
        x
        (error (quote undefined-method)
               (+ "(+) not defined between list and unique value " (repr y)))))
  (defmethod (add (x cell) (y cell)) (concat-helper (reverse x) y)))

; The stand-in has-docstring is still in use, so no definition macro needs length while it has
; no methods.
(defgeneric (length x))
(set-doc length "Return the length")
(defmethod (length (x unique))
  (if (= x nil)
      0
      (if true (error (quote undefined-method) "length is not defined for this constant") ())))
(defmethod (length (x cell)) (+ 1 (length (cdr x))))
(let native-str-len %string-length
  (defmethod (length (x string)) (native-str-len x)))

(defgeneric (at x i))
(set-doc at "Return the value at an index")
(defmethod (at (x unique) (i integer))
  (if (= x nil)
      (error (quote indexing-error) "End of list reach while indexing")
      (error (quote indexing-error) "Cannot index type unique")))
(defmethod (at (x cell) (i integer)) (if (= i 0) (car x) (at (cdr x) (- i 1))))
(let native-str-at %string-at
  (defmethod (at (x string) (i integer)) (native-str-at x i)))

(defgeneric (set-at x i v))
(defmethod (set-at x i v)
  (error (quote undefined-method)
         (+ "(set-at " (repr (get-type x)) " <key> <value>) is not defined")))
(let native-get-key get-key
  (defmethod (at (x dictionary) (i string)) (native-get-key x i)))
(let native-set-key set-key
  (defmethod (set-at (x dictionary) (i string) v) (native-set-key x i v)))

(defgeneric (iter x))
(set-doc iter "Return an iterator to be consumed by a for loop")
(defmethod (iter x)
  (error (quote undefined-method) (+ "(iter) not defined for type " (to-string (get-type x)))))
(defmethod (iter (x unique)) (if (= x nil) (fn () nil) ()))
(defmethod (iter (x cell))
  (fn () (if (= x nil) nil (let result (car x) (set-symbol (quote x) (cdr x)) (list result)))))
(defmethod (iter (x string))
  (let i 0
    (fn () (if (= i (length x)) nil (let ch (at x i) (set-symbol (quote i) (+ i 1)) (list ch))))))

(defgeneric (to-symbol x))
(let native-str-to-sym %string->symbol
  (defmethod (to-symbol (x string)) (native-str-to-sym x)))

(let native-to-string %native-to-string
  (defgeneric (to-string x))
  (defmethod (to-string (x symbol)) (native-to-string x))
  (defmethod (to-string (x integer)) (native-to-string x))
  (defmethod (to-string (x cell)) (native-to-string x))
  (defmethod (to-string (x function)) (native-to-string x))
  (defmethod (to-string (x unique)) (native-to-string x)))
(set-doc to-string "Cast to string")
(defmethod (to-string (x string)) x)
(defmethod (to-string (x class))
  (let metadata (get-metadata x)
    (if (= nil metadata)
        "<unknown class>"
        (if (not (is-dict metadata))
            "<unknown class>"
            (if (has-key metadata "name") (+ "(class " (get-key metadata "name") ")") ())))))
(defmethod (to-string (x dictionary)) (repr x))

(defgeneric (in container item))
(defmethod (in container item)
  (error (quote undefined-method)
         (+ "(in) not implemented for this type combination:\n"
            (to-string container)
            "\n"
            (to-string item))))
(defmethod (in (container unique) item)
  (if (= nil container)
      false
      (error (quote undefined-method)
             (+ "(in) is not defined for this container: " (to-string container)))))
(defmethod (in (container cell) item) (if (= (car container) item) true (in (cdr container) item)))

; ---------------------------------------------------------------------------------------------
; The rest of the list functions and predicates, which need the generics above when they run.

(def (sum elts) (reduce add elts))

(def (reverse lst)
  (let reversed nil (for x (iter lst) (set-symbol (quote reversed) (cons x reversed))) reversed))

(def (range limit)
  (let counter 0
    (fn ()
      (if (= counter limit)
          nil
          (begin (set-symbol (quote counter) (+ 1 counter)) (list (- counter 1)))))))

(def (is-string x) (is-instance x string))

(def (is-integer x) (is-instance x integer))

(def (is-symbol x) (is-instance x symbol))

(def (is-cons x) (is-instance x cell))

(def (is-dict x) (is-instance x dictionary))

(def (is-nil x) (= x nil))

; The native addition stays at this position until sum and the add methods are in place.
(def (+ . args) (sum args))

; Replaces the stand-in now that length and is-string answer.
(def (has-docstring body) (and (> (length body) 0) (is-string (car body))))

; ---------------------------------------------------------------------------------------------
; The set macro.

(define setter-store (dict))
(set-doc setter-store
         "Global list of (set (<getter> x) value) -> (<setter> x value) transforms for the (set) macro")
(set-key setter-store "at" "set-at")

(defmacro (set place value)
  (cond (is-symbol place) (quasiquote (set-symbol (quote (unquote place)) (unquote value)))
        (and (is-list place) (>= (length place) 2))
          (let* (getter-name (car place)
                 setter-name (get-key setter-store (to-string getter-name))
                 getter-args (cdr place))
            (quasiquote ((unquote (to-symbol setter-name))
                         (unquote-splicing getter-args)
                         (unquote value))))
        true (error (quote syntax-error)
                    (+ "Unknown set syntax at "
                       (to-string (quasiquote (set (unquote place) (unquote value))))))))

; ---------------------------------------------------------------------------------------------
; Classes.

(def (make-attr-initializer instance-symbol attributes)
  (if (= nil attributes)
      (quote ())
      (cons (quasiquote (set-attr (unquote instance-symbol)
                                  (quote (unquote (car attributes)))
                                  (unquote (car attributes))))
            (make-attr-initializer instance-symbol (cdr attributes)))))

(def (make-constructor class-name attributes)
  (let* (instance-symbol (gensym) local-class-symbol (gensym))
    (quasiquote (let (unquote local-class-symbol) (unquote class-name)
                  (def ((unquote (to-symbol (+ "make-" (to-string class-name))))
                        (unquote-splicing attributes))
                    (let (unquote instance-symbol) (make-instance (unquote local-class-symbol))
                      (begin
                        (unquote-splicing (make-attr-initializer instance-symbol attributes))
                        (unquote instance-symbol))))))))

(def (make-getter class-name attribute-name)
  (let* (instance-symbol (gensym) method-key (to-string attribute-name))
    (quasiquote (begin
                  (if (not (has-key method-store (unquote (to-string attribute-name))))
                      (defgeneric ((unquote attribute-name) (unquote instance-symbol))))
                  (defmethod ((unquote attribute-name)
                              ((unquote instance-symbol) (unquote class-name)))
                    (get-attr (unquote instance-symbol) (quote (unquote attribute-name))))))))

(def (make-getters class-name attribute-names)
  (map (fn (attr-name) (make-getter class-name attr-name)) attribute-names))

(def (make-setter class-name attribute-name)
  (let* (instance-symbol (gensym)
         value-symbol (gensym)
         setter-name (+ "set-" (to-string attribute-name))
         setter (to-symbol setter-name))
    (quasiquote (begin
                  (if (not (has-key method-store (unquote setter-name)))
                      (begin
                        (defgeneric ((unquote setter)
                                     (unquote instance-symbol)
                                     (unquote value-symbol)))
                        ((unquote set-key)
                         setter-store
                         (unquote (to-string attribute-name))
                         (unquote setter-name))))
                  (defmethod ((unquote setter)
                              ((unquote instance-symbol) (unquote class-name))
                              (unquote value-symbol))
                    (set-attr (unquote instance-symbol)
                              (quote (unquote attribute-name))
                              (unquote value-symbol)))))))

(def (make-setters class-name attribute-names)
  (map (fn (attr-name) (make-setter class-name attr-name)) attribute-names))

(defmacro (defclass name parents . body)
  (let* (doc (if (has-docstring body)
                 (car body)
                 (repr (quasiquote (defclass (unquote name) (unquote parents)
                                     (unquote-splicing body)))))
         docless-body (if (has-docstring body) (cdr body) body))
    (let local-class (gensym)
      (quasiquote (begin
                    (define (unquote name)
                      (make-class (unquote parents) (unquote-splicing docless-body)))
                    (set-metadata (unquote name) (dict))
                    (set-key (get-metadata (unquote name)) "name" (unquote (to-string name)))
                    (set-key (get-metadata (unquote name))
                             "source"
                             (quote (defclass (unquote name) (unquote parents)
                                      (unquote-splicing body))))
                    (unquote (make-constructor name docless-body))
                    (unquote-splicing (make-getters name docless-body))
                    (unquote-splicing (make-setters name docless-body))
                    (let (unquote local-class) (unquote name)
                      (def ((unquote (to-symbol (+ "is-" (to-string name)))) x)
                        (is-instance x (unquote local-class))))
                    (defgeneric ((unquote (to-symbol (+ "to-" (to-string name)))) x))
                    (set-doc (unquote name) (unquote doc)))))))

; ---------------------------------------------------------------------------------------------
; The private natives now live only in the scopes above.

(unset %native-to-string)
(unset %native-repr)
(unset %native-+)
(unset %string-length)
(unset %string-at)
(unset %string->symbol)
(unset %string-concat)
