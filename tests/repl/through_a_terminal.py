#!/usr/bin/env python3
"""Runs interactive sessions of brevalon-repl on a pseudo-terminal and compares what the terminal shows.

Usage: through_a_terminal.py REPL

Each case types its lines one at a time, waiting for the next prompt before typing on, ends
the session with Control-D, and compares the whole transcript (prompts, echoed input, values,
reports and the notes on standard error, which share the terminal) with the expected one.
"""
import os
import pty
import select
import sys
import tempfile
import termios
import time

# Only a hung session reaches this; no case depends on how fast anything is.
DEADLINE = float(os.environ.get("PROGRAMS_TIMEOUT", "60"))
PROMPT = "brevalon> "
MORE = "     ...> "
CONTROL_C = "\x03"

LIBRARY = '(def (square x) (* x x))\n(print "library loaded")\n'

# (name, arguments, lines typed, expected transcript). A line typed is sent with a newline,
# except Control-C, which is sent alone. The transcript ends where Control-D ends the session.
CASES = [
    ("a value is shown with repr",
     [], ['"text"', "(list 1 \"b\" 'c)", "(+ 2 3)"],
     PROMPT + '"text"\n"text"\n' + PROMPT + "(list 1 \"b\" 'c)\n(1 \"b\" c)\n" + PROMPT + "(+ 2 3)\n5\n"),
    ("text beyond ASCII is kept as typed",
     [], ['"h\u00e9llo w\u00f6rld \u2192"', '(length "\u00e9")'],
     PROMPT + '"h\u00e9llo w\u00f6rld \u2192"\n"h\u00e9llo w\u00f6rld \u2192"\n' + PROMPT + '(length "\u00e9")\n2\n'),
    ("an open form continues over lines until it is complete",
     [], ["(+ 1", "   2", '   (length "abc"))'],
     PROMPT + "(+ 1\n" + MORE + "   2\n" + MORE + '   (length "abc"))\n6\n'),
    ("a string left open continues on the next line",
     [], ['"two', 'lines"'],
     PROMPT + '"two\n' + MORE + 'lines"\n"two\nlines"\n'),
    ("several forms on one line show one value each",
     [], ["1 2 (+ 1 2)"],
     PROMPT + "1 2 (+ 1 2)\n1\n2\n3\n"),
    ("an error is reported and the session goes on",
     [], ["(car nil)", "(+ 20 22)"],
     PROMPT + "(car nil)\nInternal error during execution at:\nNativeCallFrame: car\nCallFrame: (car nil)\n"
     "EvalFrame: (car nil)\n<session>:1:1: error: car expects a cell, got nil\n  in (car nil) at <session>:1\n"
     + PROMPT + "(+ 20 22)\n42\n"),
    ("a program error is reported as a program run reports it and the session goes on",
     [], ["(error 'oops \"bad\")", "7"],
     PROMPT + "(error 'oops \"bad\")\nError during evaluation at:\nNativeCallFrame: error\n"
     "CallFrame: (error (quote oops) \"bad\")\nEvalFrame: (error (quote oops) \"bad\")\nError: Error: oops: \"bad\"\n"
     "<session>:1:1: error: oops: \"bad\"\n  in (error (quote oops) \"bad\") at <session>:1\n" + PROMPT + "7\n7\n"),
    ("definitions stay for later forms",
     [], ["(def (cube x) (* x x x))", "(cube 3)"],
     PROMPT + "(def (cube x) (* x x x))\nnil\n" + PROMPT + "(cube 3)\n27\n"),
    ("a file runs first and its definitions stay",
     ["library.lisp"], ["(square 9)"],
     "library loaded\n" + PROMPT + "(square 9)\n81\n"),
    ("an error inside a loaded file leaves the working directory as it was",
     [], ['(load "folder/broken.lisp")', '(load "library.lisp")', "(square 5)"],
     PROMPT + '(load "folder/broken.lisp")\n' + "Internal error during execution at:\nNativeCallFrame: car\n"
     "CallFrame: (car nil)\nEvalFrame: (car nil)\nLoadFrame: folder/broken.lisp\n"
     "ResumableNativeCallFrame: load\nCallFrame: (load \"folder/broken.lisp\")\n"
     "EvalFrame: (load \"folder/broken.lisp\")\n"
     "folder/broken.lisp:1:1: error: car expects a cell, got nil\n  in (car nil) at folder/broken.lisp:1\n"
     "  in (load \"folder/broken.lisp\") at <session>:1\n"
     + PROMPT + '(load "library.lisp")\nlibrary loaded\nnil\n' + PROMPT + "(square 5)\n25\n"),
    ("Control-C drops the form being typed",
     [], ["(+ 1", CONTROL_C, "(+ 2 2)"],
     PROMPT + "(+ 1\n" + MORE + "\n" + PROMPT + "(+ 2 2)\n4\n"),
    ("an unmatched closing parenthesis is ignored with what follows it",
     [], ["5) 6"],
     PROMPT + "5) 6\n5\nbrevalon: warning: unmatched ')'; the rest of the input after it is ignored\n"),
]


