#!/usr/bin/env python3
"""Runs the robustness regression cases: programs that once crashed, hung or broke a rule of
how a run ends.

Usage: run_cases.py BINARY CASES_FOLDER

A case is NAME.lisp with its exact expected standard output in NAME.out and its exit status in
NAME.status (0 when absent); a last line "<<<any lines>>>" in NAME.out stands for any rest of
the output (a trace through the prelude's generics, say). Whatever the case, the process must end within the timeout by
itself (never by a signal), and standard error must be empty or one diagnostic
("PLACE: error: ..." and its indented lines); when NAME.err exists, standard error must equal it. Each case runs in a fresh
scratch directory that is also its working directory, with a soft stack limit of 1 MiB: the
interpreter must make room for its own recursion whatever limit it starts with. The last line printed is
"N passed, N failed"; the exit status is 1 when any case failed.
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile

from diagnostic_shape import is_one_diagnostic

SMALL_STACK = 1 << 20
ANY_REST = b"<<<any lines>>>\n"
TIMEOUT = float(os.environ.get("ROBUSTNESS_TIMEOUT", "120"))


def read(path, default=None):
    if not os.path.exists(path):
        return default
    with open(path, "rb") as f:
        return f.read()


def small_stack():
    _, hard = resource.getrlimit(resource.RLIMIT_STACK)
    if hard == resource.RLIM_INFINITY or hard > SMALL_STACK:
        resource.setrlimit(resource.RLIMIT_STACK, (SMALL_STACK, hard))


def check(binary, folder, name):
    scratch = tempfile.mkdtemp(prefix="brevalon-case-")
    try:
        shutil.copy(os.path.join(folder, name + ".lisp"), scratch)
        try:
            done = subprocess.run([binary, name + ".lisp"], cwd=scratch, stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=TIMEOUT, preexec_fn=small_stack)
        except subprocess.TimeoutExpired:
            return [f"did not end within {TIMEOUT:.0f} s"]
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    problems = []
    base = os.path.join(folder, name)
    status = int(read(base + ".status", b"0").strip())
    if done.returncode < 0:
        problems.append(f"killed by signal {-done.returncode}")
    elif done.returncode != status:
        problems.append(f"status {done.returncode}, expected {status}")
    expected_out = read(base + ".out", b"")
    if expected_out.endswith(ANY_REST):
        same = done.stdout.startswith(expected_out[:-len(ANY_REST)])
    else:
        same = done.stdout == expected_out
    if not same:
        problems.append("standard output differs:\n--- expected (head)\n" +
                        expected_out[:600].decode("utf-8", "replace") + "\n--- actual (head)\n" +
                        done.stdout[:600].decode("utf-8", "replace"))
    if not is_one_diagnostic(done.stderr.decode("utf-8", "replace").splitlines()):
        problems.append("standard error is not one diagnostic: " + done.stderr[:600].decode("utf-8", "replace"))
    expected_err = read(base + ".err")
    if expected_err is not None and done.stderr != expected_err:
        problems.append("standard error differs: " + done.stderr[:600].decode("utf-8", "replace"))
    return problems


def main():
    if len(sys.argv) != 3:
        print("usage: run_cases.py BINARY CASES_FOLDER")
        return 2
    binary, folder = os.path.abspath(sys.argv[1]), sys.argv[2]
    names = sorted(f[:-5] for f in os.listdir(folder) if f.endswith(".lisp"))
    failed = 0
    for name in names:
        problems = check(binary, folder, name)
        if problems:
            failed += 1
            print(f"FAILED {name}: " + "\n  ".join(problems))
    print(f"{len(names) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
