#!/usr/bin/env python3
"""Runs the end-to-end program cases against a brevalon executable.

Usage: run.py BINARY [CASE_OR_FOLDER ...]

A case is NAME.lisp with its exact expected standard output in NAME.out and,
optionally, its expected exit status in NAME.status (a number; 0 when the file
is absent).  Beside them may stand:

  NAME.files/  copied into the scratch directory before the run, for programs
               that load or read files;
  NAME.args    the command-line arguments, one per line, instead of the usual
               single argument NAME.lisp (an empty file means no argument);
  NAME.err     the exact expected standard error, compared as NAME.out is
               (wildcard lines included); without it standard error is not
               compared.

Every case runs in a fresh scratch directory that is also its working
directory, with no standard input, and with argv[0] set to "brevalon" so the
usage line does not depend on where the executable lives.  A line of NAME.out that reads exactly <<<any lines>>> matches
any number of lines (for outputs such as a trace millions of lines long).

The timeout per case is 60 s (PROGRAMS_TIMEOUT overrides it, e.g. for
sanitizer builds).  The last line printed is "N passed, N failed"; the exit
status is 1 when any case failed.
"""
import difflib
import os
import shutil
import subprocess
import sys
import tempfile

WILDCARD = "<<<any lines>>>"
TIMEOUT = float(os.environ.get("PROGRAMS_TIMEOUT", "60"))
DIFF_LINES = 20


def split_lines(text):
    """Lines without their newline; a final newline does not start an empty line."""
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return lines


def matches(expected, actual):
    """Exact comparison, except that a wildcard line stands for any run of lines."""
    if WILDCARD not in split_lines(expected):
        return expected == actual
    if expected.endswith("\n") != actual.endswith("\n") and not expected.endswith(WILDCARD + "\n"):
        return False
    segments = [[]]
    for line in split_lines(expected):
        if line == WILDCARD:
            segments.append([])
        else:
            segments[-1].append(line)
    lines = split_lines(actual)
    head, tail, middle = segments[0], segments[-1], segments[1:-1]
    if len(head) + len(tail) > len(lines):
        return False
    if lines[:len(head)] != head or lines[len(lines) - len(tail):] != tail:
        return False
    position, end = len(head), len(lines) - len(tail)
    for segment in middle:
        while position + len(segment) <= end and lines[position:position + len(segment)] != segment:
            position += 1
        if position + len(segment) > end:
            return False
        position += len(segment)
    return True


def short_diff(expected, actual):
    actual_lines = split_lines(actual)
    if len(actual_lines) > 1000:
        # A runaway trace would make difflib crawl; its ends are what tells.
        actual_lines = actual_lines[:500] + ["... (%d lines left out)" % (len(actual_lines) - 1000)] + \
            actual_lines[-500:]
    diff = list(difflib.unified_diff(split_lines(expected), actual_lines, "expected", "actual",
                                     lineterm="", n=2))
    if not diff:
        return ["    (the lines agree; check the final newline)"]
    if len(diff) > DIFF_LINES:
        diff = diff[:DIFF_LINES] + ["... (%d more diff lines)" % (len(diff) - DIFF_LINES)]
    return ["    " + line for line in diff]


def collect(paths):
    cases = []
    for path in paths:
        if os.path.isfile(path) and path.endswith(".lisp"):
            cases.append(os.path.abspath(path))
            continue
        if not os.path.isdir(path):
            raise SystemExit("no such case or folder: %s" % path)
        for root, dirs, files in os.walk(path):
            dirs[:] = sorted(d for d in dirs if not d.endswith(".files"))
            cases.extend(os.path.abspath(os.path.join(root, f)) for f in sorted(files)
                         if f.endswith(".lisp"))
    return cases


def read_text(path):
    with open(path, "r", encoding="latin-1", newline="") as f:
        return f.read()


def run_case(binary, case):
    """Returns a list of problems; empty when the case passed."""
    base = case[:-len(".lisp")]
    name = os.path.basename(case)
    if not os.path.exists(base + ".out"):
        return ["no %s.out beside the case" % os.path.basename(base)]
    expected = read_text(base + ".out")
    expected_status = 0
    if os.path.exists(base + ".status"):
        expected_status = int(read_text(base + ".status").strip())
    arguments = [name]
    if os.path.exists(base + ".args"):
        arguments = split_lines(read_text(base + ".args"))
    with tempfile.TemporaryDirectory(prefix="brevalon-program-") as scratch:
        shutil.copy(case, os.path.join(scratch, name))
        if os.path.isdir(base + ".files"):
            shutil.copytree(base + ".files", scratch, dirs_exist_ok=True)
        try:
            proc = subprocess.run(["brevalon"] + arguments, executable=binary, cwd=scratch,
                                  stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            return ["no result within %g s" % TIMEOUT]
    actual = proc.stdout.decode("latin-1")
    problems = []
    if proc.returncode != expected_status:
        problems.append("exit status %d, expected %d" % (proc.returncode, expected_status))
        stderr = proc.stderr.decode("latin-1").strip()
        if stderr:
            problems.append("standard error: " + stderr.splitlines()[-1][:300])
    if not matches(expected, actual):
        problems.append("standard output differs:\n" + "\n".join(short_diff(expected, actual)))
    if os.path.exists(base + ".err"):
        expected_err = read_text(base + ".err")
        actual_err = proc.stderr.decode("latin-1")
        if not matches(expected_err, actual_err):
            problems.append("standard error differs:\n" + "\n".join(short_diff(expected_err, actual_err)))
    return problems


def main(argv):
    if len(argv) < 2 or argv[1] in ("-h", "--help"):
        print(__doc__)
        return 2
    binary = os.path.abspath(argv[1])
    if not os.access(binary, os.X_OK):
        print("not an executable: %s" % argv[1])
        return 2
    here = os.path.dirname(os.path.abspath(__file__))
    cases = collect(argv[2:] or [here])
    passed = failed = 0
    for case in cases:
        problems = run_case(binary, case)
        if problems:
            failed += 1
            shown = os.path.relpath(case, here) if case.startswith(here + os.sep) else case
            print("FAIL %s\n  %s" % (shown, "\n  ".join(problems)), flush=True)
        else:
            passed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
