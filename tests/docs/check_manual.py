#!/usr/bin/env python3
"""Runs every example of the language manual and compares its output.

Usage: check_manual.py BINARY MANUAL.md

An example in the manual is a fenced block opened by ```lisp, followed
(blank lines aside) by a fenced block opened by ```output that holds the
exact standard output of the program, and optionally by a line
<!-- status: N --> giving its exit status (0 when the line is absent).
Inside an output block, a line that reads exactly "..." stands for one
or more lines that the manual leaves out (long traces).

Every example runs as a program file of its own, in a fresh scratch
directory that is also its working directory, so examples that write or
load files cannot disturb one another.  Standard error is not compared.

The checker also asks the interpreter for the names bound in its global
environment and fails when one of them has no entry in the manual (a
heading of the form #### `name`).

The last line printed is "N passed, N failed"; the exit status is 1 when
anything failed.
"""
import os
import re
import subprocess
import sys
import tempfile

ELISION = "..."
TIMEOUT = float(os.environ.get("MANUAL_TIMEOUT", "30"))
STATUS_LINE = re.compile(r"^<!-- status: (\d+) -->$")
FENCE = re.compile(r"^```(\w*)\s*$")


class Example:
    def __init__(self, line, program):
        self.line = line
        self.program = program
        self.output = None
        self.status = 0


def parse_blocks(lines):
    """Yields (kind, start line number, body, index after the block) for each fenced block."""
    i = 0
    while i < len(lines):
        match = FENCE.match(lines[i])
        if not match or not match.group(1):
            i += 1
            continue
        start = i
        i += 1
        body = []
        while i < len(lines) and lines[i].rstrip("\n") != "```":
            body.append(lines[i])
            i += 1
        yield match.group(1), start + 1, "".join(body), i + 1
        i += 1


def next_meaningful(lines, index):
    while index < len(lines) and lines[index].strip() == "":
        index += 1
    return index


def extract_examples(text):
    """The examples of the manual, or an error text naming a malformed one."""
    lines = text.splitlines(keepends=True)
    examples = []
    errors = []
    pending = None
    for kind, line, body, after in parse_blocks(lines):
        if kind == "lisp":
            if pending is not None:
                errors.append(f"line {pending.line}: ```lisp block without an ```output block")
            pending = Example(line, body)
            nxt = next_meaningful(lines, after)
            if nxt >= len(lines) or not lines[nxt].startswith("```output"):
                errors.append(f"line {line}: ```lisp block not followed by an ```output block")
                pending = None
        elif kind == "output":
            if pending is None:
                errors.append(f"line {line}: ```output block without a ```lisp block")
                continue
            pending.output = body
            nxt = next_meaningful(lines, after)
            if nxt < len(lines):
                status = STATUS_LINE.match(lines[nxt].rstrip("\n"))
                if status:
                    pending.status = int(status.group(1))
            examples.append(pending)
            pending = None
    return examples, errors


def matches(expected, actual):
    """Line by line, except that an elision line stands for one or more lines."""
    want = expected.split("\n")
    have = actual.split("\n")

    def match_from(w, h):
        if w == len(want):
            return h == len(have)
        if want[w] == ELISION:
            return any(match_from(w + 1, k) for k in range(h + 1, len(have) + 1))
        return h < len(have) and want[w] == have[h] and match_from(w + 1, h + 1)

    return match_from(0, 0)


def run_example(binary, example):
    with tempfile.TemporaryDirectory(prefix="brevalon-manual-") as scratch:
        path = os.path.join(scratch, "example.lisp")
        with open(path, "w", encoding="utf-8") as handle:
            handle.write(example.program)
        try:
            done = subprocess.run([binary, "example.lisp"], cwd=scratch, capture_output=True,
                                  timeout=TIMEOUT, stdin=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            return "timed out"
        actual = done.stdout.decode("utf-8", "replace")
        problems = []
        if not matches(example.output, actual):
            problems.append("expected output:\n" + example.output + "actual output:\n" + actual)
        if done.returncode != example.status:
            problems.append(f"expected status {example.status}, got {done.returncode}")
        return "\n".join(problems)


def global_names(binary):
    """The names bound in the interpreter's global environment, read from its literal form."""
    with tempfile.TemporaryDirectory(prefix="brevalon-manual-") as scratch:
        path = os.path.join(scratch, "names.lisp")
        with open(path, "w", encoding="utf-8") as handle:
            handle.write("(print (repr current-scope))\n")
        done = subprocess.run([binary, "names.lisp"], cwd=scratch, capture_output=True,
                              timeout=TIMEOUT, stdin=subprocess.DEVNULL)
    # Each binding starts a line indented by exactly five spaces; continuation lines are deeper.
    names = ["current-scope", "parent-scope"]
    for line in done.stdout.decode("utf-8", "replace").split("\n"):
        match = re.match(r"^     (\S+)", line)
        if match:
            names.append(match.group(1))
    return names


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2])
        return 2
    binary, manual = os.path.abspath(sys.argv[1]), sys.argv[2]
    with open(manual, encoding="utf-8") as handle:
        text = handle.read()
    examples, errors = extract_examples(text)
    passed = failed = 0
    for error in errors:
        print("MALFORMED " + error)
        failed += 1
    for example in examples:
        problem = run_example(binary, example)
        if problem:
            failed += 1
            print(f"FAIL example at line {example.line}:\n{example.program}{problem}")
        else:
            passed += 1
    headings = set(re.findall(r"^#{3,4} `([^`]+)`$", text, re.M))
    names = global_names(binary)
    for name in names:
        if name not in headings:
            failed += 1
            print(f"MISSING entry for the global name {name}")
    if len(names) < 100:
        failed += 1
        print(f"could not read the global names ({len(names)} found)")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
