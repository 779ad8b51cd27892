#!/usr/bin/env python3
"""Checks that every #include under src/ runs down the layers, never up or sideways.

Layers, lowest first: base, values/memory, reader/printer, eval, forms/builtins/classes, startup,
main (the files directly in src/) and repl (the interactive session, an executable of its own). A file may include its own folder and any lower layer. Folders
of one layer are siblings and may not include each other, so each can be read alone; the one
exception is values/memory, a single layer split in two: values allocate through memory/heap.h,
and the heap knows the object header values/value.h and the commonest kinds, which it marks itself.

Usage: check_includes.py [SOURCE_ROOT]   (default: the src/ folder beside tests/)
Exits 1 with one line per offending include.
"""
import pathlib
import re
import sys

LAYERS = [
    ["base"],
    ["values", "memory"],
    ["reader", "printer"],
    ["eval"],
    ["forms", "builtins", "classes"],
    ["startup"],
    ["main", "repl"],
]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}

# Sibling includes within one layer that are part of its design, as (from folder, included file).
ALLOWED_SIBLING_INCLUDES = {
    ("values", "memory/heap.h"),
    ("memory", "values/value.h"),
    # A heap owns its run's constants and interned names, so every value it makes can reach them.
    ("memory", "values/names.h"),
    ("memory", "values/types.h"),
    # The marker reads the edges of cells, numbers and strings itself, without virtual calls.
    ("memory", "values/list.h"),
    ("memory", "values/scalars.h"),
}

# Includes that run against the layers today and are being removed. Delete an entry as soon as its
# include goes; a stale entry is itself reported.
KNOWN_VIOLATIONS = set()

INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def folder_of(relative):
    return relative.parts[0] if len(relative.parts) > 1 else "main"


def problem(source_folder, included):
    target_folder = included.split("/")[0] if "/" in included else None
    if target_folder is None or target_folder not in RANK:
        return "includes a file outside the known layers"
    if target_folder == source_folder:
        return None
    if RANK[target_folder] > RANK[source_folder]:
        return f"{source_folder} sits below {target_folder}"
    if RANK[target_folder] == RANK[source_folder] and (source_folder, included) not in ALLOWED_SIBLING_INCLUDES:
        return f"{source_folder} and {target_folder} are siblings in one layer"
    return None


def main():
    root = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parents[2] / "src"
    if not root.is_dir():
        print(f"check_includes: no source folder at {root}", file=sys.stderr)
        return 2
    failures = []
    seen_known = set()
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        relative = path.relative_to(root)
        source_folder = folder_of(relative)
        if source_folder not in RANK:
            failures.append(f"{relative}: folder '{source_folder}' has no place in the layers")
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            included = match.group(1)
            reason = problem(source_folder, included)
            if reason is None:
                continue
            if (relative.as_posix(), included) in KNOWN_VIOLATIONS:
                seen_known.add((relative.as_posix(), included))
                continue
            failures.append(f'{relative}:{number}: #include "{included}": {reason}')
    for source, included in sorted(KNOWN_VIOLATIONS - seen_known):
        failures.append(f'{source}: no longer includes "{included}"; remove it from KNOWN_VIOLATIONS')
    if failures:
        print("Includes that run against the layers:")
        for failure in failures:
            print("  " + failure)
        return 1
    print(f"All includes under {root} run down the layers.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
