#!/usr/bin/env python3
"""Runs the example programs and compares their output.

Usage: check_examples.py BINARY EXAMPLES_FOLDER

Every NAME.lisp directly in the folder, and every main.lisp one folder
down (a program split into several files), is run with its own folder as
the working directory, after that folder has been copied into a fresh
scratch directory: programs that write files write them there, and
programs that load helpers find them beside themselves.  The output must
equal NAME.out exactly and the exit status NAME.status (0 when absent).

shebang.lisp is also run as an executable, ./shebang.lisp, with the
folder of BINARY placed first on PATH, so that its first line
"#!/usr/bin/env brevalon" finds the interpreter.

The last line printed is "N passed, N failed"; the exit status is 1 when
anything failed.
"""
import glob
import os
import shutil
import stat
import subprocess
import sys
import tempfile

TIMEOUT = float(os.environ.get("EXAMPLES_TIMEOUT", "60"))


def expected_of(program):
    base = program[:-len(".lisp")]
    with open(base + ".out", encoding="utf-8") as handle:
        output = handle.read()
    status = 0
    if os.path.exists(base + ".status"):
        with open(base + ".status", encoding="utf-8") as handle:
            status = int(handle.read().strip())
    return output, status


def run_in_copy(program, command_for, env=None):
    """Copies the program's folder into a scratch directory and runs the command there."""
    folder = os.path.dirname(program)
    with tempfile.TemporaryDirectory(prefix="brevalon-example-") as scratch:
        copy = os.path.join(scratch, "work")
        shutil.copytree(folder, copy)
        name = os.path.basename(program)
        done = subprocess.run(command_for(copy, name), cwd=copy, capture_output=True,
                              timeout=TIMEOUT, stdin=subprocess.DEVNULL, env=env)
        return done.stdout.decode("utf-8", "replace"), done.returncode


def check(label, program, command_for, env=None):
    expected, status = expected_of(program)
    try:
        actual, returncode = run_in_copy(program, command_for, env)
    except subprocess.TimeoutExpired:
        print(f"FAIL {label}: timed out")
        return False
    problems = []
    if actual != expected:
        problems.append("expected output:\n" + expected + "actual output:\n" + actual)
    if returncode != status:
        problems.append(f"expected status {status}, got {returncode}")
    if problems:
        print(f"FAIL {label}\n" + "\n".join(problems))
        return False
    print(f"ok   {label}")
    return True


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2])
        return 2
    binary, folder = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    programs = sorted(glob.glob(os.path.join(folder, "*.lisp")))
    programs += sorted(glob.glob(os.path.join(folder, "*", "main.lisp")))
    results = []
    for program in programs:
        label = os.path.relpath(program, folder)
        results.append(check(label, program, lambda copy, name: [binary, name]))

    shebang = os.path.join(folder, "shebang.lisp")
    if os.path.exists(shebang):
        # The script must find the interpreter by the name "brevalon" on PATH.
        with tempfile.TemporaryDirectory(prefix="brevalon-path-") as bin_dir:
            os.symlink(binary, os.path.join(bin_dir, "brevalon"))
            env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ.get("PATH", ""))

            def as_executable(copy, name):
                script = os.path.join(copy, name)
                os.chmod(script, os.stat(script).st_mode | stat.S_IXUSR)
                return ["./" + name]

            results.append(check("shebang.lisp as an executable", shebang, as_executable, env))
    else:
        print("FAIL shebang.lisp is missing")
        results.append(False)

    passed = results.count(True)
    failed = len(results) - passed
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not programs else 0


if __name__ == "__main__":
    sys.exit(main())
