#!/usr/bin/env python3
"""Writes a random Brevalon program for a seed: the same seed always gives the same program.

Usage: generate.py SEED

The programs lean on what fast paths stand for: user classes and generics with methods on
them and on built-in types, the prelude's generics and list functions, methods added and
prelude names rebound in the middle of the run (globally, inside a generic's private scope
through get-closure and eval, through set-symbol from a scope below), counting wrappers that
make every call of a rebound function visible, generated symbols, deep recursion, and an
optional last step that fails inside a method, a map, filter or reduce callback, printing, or
at the frame limit.  Every loop is bounded, so every program ends.
"""
import random
import sys

# Levels of (down n) below that fit under the frame limit with a constant leaf: a leaf that
# needs more frames than the constant pushes the run over the limit only near this depth.
DOWN_DEPTH_AT_FRAME_LIMIT = 666664

# Names the prelude's dispatcher and list functions read while they run.
DISPATCH_NAMES = ["filter", "match-types", "nth", "car", "=", "get-key", "method-store", "list"]

# Replacements that keep the prelude's behaviour but are other objects.
EQUIVALENTS = {
    "map": "(fn (f lst) (if (= lst nil) nil (cons (f (car lst)) (map f (cdr lst)))))",
    "filter": "(fn (f lst) (if (= lst nil) nil (if (f (car lst)) (cons (car lst) (filter f (cdr lst)))"
              " (filter f (cdr lst)))))",
    "nth": "(fn (i lst) (if (= i 0) (car lst) (nth (- i 1) (cdr lst))))",
    "is-instance": "(fn (x y) (is-subclass (get-type x) y))",
    "sum": "(fn (elts) (reduce add elts))",
    "+": "(fn (. args) (sum args))",
    "range": "(fn (limit) ((fn (counter) (fn () (if (= counter limit) nil"
             " ((fn () (set-symbol (quote counter) (+ 1 counter)) (list (- counter 1))))))) 0))",
    "match-types": "((fn (old) (fn (a p) (old a p))) match-types)",
    "is-list": "(fn (x) (or (= x nil) (is-instance x cell)))",
    "is-string": "(fn (x) (is-instance x string))",
    "is-nil": "(fn (x) (= x nil))",
    "in": "((fn (old) (fn (c x) (old c x))) in)",
    "at": "((fn (old) (fn (x i) (old x i))) at)",
}

# Replacements that change what the name does, each still ending on every input.
CHANGES = {
    # Skips the first match when there are several: generics pick an older method.
    "filter": "((fn (old) (fn (f lst) ((fn (r) (if (= r nil) r (if (= (cdr r) nil) r (cdr r)))) (old f lst))))"
              " filter)",
    "add": "((fn (old) (fn (x y) (old y x))) add)",
    "+": "(fn (. args) (reduce (fn (a b) (add b a)) args))",
    "sum": "((fn (old) (fn (elts) (if (= elts nil) 1000 (old elts)))) sum)",
    "reduce": "((fn (old) (fn (f lst) (old f (reverse lst)))) reduce)",
    "length": "((fn (old) (fn (x) (- (old x) (- 0 10)))) length)",
    "nth": "(fn (i lst) (car lst))",
    "map": "((fn (old) (fn (f lst) (reverse (old f lst)))) map)",
    "range": "(fn (limit) ((fn (counter) (fn () (if (= counter limit) nil"
             " ((fn () (set-symbol (quote counter) (- counter (- 0 1))) (list (* counter 10))))))) 0))",
    "to-string": "((fn (old) (fn (x) (+ \"[\" (old x) \"]\"))) to-string)",
    "repr": "((fn (old) (fn (x) (+ \"<\" (old x) \">\"))) repr)",
    "at": "((fn (old) (fn (x i) (old x 0))) at)",
    "match-types": "(fn (a p) (= (length a) (length p)))",
    "is-instance": "(fn (x y) true)",
    "method-store": "(dict)",
    "is-list": "(fn (x) (is-instance x cell))",
    "is-string": "(fn (x) (is-integer x))",
    "is-nil": "(fn (x) false)",
    "in": "((fn (old) (fn (c x) (not (old c x)))) in)",
    "=": "((fn (old) (fn (a b) (if (is-integer a) (old a b) (old b a)))) =)",
}