class Session:
    def __init__(self, repl, arguments, cwd, home):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.chdir(cwd)
            os.environ.update(HOME=home, TERM="dumb", LANG="C", LC_ALL="")
            os.execv(repl, [repl] + arguments)
        self.transcript = b""
        self.typed_at = 0  # the transcript's length when the last input was typed

    def read_more(self):
        """Adds what the terminal shows next to the transcript; false once the session has ended."""
        ready, _, _ = select.select([self.fd], [], [], DEADLINE)
        if not ready:
            raise RuntimeError("nothing within %g s; so far: %r" % (DEADLINE, self.transcript))
        try:
            chunk = os.read(self.fd, 4096)
        except OSError:  # the terminal closes when the session ends
            return False
        self.transcript += chunk
        return bool(chunk)

    def read_until_prompt(self):
        while len(self.transcript) == self.typed_at or \
                not self.transcript.endswith((PROMPT.encode(), MORE.encode())):
            if not self.read_more():
                raise RuntimeError("the session ended before its next prompt: %r" % self.transcript)

    def type(self, text):
        # The prompt is written before the line editor takes the terminal out of line mode, and
        # taking it out drops what was typed in between: wait until the editor is reading.
        deadline = time.monotonic() + DEADLINE
        while termios.tcgetattr(self.fd)[3] & termios.ICANON:
            if time.monotonic() > deadline:
                raise RuntimeError("the terminal stays in line mode; so far: %r" % self.transcript)
            time.sleep(0.01)
        self.typed_at = len(self.transcript)
        os.write(self.fd, text.encode("utf-8"))

    def finish(self):
        """Ends the session with Control-D; returns its exit status."""
        self.type("\x04")
        while self.read_more():
            pass
        _, status = os.waitpid(self.pid, 0)
        os.close(self.fd)
        return os.waitstatus_to_exitcode(status)


def run_case(repl, arguments, typed, scratch, home):
    session = Session(repl, arguments, scratch, home)
    session.read_until_prompt()
    for line in typed:
        session.type(line if line == CONTROL_C else line + "\n")
        session.read_until_prompt()
    status = session.finish()
    text = session.transcript.decode("utf-8", errors="replace").replace("\r\n", "\n")
    # The line editor may show Control-D as ^D; the session then ends the line.
    text = text.replace("^D", "")
    if text.endswith("\n"):
        text = text[:-1]
    return status, text


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    repl = os.path.abspath(argv[1])
    failures = []
    with tempfile.TemporaryDirectory(prefix="brevalon-terminal-") as scratch:
        with open(os.path.join(scratch, "library.lisp"), "w") as f:
            f.write(LIBRARY)
        os.mkdir(os.path.join(scratch, "folder"))
        with open(os.path.join(scratch, "folder", "broken.lisp"), "w") as f:
            f.write("(car nil)\n")
        for name, arguments, typed, expected in CASES:
            with tempfile.TemporaryDirectory(prefix="brevalon-home-") as home:
                status, transcript = run_case(repl, arguments, typed, scratch, home)
                if status != 0 or transcript != expected + PROMPT:
                    failures.append("%s:\n  status %d\n  transcript %r\n  expected   %r"
                                    % (name, status, transcript, expected + PROMPT))
        # The history file keeps every line typed, for the next session.
        with tempfile.TemporaryDirectory(prefix="brevalon-home-") as home:
            run_case(repl, [], ["(+ 1", "2)", "(quote remembered)"], scratch, home)
            path = os.path.join(home, ".brevalon_history")
            history = open(path, encoding="latin-1").read() if os.path.exists(path) else ""
            if "remembered" not in history or "2)" not in history:
                failures.append("the history file keeps the lines typed: %r" % history)
            # Control-P brings back the line typed last in the session before.
            status, transcript = run_case(repl, [], ["\x10"], scratch, home)
            if not transcript.endswith("(quote remembered)\nremembered\n" + PROMPT):
                failures.append("Control-P recalls the last line of the session before: %r" % transcript)
        # Control-D in the middle of a form runs it, and the reader says what is missing.
        with tempfile.TemporaryDirectory(prefix="brevalon-home-") as home:
            status, transcript = run_case(repl, [], ["(+ 1"], scratch, home)
            message = "list expression expecting sub expression or closing parenthesis"
            expected = (PROMPT + "(+ 1\n" + MORE + "\n" + message + "\n"
                        + "<session>:1:1: error: '(' is never closed: the file ends inside this list")
            if status != 0 or transcript != expected:
                failures.append("Control-D in a form:\n  transcript %r\n  expected   %r" % (transcript, expected))
        # Tab completes a name the program bound (the terminal also shows the editor's redrawing).
        with tempfile.TemporaryDirectory(prefix="brevalon-home-") as home:
            status, transcript = run_case(repl, ["library.lisp"], ["(squ\t 4)"], scratch, home)
            if not transcript.endswith("\n16\n" + PROMPT):
                failures.append("Tab completes square: %r" % transcript)
    for failure in failures:
        print("FAIL " + failure)
    print("%d sessions; %d failed" % (len(CASES) + 3, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
