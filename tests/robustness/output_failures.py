#!/usr/bin/env python3
"""Standard output that cannot be written ends the run with a note and status 2; a closed pipe ends it quietly.

Usage: output_failures.py BINARY

Each case runs a small program with its standard output sent somewhere that fails (a full
device, a closed descriptor, a pipe whose reader has gone) and checks the exit status and
standard error. The last line printed is "N passed, N failed"; the exit status is 1 when any
case failed.
"""
import os
import signal
import subprocess
import sys
import tempfile

TIMEOUT = 60

PRINTS_TWO_LINES = '(print "one")\n(print "two")\n'
PRINTS_NOTHING = '(define x 1)\n'
PRINTS_WITHOUT_END = '(define loop (fn (n) (print n) (loop (+ n 1))))\n(loop 0)\n'

# (name, program, where standard output goes, ignore the broken-pipe signal,
#  expected status (negative: killed by that signal), expected standard error)
CASES = [
    ("a full device ends the run with a note", PRINTS_TWO_LINES, "full", False, 2,
     "program.lisp:1:1: error: cannot write to standard output: No space left on device\n"
     "  in (print \"one\") at program.lisp:1\n"),
    ("a closed descriptor ends the run with a note", PRINTS_TWO_LINES, "closed", False, 2,
     "program.lisp:1:1: error: cannot write to standard output: Bad file descriptor\n"
     "  in (print \"one\") at program.lisp:1\n"),
    ("a full device that is never written to is no failure", PRINTS_NOTHING, "full", False, 0, ""),
    ("a pipe closed by its reader ends the run quietly", PRINTS_WITHOUT_END, "pipe", False, -signal.SIGPIPE, ""),
    ("a closed pipe ends the run quietly even when its signal is ignored", PRINTS_WITHOUT_END, "pipe", True,
     -signal.SIGPIPE, ""),
]


def run_case(binary, scratch, program, target, ignore_sigpipe):
    path = os.path.join(scratch, "program.lisp")
    with open(path, "w") as source:
        source.write(program)

    def prepare():
        if ignore_sigpipe:
            signal.signal(signal.SIGPIPE, signal.SIG_IGN)
        if target == "closed":
            os.close(1)

    command = [binary, "program.lisp"]
    if target == "pipe":
        process = subprocess.Popen(command, cwd=scratch, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, preexec_fn=prepare)
        process.stdout.readline()
        process.stdout.close()
        stderr = process.stderr.read()
        process.wait(timeout=TIMEOUT)
        return process.returncode, stderr
    with open("/dev/full", "wb") as full:
        done = subprocess.run(command, cwd=scratch, stdin=subprocess.DEVNULL,
                              stdout=full if target == "full" else None, stderr=subprocess.PIPE,
                              preexec_fn=prepare, timeout=TIMEOUT)
    return done.returncode, done.stderr


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    binary = os.path.abspath(sys.argv[1])
    failed = 0
    for name, program, target, ignore_sigpipe, status, expected_err in CASES:
        with tempfile.TemporaryDirectory(prefix="brevalon-output-") as scratch:
            returncode, stderr = run_case(binary, scratch, program, target, ignore_sigpipe)
        problems = []
        if returncode != status:
            problems.append(f"status {returncode}, expected {status}")
        if stderr.decode("utf-8", "replace") != expected_err:
            problems.append(f"standard error {stderr[:400]!r}, expected {expected_err!r}")
        if problems:
            failed += 1
            print(f"FAILED {name}: " + "; ".join(problems))
    print(f"{len(CASES) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