WRAPPABLE = ["to-string", "repr", "add", "+", "length", "at", "nth", "map", "filter", "reduce",
             "sum", "range", "iter", "is-instance", "is-subclass", "match-types", "car", "=",
             "get-key", "in", "reverse", "is-list", "is-string", "is-nil", "is-integer"]

BUILTIN_TYPES = ["integer", "string", "cell", "unique"]


class Generator:
    def __init__(self, seed):
        self.rng = random.Random(seed)
        self.lines = []
        self.classes = []  # (name, own attributes, all attributes, parent or None)
        self.generics = []  # (name, arity, the name its private scope binds or None)
        self.signatures = {}  # generic name -> parameter types of each of its methods
        self.printable = set()  # classes with a to-string method
        self.counter = 0

    def fresh(self, stem):
        self.counter += 1
        return "%s%d" % (stem, self.counter)

    def emit(self, text):
        self.lines.append(text)

    # Values -------------------------------------------------------------------------------

    def integer(self):
        return self.rng.choice(["0", "1", "2", "3", "7", "10", "42", "(- 0 5)", "9007199254740993"])

    def string(self):
        return '"%s"' % self.rng.choice(["", "a", "bc", "hello", "x y", "42"])

    def int_list(self):
        n = self.rng.randint(0, 6)
        return "(list %s)" % " ".join(self.rng.choice(["(- 0 3)", "0", "1", "2", "3", "5", "9"]) for _ in range(n))

    def instance(self):
        name, own, everything, _ = self.rng.choice(self.classes)
        return "(make-%s %s)" % (name, " ".join(self.integer() for _ in own))

    def value(self):
        choices = [self.integer, self.string, self.int_list]
        if self.classes:
            choices.append(self.instance)
        return self.rng.choice(choices)()

    # Definitions --------------------------------------------------------------------------

    def define_classes(self):
        for _ in range(self.rng.randint(1, 3)):
            name = self.fresh("Shape")
            parent = self.rng.choice(self.classes + [None]) if self.classes else None
            own = [self.fresh("attr") for _ in range(self.rng.randint(0, 2))]
            inherited = parent[2] if parent else []
            parents = "(%s)" % parent[0] if parent else "()"
            doc = ' "a class"' if self.rng.random() < 0.3 else ""
            self.emit("(defclass %s %s%s %s)" % (name, parents, doc, " ".join(own)))
            self.classes.append((name, own, own + inherited, parent))
            if self.rng.random() < 0.8:
                self.to_string_method(name, own + inherited)

    def to_string_method(self, name, attributes):
        parts = " ".join('" " (to-string (%s x))' % a for a in attributes)
        self.emit('(defmethod (to-string (x %s)) (+ "<%s"%s ">"))' % (name, name, " " + parts if parts else ""))
        self.printable.add(name)

    def parameter_type(self):
        types = BUILTIN_TYPES + [c[0] for c in self.classes]
        return self.rng.choice(types + [None])

    def method_body(self, tag, parameters):
        kind = self.rng.random()
        if kind < 0.5:
            return '"%s"' % tag
        typed = [(p, t) for p, t in parameters if t in ("integer", "string")]
        if typed and kind < 0.8:
            p, t = self.rng.choice(typed)
            return '(+ "%s:" (to-string %s))' % (tag, p) if t == "integer" else '(+ "%s:" %s)' % (tag, p)
        return '(list "%s" (length (list %s)))' % (tag, " ".join(p for p, _ in parameters))

    def define_method(self, generic, arity, body=None):
        parameters = [("p%d" % i, self.parameter_type()) for i in range(arity)]
        header = " ".join("(%s %s)" % (p, t) if t else p for p, t in parameters)
        tag = self.fresh("m")
        self.signatures.setdefault(generic, []).append([t for _, t in parameters])
        self.emit("(defmethod (%s %s) %s)" % (generic, header, body or self.method_body(tag, parameters)))

    def define_generic(self):
        name = self.fresh("gen")
        arity = self.rng.randint(1, 2)
        parameters = " ".join("a%d" % i for i in range(arity))
        captured = self.rng.choice(DISPATCH_NAMES) if self.rng.random() < 0.4 else None
        if captured:
            # The generic's dispatcher reads the captured name from this private scope.
            self.emit("((fn (%s)" % captured)
            self.emit("  (def (rebind-%s-in-%s value) (set-symbol (quote %s) value))" % (captured, name, captured))
        self.emit("(defgeneric (%s %s))" % (name, parameters))
        for _ in range(self.rng.randint(1, 4)):
            self.define_method(name, arity)
        if captured:
            self.emit(") %s)" % captured)
        self.generics.append((name, arity, captured))

    def prelude_method(self):
        cls = self.rng.choice(self.classes)[0] if self.classes else "integer"
        options = [
            "(defmethod (add (x integer) (y integer)) (set-symbol (quote calls) (- calls (- 0 1))) (- x (- 0 y)))",
            "(defmethod (add (x string) (y string)) (join (list y x) \"\"))",
            "(defmethod (add (x %s) (y %s)) \"added\")" % (cls, cls),
            "(defmethod (length (x string)) 99)",
            "(defmethod (length (x %s)) 7)" % cls,
            "(defmethod (to-string (x integer)) (+ \"#\" (repr x)))",
            "(defmethod (repr (x %s)) \"%s!\")" % (cls, cls),
            "(defmethod (at (x %s) (i integer)) (* i 3))" % cls,
            "(defmethod (iter (x %s)) (iter (list 1 2 3)))" % cls,
            "(defmethod (in (x %s) y) true)" % cls,
            "(defmethod (in (x cell) y) (= (car x) y))",
            "(defmethod (at (x cell) (i integer)) (car x))",
            "(defmethod (add (x cell) (y cell)) (list x y))",
            "(defmethod (iter (x cell)) (iter (cdr x)))",
            "(defmethod (to-symbol (x integer)) (quote number))",
            "(defmethod (to-string (x cell)) \"a list\")",
        ]
        self.emit(self.rng.choice(options))

    # Rebinding ----------------------------------------------------------------------------

    def replacement(self, name):
        roll = self.rng.random()
        if roll < 0.35:
            # Counts every call, so a skipped call shows in the printed count.
            return "((fn (old) (fn (. args) (set-symbol (quote calls) (- calls (- 0 1))) (apply old args))) %s)" % name
        if roll < 0.75 and name in EQUIVALENTS:
            return EQUIVALENTS[name]
        if name in CHANGES:
            return CHANGES[name]
        return "((fn (old) (fn (. args) (apply old args))) %s)" % name

    def rebind(self):
        roll = self.rng.random()
        captured = [g for g in self.generics if g[2]]
        if captured and roll < 0.25:
            name, _, binding = self.rng.choice(captured)
            value = self.replacement(binding) if binding != "method-store" else "(dict)"
            if self.rng.random() < 0.5:
                self.emit("(eval (get-closure %s) (quote (set-symbol (quote %s) %s)))" % (name, binding, value))
            else:
                self.emit("(rebind-%s-in-%s %s)" % (binding, name, value))
            return
        if self.generics and roll < 0.35:
            # From a method's own scope, set-symbol walks up to the global binding.
            name = self.rng.choice(WRAPPABLE)
            generic = self.rng.choice(self.generics)[0]
            self.emit('(eval (get-closure (nth 1 (car (get-key method-store "%s")))) (quote (set-symbol (quote %s) %s)))'
                      % (generic, name, self.replacement(name)))
            return
        name = self.rng.choice(WRAPPABLE + ["method-store"])
        if name == "method-store":
            if self.rng.random() < 0.5:
                self.emit("(let old method-store (begin (define method-store (dict))"
                          " (for k (iter (list-keys old)) (set-key method-store k (get-key old k)))))")
            else:
                self.emit("(set-key method-store \"length\" (cdr (get-key method-store \"length\")))")
            return
        how = self.rng.choice(["define", "set", "set-symbol"])
        value = self.replacement(name)
        if how == "set-symbol":
            self.emit("(set-symbol (quote %s) %s)" % (name, value))
        else:
            self.emit("(%s %s %s)" % (how, name, value))

    def rebind_in_a_walk(self):
        # From inside the function map, filter or reduce calls, part way through the list.
        name = self.rng.choice(WRAPPABLE)
        change = "(if (= v 2) (set-symbol (quote %s) %s) nil)" % (name, self.replacement(name))
        walk = self.rng.choice(["map", "filter", "reduce"])
        if walk == "map":
            self.emit("(print (map (fn (v) %s (* v 3)) (list 1 2 3 4)))" % change)
        elif walk == "filter":
            self.emit("(print (filter (fn (v) %s (> v 1)) (list 1 2 3 4)))" % change)
        else:
            self.emit("(print (reduce (fn (a v) %s (- a v)) (list 10 1 2 3 4)))" % change)

    # Statements ---------------------------------------------------------------------------

    def value_of(self, type_name):
        if type_name == "integer":
            return self.integer()
        if type_name == "string":
            return self.string()
        if type_name == "cell":
            return "(list 1 2)"
        if type_name == "unique":
            return self.rng.choice(["nil", "true"])
        for name, own, _, _ in self.classes:
            if name == type_name:
                return "(make-%s %s)" % (name, " ".join(self.integer() for _ in own))
        return self.value()

    def call_generic(self):
        name, arity, _ = self.rng.choice(self.generics)
        signatures = self.signatures.get(name)
        if signatures and self.rng.random() < 0.85:
            arguments = [self.value_of(t) for t in self.rng.choice(signatures)]
        else:
            arguments = [self.value() for _ in range(arity)]
        return "(%s %s)" % (name, " ".join(arguments))

    def expression(self):
        lst = self.int_list()
        n = self.rng.randint(0, 4)
        options = [
            "(+ %s)" % " ".join(self.integer() for _ in range(self.rng.randint(1, 4))),
            "(+ %s)" % " ".join(self.string() for _ in range(self.rng.randint(1, 3))),
            "(+ %s %s)" % (self.int_list(), self.int_list()),
            "(length %s)" % lst, "(length %s)" % self.string(),
            "(nth %d (list 1 2 3 4 5))" % n, "(at (list 5 6 7 8 9) %d)" % n, "(at \"hello\" %d)" % n,
            "(map (fn (v) (* v 2)) %s)" % lst, "(filter (fn (v) (> v 2)) %s)" % lst,
            "(reduce (fn (a b) (- a b)) (list 10 2 3))", "(sum %s)" % lst, "(reverse %s)" % lst,
            "(in %s 3)" % lst, "(repr %s)" % lst, "(to-string %s)" % self.integer(),
            "(list (is-integer %s) (is-string %s) (is-list %s) (is-cons %s) (is-nil nil) (is-symbol (quote s)))"
            % (self.value(), self.value(), lst, lst),
            "(to-symbol %s)" % self.string(), "(repr %s)" % self.string(),
            "(let acc 0 (for v (range %d) (set-symbol (quote acc) (+ acc v))) acc)" % self.rng.randint(0, 8),
            "(let acc nil (for v (iter %s) (set-symbol (quote acc) (cons v acc))) acc)" % lst,
            "(let acc \"\" (for c (iter \"abc\") (set-symbol (quote acc) (+ c acc))) acc)",
            "(let d (dict) (set (at d \"k\") %s) (at d \"k\"))" % self.integer(),
            "(at (+ %s (list 5 6 7 8 9)) %d)" % (lst, n), "(in %s %s)" % (lst, self.value()),
            "(+ %s %s %s)" % (lst, self.rng.choice(["nil", self.int_list()]), self.int_list()),
            "(sum (list %s %s))" % (self.int_list(), self.int_list()),
            "(list (is-nil %s) (is-list %s) (is-dict (dict)) (is-instance %s integer))"
            % (self.value(), self.value(), self.value()),
            "(let it (range %d) (begin (it) (list (it) (eval (get-closure it) (quote counter)))))" % self.rng.randint(0, 3),
            "(let it (range 5) (begin (eval (get-closure it) (quote (set-symbol (quote limit) %d))) (it) (it)))"
            % self.rng.randint(0, 3),
            "(let acc nil (for v (range %d) (for w (range v) (set-symbol (quote acc) (cons w acc)))) acc)"
            % self.rng.randint(0, 4),
            "calls",
        ]
        if self.classes:
            name, own, everything, parent = self.rng.choice(self.classes)
            options.append("(is-instance %s %s)" % (self.instance(), name))
            options.append("(is-%s %s)" % (name, self.value()))
            if parent:
                options.append("(is-subclass %s %s)" % (name, parent[0]))
            if everything:
                attribute = self.rng.choice(everything)
                options.append("(let o (make-%s %s) (set (%s o) %s) (%s o))"
                               % (name, " ".join(self.integer() for _ in own), attribute, self.integer(), attribute))
        if self.generics:
            options += [self.call_generic()] * 4
        return self.rng.choice(options)

    def statement(self):
        roll = self.rng.random()
        if roll < 0.55:
            self.emit("(print %s)" % self.expression())
        elif roll < 0.65 and self.classes:
            self.prelude_method()
        elif roll < 0.72:
            self.define_generic()
        elif roll < 0.77 and self.generics:
            name, arity, _ = self.rng.choice(self.generics)
            self.define_method(name, arity)
        elif roll < 0.84:
            self.rebind()
        elif roll < 0.87:
            self.rebind_in_a_walk()
        elif roll < 0.92:
            self.emit("(print (gensym))" if self.rng.random() < 0.5 else
                      "(print (car (cdr (macroexpand (quote (defmethod (zz (x integer)) x))))))")
        else:
            name = self.fresh("deep")
            depth = self.rng.choice([10, 100, 300])
            self.emit("(def (%s n) (if (= n 0) 0 (+ 1 (%s (- n 1)))))" % (name, name))
            self.emit("(print (%s %d))" % (name, depth))

    def failing_end(self):
        roll = self.rng.random()
        if roll < 0.2 and self.generics:
            name, arity, _ = self.rng.choice(self.generics)
            self.define_method(name, arity, '(error (quote boom) "raised inside a method")')
            self.emit("(print %s)" % self.call_generic())
        elif roll < 0.35:
            self.emit('(print (map (fn (v) (if (= v 2) (error (quote boom) "inside map") v)) (list 1 2 3)))')
        elif roll < 0.4:
            self.emit('(print (filter (fn (v) (if (= v 3) (car v) true)) (list 1 2 3)))')
        elif roll < 0.45:
            self.emit('(print (reduce (fn (a v) (if (= v 3) (car v) (- a v))) (list 1 2 3 4)))')
        elif roll < 0.6 and self.classes:
            name = self.rng.choice(self.classes)[0]
            self.emit('(defmethod (to-string (x %s)) (error (quote boom) "inside printing"))' % name)
            self.emit("(print %s)" % self.instance())
        elif roll < 0.7:
            self.emit('(print (+ "n=" 5))')
        elif roll < 0.8 and self.generics:
            self.emit("(print %s)" % self.call_generic())
        else:
            self.emit('(print (length (list 1 2 (error (quote boom) "inside an argument"))))')

    def frame_limit_program(self):
        # Seconds of work each, so only a few seeds make one. Before any method is added, as
        # fast paths may hold only until then: the leaf needs frames of its own, and the
        # recursion leaves it fewer or more than that below the limit.
        leaf = self.rng.choice(["(+ 1 2)", "(+ \"a\" \"b\" \"c\")", "(length \"abc\")",
                                "(nth 2 (list 1 2 3))", "(+ 1 2 3 4 5 6 7 8 9 10)", "(to-string 42)",
                                "(at (list 1 2 3 4 5 6) 5)", "(in (list 1 2 3 4 5 6) 6)", "(sum (list 1 2 3))",
                                "(+ (list 1 2 3) (list 4))", "(is-list 5)", "(is-instance 5 integer)",
                                "((range 3))", "(let s 0 (for i (range 3) (set-symbol (quote s) (+ s i))) s)",
                                "(length (map (fn (v) (+ v 1)) (list 1 2 3 4)))",
                                "(length (filter (fn (v) (> v 1)) (list 1 2 3 4)))",
                                "(reduce (fn (a v) (- a v)) (list 10 1 2 3 4))"])
        self.emit("(def (down n) (if (= n 0) %s (down (- n 1))))" % leaf)
        self.emit("(print (down %d))" % (DOWN_DEPTH_AT_FRAME_LIMIT - self.rng.randint(0, 40)))
        return "\n".join(self.lines) + "\n"

    def program(self):
        if self.rng.random() < 0.02:
            return self.frame_limit_program()
        self.emit("(define calls 0)")
        self.define_classes()
        for _ in range(self.rng.randint(0, 2)):
            self.define_generic()
        for _ in range(self.rng.randint(8, 30)):
            self.statement()
        self.emit("(print calls)")
        if self.rng.random() < 0.35:
            self.failing_end()
        return "\n".join(self.lines) + "\n"


def program(seed):
    return "; generated from seed %d\n" % seed + Generator(seed).program()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    sys.stdout.write(program(int(sys.argv[1])))
