#!/usr/bin/env python3
"""Runs brevalon-repl without a terminal: options, -e, FILE, and programs from standard input.

Usage: through_a_pipe.py REPL PROGRAMS_FOLDER

Every case of the table gives the arguments, the standard input, and the exact standard output
and exit status expected. Then every end-to-end program case (without arguments of its own) is
run from standard input and must give the standard output and status its file run gives.
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "programs"))
import run as programs  # noqa: E402  (the program cases' own runner: matching and collection)

TIMEOUT = float(os.environ.get("PROGRAMS_TIMEOUT", "60"))

# A file the FILE cases run first; its definitions stay for what follows.
LIBRARY = '(def (square x) (* x x))\n(print "library loaded")\n'

# (name, arguments, standard input, expected standard output, expected status)
CASES = [
    ("a program on standard input runs without prompts and shows no values",
     [], '(print "hi")\n(+ 1 2)\n', "hi\n", 0),
    ("a dash reads the program from standard input",
     ["-"], '(print (+ 40 2))\n', "42\n", 0),
    ("a program on standard input ends at its first error, with a program's status",
     ["-"], '(print 1)\n(error \'oops "bad")\n(print 2)\n',
     "1\nError during evaluation at:\nNativeCallFrame: error\nCallFrame: (error (quote oops) \"bad\")\n"
     "EvalFrame: (error (quote oops) \"bad\")\nError: Error: oops: \"bad\"\n", 1),
    ("an expression is evaluated and its value shown with repr",
     ["-e", '(list 1 "two" (quote three))'], "", '(1 "two" three)\n', 0),
    ("every form of an expression shows its value",
     ["-e", '(print "out") "a string" 7'], "", 'out\nnil\n"a string"\n7\n', 0),
    ("repeated expressions share one global environment",
     ["-e", "(def (twice x) (* 2 x))", "-e", "(twice 21)"], "",
     'nil\n42\n', 0),
    ("an expression that fails ends with the status of a program error",
     ["-e", "(car nil)", "-e", "(print 5)"], "",
     "Internal error during execution at:\nNativeCallFrame: car\nCallFrame: (car nil)\nEvalFrame: (car nil)\n", 2),
    ("a file runs before the expressions",
     ["-e", "(square 12)", "library.lisp"], "", "library loaded\n144\n", 0),
    ("a file runs before the program on standard input",
     ["library.lisp"], "(print (square 3))\n", "library loaded\n9\n", 0),
    ("a program on standard input runs before the expressions",
     ["-e", "(square 4)", "-"], "(def (square x) (* x x))\n", "16\n", 0),
    ("help shows the usage", ["--help"], "", "<<<usage>>>", 0),
    ("version names the program", ["--version"], "", "<<<version>>>", 0),
    ("an unknown option is refused", ["--frobnicate"], "", "", 2),
    ("-e without an expression is refused", ["-e"], "", "", 2),
    ("two files are refused", ["a.lisp", "b.lisp"], "", "", 2),
    ("a missing file is reported", ["-e", "1", "missing.lisp"], "", "", 2),
]


def run(repl, arguments, stdin, cwd):
    return subprocess.run([repl] + arguments, input=stdin.encode(), cwd=cwd, capture_output=True,
                          timeout=TIMEOUT)


def check_table(repl):
    failures = []
    with tempfile.TemporaryDirectory(prefix="brevalon-repl-") as scratch:
        with open(os.path.join(scratch, "library.lisp"), "w") as f:
            f.write(LIBRARY)
        for name, arguments, stdin, expected, status in CASES:
            proc = run(repl, arguments, stdin, scratch)
            out = proc.stdout.decode("latin-1")
            if expected == "<<<usage>>>":
                good = out.startswith("usage: brevalon-repl ") and "-e EXPR" in out and "--version" in out
            elif expected == "<<<version>>>":
                good = out.startswith("brevalon-repl ") and out.count("\n") == 1
            else:
                good = out == expected
            if proc.returncode == 2 and expected == "" and not proc.stderr:
                good = False  # a refusal must say why
            if not good or proc.returncode != status:
                failures.append("%s:\n  status %d (expected %d)\n  stdout %r\n  expected %r\n  stderr %r"
                                % (name, proc.returncode, status, out, expected, proc.stderr.decode("latin-1")))
    return failures


def check_programs(repl, folder):
    """A program read from standard input behaves exactly as the same program run from its file."""
    failures = []
    cases = [c for c in programs.collect([folder]) if not os.path.exists(c[:-len(".lisp")] + ".args")]
    for case in cases:
        base = case[:-len(".lisp")]
        expected = programs.read_text(base + ".out")
        status = int(programs.read_text(base + ".status").strip()) if os.path.exists(base + ".status") else 0
        with tempfile.TemporaryDirectory(prefix="brevalon-repl-program-") as scratch:
            if os.path.isdir(base + ".files"):
                shutil.copytree(base + ".files", scratch, dirs_exist_ok=True)
            with open(case, "rb") as program:
                proc = subprocess.run([repl, "-"], stdin=program, cwd=scratch, capture_output=True,
                                      timeout=TIMEOUT)
        if proc.returncode != status or not programs.matches(expected, proc.stdout.decode("latin-1")):
            failures.append("%s: from standard input, status %d (expected %d)\n%s"
                            % (os.path.relpath(case, folder), proc.returncode, status,
                               "\n".join(programs.short_diff(expected, proc.stdout.decode("latin-1")))))
    return failures, len(cases)


def main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    repl, folder = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    failures = check_table(repl)
    program_failures, program_count = check_programs(repl, folder)
    failures += program_failures
    for failure in failures:
        print("FAIL " + failure)
    print("%d table cases, %d programs from standard input; %d failed"
          % (len(CASES), program_count, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
