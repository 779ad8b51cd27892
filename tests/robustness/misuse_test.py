#!/usr/bin/env python3
"""Calls every global function with too few arguments and with arguments of every kind.

Usage: misuse_test.py BINARY

Each call is a program of its own, run in a scratch directory.  Whatever the call
does, the process must end by itself within the timeout, with status 0, 1 or 2
(never by a signal), and standard error must be empty or the interpreter's one
diagnostic ("PLACE: error: ..." and its indented lines): no sanitizer report, no
abort message, no stray exception text.  Which status a call gets is not checked here; the program cases do that.

The runs go through a thread pool, one process per call.  Outside sanitizer
builds each process gets a 4 GiB address-space limit, so a call that makes the
interpreter allocate without end cannot take the machine down.

The last line printed is "N passed, N failed"; the exit status is 1 when any
call failed.
"""
import concurrent.futures
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from diagnostic_shape import is_one_diagnostic

TIMEOUT = float(os.environ.get("MISUSE_TIMEOUT", "20"))
ADDRESS_SPACE = 4 << 30

# The values a misused function receives, as expressions that produce them.
KINDS = [
    ("integer", "7"),
    ("negative integer", "(- 0 3)"),
    ("largest integer", "9223372036854775807"),
    ("string", '"s"'),
    ("empty string", '""'),
    ("symbol", "'sym"),
    ("generated symbol", "(gensym)"),
    ("nil", "nil"),
    ("true", "true"),
    ("list", "'(1 2)"),
    ("dotted pair", "(cons 1 2)"),
    ("dictionary", '(let d (dict) (set-key d "k" 1) d)'),
    ("native function", "car"),
    ("closure", "(fn (x) x)"),
    ("resumable native", "if"),
    ("environment", "current-scope"),
    ("type", "integer"),
    ("class", "(make-class () a)"),
    ("instance", "(make-instance (make-class () a))"),
]

