#!/usr/bin/env python3
"""Checks what `cmake --install` puts under a prefix: both executables, both manual pages, the manual.

Usage: check_install.py CMAKE BUILD_DIR SOURCE_DIR

Installs the build tree into a temporary prefix, then checks that every file is there, that the
executables run from their new place, and that the manual pages name each other.
"""
import filecmp
import os
import subprocess
import sys
import tempfile

EXECUTABLES = ["bin/brevalon", "bin/brevalon-repl"]
MAN_PAGES = ["share/man/man1/brevalon.1", "share/man/man1/brevalon-repl.1"]
MANUAL = "share/doc/brevalon/language.md"


def check(cmake, build, source, prefix):
    failures = []
    proc = subprocess.run([cmake, "--install", build, "--prefix", prefix], capture_output=True, timeout=120)
    if proc.returncode != 0:
        return ["cmake --install failed: " + proc.stderr.decode(errors="replace")]
    for path in EXECUTABLES + MAN_PAGES + [MANUAL]:
        if not os.path.isfile(os.path.join(prefix, path)):
            failures.append("not installed: " + path)
    for path in EXECUTABLES:
        if not os.access(os.path.join(prefix, path), os.X_OK):
            failures.append("not executable: " + path)
    if failures:
        return failures
    if not filecmp.cmp(os.path.join(prefix, MANUAL), os.path.join(source, "docs", "language.md"), shallow=False):
        failures.append("the installed manual differs from docs/language.md")
    proc = subprocess.run([os.path.join(prefix, "bin/brevalon-repl"), "-e", "(+ 1 2)"], capture_output=True,
                          stdin=subprocess.DEVNULL, timeout=60)
    if proc.stdout != b"3\n":
        failures.append("the installed brevalon-repl does not run: %r %r" % (proc.stdout, proc.stderr))
    for page, other in zip(MAN_PAGES, reversed(MAN_PAGES)):
        text = open(os.path.join(prefix, page), encoding="utf-8").read()
        see_also = text.split(".SH SEE ALSO", 1)[-1] if ".SH SEE ALSO" in text else ""
        if not text.startswith(".TH "):
            failures.append(page + " is not a manual page")
        if os.path.basename(other)[:-2] not in see_also:
            failures.append("%s does not name %s under SEE ALSO" % (page, os.path.basename(other)[:-2]))
        if "share/doc/brevalon/language.md" not in text.replace("\\-", "-"):
            failures.append(page + " does not say where the installed manual is")
    return failures


def main(argv):
    if len(argv) != 4:
        print(__doc__)
        return 2
    with tempfile.TemporaryDirectory(prefix="brevalon-install-") as prefix:
        failures = check(argv[1], argv[2], argv[3], prefix)
    for failure in failures:
        print("FAIL " + failure)
    print("install: %d problems" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
