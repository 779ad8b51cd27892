"""The shape of what a run that fails writes on standard error: one diagnostic."""


def is_one_diagnostic(lines):
    """Empty, or one diagnostic: "PLACE: error: ..." (or a "brevalon: " note), then only indented
    lines and warnings."""
    if not lines:
        return True
    if not (": error: " in lines[0] or lines[0].startswith("brevalon: ")):
        return False
    return all(line.startswith("  ") or ": warning: " in line for line in lines[1:])