# Every global name bound to a function at start-up, with one plausible argument list each.
# The plausible arguments are the base that misuse starts from: a prefix of them is a call
# with too few arguments, and each position in turn is replaced by every kind above.
FUNCTIONS = {
    "to-string": ["7"],
    "repr": ["7"],
    "read": ['"(a b) c"', "0"],
    "load": ['"missing.lisp"'],
    "eval": ["current-scope", "'(+ 1 2)"],
    "get-closure": ["(fn (x) x)"],
    "get-doc": ["map"],
    "set-doc": ["(dict)", '"doc"'],
    "get-metadata": ["map"],
    "set-metadata": ["(dict)", "(dict)"],
    "get-type": ["7"],
    "macroexpand": ["'(when true 1)"],
    "with-exec-mode": ["(fn (x) x)", "'macro"],
    "gensym": [],
    "get-attr": ["(make-instance (make-class () a))", "'a"],
    "set-attr": ["(make-instance (make-class () a))", "'a", "1"],
    "make-class": ["()", "a"],
    "make-instance": ["(make-class () a)"],
    "is-subclass": ["integer", "integer"],
    "get-class-owned-attributes": ["(make-class () a)"],
    "get-all-class-attributes": ["(make-class () a)"],
    "get-class-env": ["(make-class () a)"],
    "for": ["x", "(range 3)", "x"],
    "if": ["true", "1", "2"],
    "error": ["'oops", '"bad"'],
    "quote": ["x"],
    "quasiquote": ["(a ,(+ 1 2))"],
    "not": ["true"],
    "and": ["true", "false"],
    "or": ["false", "true"],
    "set-symbol": ["'car", "1"],
    "unset": ["car"],
    "define": ["x", "1"],
    "fn": ["(x)", "x"],
    "apply": ["+", "'(1 2)"],
    "print": ['"s"'],
    "write-file": ['"out.txt"', '"text"'],
    "read-file": ['"out.txt"'],
    "append-file": ['"out.txt"', '"text"'],
    "<": ["1", "2"],
    ">": ["1", "2"],
    "<=": ["1", "2"],
    ">=": ["1", "2"],
    "=": ["1", "2"],
    "+": ["1", "2"],
    "-": ["1", "2"],
    "*": ["2", "3"],
    "car": ["'(1 2)"],
    "cdr": ["'(1 2)"],
    "cons": ["1", "2"],
    "list": ["1", "2"],
    "get-key": ['(let d (dict) (set-key d "k" 1) d)', '"k"'],
    "set-key": ["(dict)", '"k"', "1"],
    "has-key": ["(dict)", '"k"'],
    "dict": [],
    "list-keys": ["(dict)"],
    "split": ['"a,b"', '","'],
    "join": ["'(\"a\" \"b\")", '","'],
    "substring": ['"abc"', "0", "2"],
    "strip": ['" a "'],
    "string-contains": ['"abc"', '"b"'],
    "defmacro": ["(m x)", "x"],
    "def": ["(f x)", "x"],
    "begin": ["1", "2"],
    "let": ["x", "1", "x"],
    "let*": ["(x 1 y 2)", "y"],
    "is-instance": ["7", "integer"],
    "has-docstring": ["'(\"doc\" x)"],
    "map": ["(fn (x) x)", "'(1 2)"],
    "filter": ["(fn (x) true)", "'(1 2)"],
    "reduce": ["+", "'(1 2)"],
    "when": ["true", "1"],
    "cond": ["false", "1", "true", "2"],
    "is-list": ["'(1 2)"],
    "nth": ["1", "'(1 2)"],
    "match-types": ["'(1)", "(list integer)"],
    "eval-types": ["'((x integer))", "current-scope"],
    "defgeneric": ["(g x)"],
    "untype-parameters": ["'((x integer) y)"],
    "defmethod": ["(length (x integer))", "x"],
    "add": ["1", "2"],
    "sum": ["'(1 2)"],
    "reverse": ["'(1 2)"],
    "length": ['"abc"'],
    "at": ['"abc"', "1"],
    "set-at": ["(dict)", '"k"', "1"],
    "iter": ["'(1 2)"],
    "range": ["3"],
    "to-symbol": ['"abc"'],
    "is-string": ['"s"'],
    "is-integer": ["7"],
    "is-symbol": ["'sym"],
    "is-cons": ["'(1 2)"],
    "is-dict": ["(dict)"],
    "is-nil": ["nil"],
    "in": ["'(1 2)", "1"],
    "set": ["x", "1"],
    "make-attr-initializer": ["'i", "'(a b)"],
    "make-constructor": ["'Point", "'(x y)"],
    "make-getter": ["'Point", "'x"],
    "make-getters": ["'Point", "'(x y)"],
    "make-setter": ["'Point", "'x"],
    "make-setters": ["'Point", "'(x y)"],
    "defclass": ["Point", "()", "x", "y"],
}

# Passing one of these as a count or a size asks for work that is too large, not for misuse.
UNBOUNDED = {("range", 0, "largest integer")}


def calls():
    """(description, program) for every misuse of every function."""
    for name, plausible in FUNCTIONS.items():
        for count in range(len(plausible)):
            args = plausible[:count]
            yield f"({name}) with {count} of {len(plausible)} arguments", call_text(name, args)
        yield f"({name}) with one argument too many", call_text(name, plausible + ["7"])
        for position in range(max(len(plausible), 1)):
            for kind, expression in KINDS:
                if (name, position, kind) in UNBOUNDED:
                    continue
                args = list(plausible) if plausible else [expression]
                args[position] = expression
                yield f"({name}) with {kind} as argument {position + 1}", call_text(name, args)


def call_text(name, args):
    # A global that an earlier misuse could rebind (set-symbol, define...) does not matter:
    # every program starts from a fresh interpreter.
    call = "(" + " ".join([name] + args) + ")"
    return f'(print "before")\n{call}\n(print "after")\n'


