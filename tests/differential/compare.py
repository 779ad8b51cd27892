#!/usr/bin/env python3
"""Runs programs with the fast and the faithful interpreter and requires identical behaviour.

Usage: compare.py FAST FAITHFUL [--cases DIR] [--examples DIR] [--random FIRST COUNT] ...

Every program runs twice, once with each interpreter, in the same fresh scratch directory
(made anew for the second run), with no standard input and argv[0] "brevalon".  Standard
output, standard error and the exit status must be the same byte for byte; what they are
is not checked here (the other tests do that).

  --cases DIR      every NAME.lisp under DIR (folders NAME.files/ left out), run as
                   `brevalon NAME.lisp` beside the contents of NAME.files/, or with the
                   arguments listed one a line in NAME.args.  A DIR that does not exist is
                   skipped with a note, for the shared conformance folder of a bare clone.
  --examples DIR   every NAME.lisp directly in DIR and every main.lisp one folder down,
                   run in a copy of its own folder.
  --random FIRST COUNT
                   the programs that generate.py makes from seeds FIRST to FIRST+COUNT-1.
                   A seed that differs is printed with the command that keeps it as a case.

Environment: DIFFERENTIAL_TIMEOUT, seconds per run (default 300); DIFFERENTIAL_JOBS, programs
compared at once (default 2).  The last line printed is "N passed, N failed"; the exit status
is 1 when any program behaved differently.
"""
import concurrent.futures
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import generate  # noqa: E402

TIMEOUT = float(os.environ.get("DIFFERENTIAL_TIMEOUT", "300"))
JOBS = int(os.environ.get("DIFFERENTIAL_JOBS", "2"))
SHOWN_BYTES = 400


class Program:
    """A program and what its scratch directory starts with."""

    def __init__(self, label, arguments, prepare):
        self.label = label
        self.arguments = arguments
        self.prepare = prepare  # fills the scratch directory


def read_lines(path):
    with open(path, encoding="latin-1") as handle:
        lines = handle.read().split("\n")
    return lines[:-1] if lines and lines[-1] == "" else lines


def case_programs(folder):
    programs = []
    for root, dirs, files in os.walk(folder):
        dirs[:] = sorted(d for d in dirs if not d.endswith(".files"))
        for name in sorted(f for f in files if f.endswith(".lisp")):
            path = os.path.join(root, name)
            base = path[:-len(".lisp")]
            arguments = read_lines(base + ".args") if os.path.exists(base + ".args") else [name]

            def prepare(scratch, path=path, base=base, name=name):
                shutil.copy(path, os.path.join(scratch, name))
                if os.path.isdir(base + ".files"):
                    shutil.copytree(base + ".files", scratch, dirs_exist_ok=True)

            programs.append(Program(os.path.relpath(path, os.path.dirname(folder)), arguments, prepare))
    return programs


def example_programs(folder):
    paths = sorted(os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".lisp"))
    paths += sorted(os.path.join(folder, d, "main.lisp") for d in os.listdir(folder)
                    if os.path.isfile(os.path.join(folder, d, "main.lisp")))
    programs = []
    for path in paths:
        def prepare(scratch, source=os.path.dirname(path)):
            shutil.copytree(source, scratch, dirs_exist_ok=True)
        programs.append(Program(os.path.relpath(path, os.path.dirname(folder)),
                                [os.path.basename(path)], prepare))
    return programs


def random_programs(first, count):
    programs = []
    for seed in range(first, first + count):
        def prepare(scratch, seed=seed):
            with open(os.path.join(scratch, "random.lisp"), "w", encoding="utf-8") as handle:
                handle.write(generate.program(seed))
        programs.append(Program("random seed %d" % seed, ["random.lisp"], prepare))
    return programs


def run(binary, program, scratch):
    shutil.rmtree(scratch, ignore_errors=True)
    os.mkdir(scratch)
    program.prepare(scratch)
    try:
        done = subprocess.run(["brevalon"] + program.arguments, executable=binary, cwd=scratch,
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        return None
    return done.stdout, done.stderr, done.returncode


def first_difference(name, fast, faithful):
    if isinstance(fast, int):
        return "%s: %d with fast paths, %d without" % (name, fast, faithful)
    at = next((i for i in range(min(len(fast), len(faithful))) if fast[i] != faithful[i]),
              min(len(fast), len(faithful)))
    line = fast[:at].count(b"\n") + 1
    start = fast.rfind(b"\n", 0, at) + 1

    def shown(text):
        return repr(text[start:start + SHOWN_BYTES])
    return "%s differs at line %d:\n    fast:     %s\n    faithful: %s" % (
        name, line, shown(fast), shown(faithful))


def compare(fast_binary, faithful_binary, program, scratch_root):
    """Returns a list of differences; empty when both interpreters behaved the same."""
    scratch = tempfile.mkdtemp(dir=scratch_root)
    fast = run(fast_binary, program, scratch)
    faithful = run(faithful_binary, program, scratch)
    shutil.rmtree(scratch, ignore_errors=True)
    if fast is None or faithful is None:
        return ["no result within %g s (%s)" % (TIMEOUT, "fast" if fast is None else "faithful")]
    names = ("standard output", "standard error", "exit status")
    return [first_difference(names[i], fast[i], faithful[i]) for i in range(3) if fast[i] != faithful[i]]


def parse(arguments):
    programs = []
    notes = []
    while arguments:
        option = arguments.pop(0)
        if option == "--cases" and arguments:
            folder = os.path.abspath(arguments.pop(0))
            if os.path.isdir(folder):
                programs += case_programs(folder)
            else:
                notes.append("skipped: no folder %s" % folder)
        elif option == "--examples" and arguments:
            programs += example_programs(os.path.abspath(arguments.pop(0)))
        elif option == "--random" and len(arguments) >= 2:
            programs += random_programs(int(arguments.pop(0)), int(arguments.pop(0)))
        else:
            raise SystemExit("unknown or incomplete option: %s\n%s" % (option, __doc__))
    return programs, notes


def main(argv):
    if len(argv) < 3 or argv[1] in ("-h", "--help"):
        print(__doc__)
        return 2
    fast_binary, faithful_binary = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    for binary in (fast_binary, faithful_binary):
        if not os.access(binary, os.X_OK):
            print("not an executable: %s" % binary)
            return 2
    programs, notes = parse(argv[3:])
    for note in notes:
        print(note)
    passed = failed = 0
    with tempfile.TemporaryDirectory(prefix="brevalon-differential-") as scratch_root, \
            concurrent.futures.ThreadPoolExecutor(max_workers=JOBS) as pool:
        results = pool.map(lambda p: compare(fast_binary, faithful_binary, p, scratch_root), programs)
        for program, differences in zip(programs, results):
            if not differences:
                passed += 1
                continue
            failed += 1
            print("DIFFERS %s\n  %s" % (program.label, "\n  ".join(differences)), flush=True)
            if program.label.startswith("random seed "):
                seed = program.label.split()[-1]
                print("  keep it: python3 %s %s > %s" % (
                    os.path.relpath(os.path.join(HERE, "generate.py")), seed,
                    os.path.relpath(os.path.join(HERE, "cases", "seed-%s.lisp" % seed))))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