def uses_sanitizers(binary):
    with open(binary, "rb") as executable:
        return b"__asan_init" in executable.read()


def limit_address_space():
    resource.setrlimit(resource.RLIMIT_AS, (ADDRESS_SPACE, ADDRESS_SPACE))


_scratch = threading.local()


def scratch_directory():
    """One directory per worker thread: the programs may write and load files in it."""
    if not hasattr(_scratch, "path"):
        _scratch.path = tempfile.mkdtemp(prefix="brevalon-misuse-")
        with _scratch_lock:
            _scratch_directories.append(_scratch.path)
    return _scratch.path


_scratch_lock = threading.Lock()
_scratch_directories = []


def run_one(binary, description, program):
    scratch = scratch_directory()
    path = os.path.join(scratch, "case.lisp")
    with open(path, "w") as source:
        source.write(program)
    started = time.monotonic()
    try:
        done = subprocess.run([binary, path], cwd=scratch, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        return f"{description}: did not end within {TIMEOUT:.0f} s\n{program}"
    return judge(description, program, done, time.monotonic() - started)


def judge(description, program, done, elapsed):
    stderr = done.stderr.decode("utf-8", "replace")
    stdout = done.stdout.decode("utf-8", "replace")
    problems = []
    if done.returncode < 0:
        problems.append(f"killed by signal {-done.returncode}")
    elif done.returncode not in (0, 1, 2):
        problems.append(f"exit status {done.returncode}")
    for marker in ("AddressSanitizer", "runtime error", "LeakSanitizer", "terminate called", "Assertion"):
        if marker in stderr:
            problems.append(f"'{marker}' on standard error")
    if not is_one_diagnostic(stderr.splitlines()):
        problems.append("standard error is not one diagnostic")
    if done.returncode == 0 and not stdout.endswith("after\n"):
        problems.append("status 0 but the program did not run to its end")
    if not stdout.startswith("before\n"):
        problems.append("the line printed before the call is missing from standard output")
    if not problems:
        return None
    return (f"{description}: {'; '.join(problems)} ({elapsed:.1f} s)\n{program}"
            f"--- stdout (tail)\n{stdout[-400:]}--- stderr (head)\n{stderr[:1200]}")


def check_function_list(binary):
    """The table above must name exactly the global functions: each is bound to a function."""
    program = "".join(f'(print (repr (get-type {name})))\n' for name in FUNCTIONS)
    with tempfile.TemporaryDirectory() as scratch:
        path = os.path.join(scratch, "names.lisp")
        with open(path, "w") as source:
            source.write(program)
        done = subprocess.run([binary, path], capture_output=True, timeout=TIMEOUT, cwd=scratch)
    lines = done.stdout.decode().splitlines()
    wrong = [name for name, line in zip(FUNCTIONS, lines) if line != "<type function>"]
    if done.returncode != 0 or len(lines) != len(FUNCTIONS) or wrong:
        print(f"the list of global functions is out of date: {wrong or done.stdout.decode()[-500:]}")
        return False
    return True


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2])
        return 2
    binary = os.path.abspath(sys.argv[1])
    if not uses_sanitizers(binary):
        limit_address_space()  # inherited by every child
    if not check_function_list(binary):
        print("0 passed, 1 failed")
        return 1
    cases = list(calls())
    started = time.monotonic()
    workers = max(2, os.cpu_count() or 2)
    failures = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=workers) as pool:
        for failure in pool.map(lambda case: run_one(binary, *case), cases):
            if failure:
                failures.append(failure)
    for directory in _scratch_directories:
        shutil.rmtree(directory, ignore_errors=True)
    for failure in failures:
        print("FAILED " + failure + "\n")
    print(f"{len(cases)} misuse programs in {time.monotonic() - started:.1f} s")
    print(f"{len(cases) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
