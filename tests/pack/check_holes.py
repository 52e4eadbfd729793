#!/usr/bin/python3
"""Checks the garden's bed layouts, "conf/holes.lvs": blocks of 8 lines of
10 comma-separated cells ("0" a bed, "1" none), blocks separated by a line
";", none after the last.

usage: check_holes.py HOLES_FILE

Prints one line per fault (file, line, rule) and exits with 1 when there is
any."""
import sys

ROWS, COLUMNS = 8, 10
MIN_LAYOUTS = 5               # the garden grows four times
MIN_FIRST_BEDS = 3            # the first lesson points at three holes
# Cells (row, column) where something else stands: the pump, the car, the
# hives, the tools and the animals as they arrive.
FIXED = {
    (1, 9): "the pump", (2, 9): "the pump", (3, 9): "the pump", (3, 0): "the car",
    (0, 4): "a hive", (1, 4): "a hive", (0, 6): "a hive", (1, 6): "a hive",
    (5, 3): "a tool", (5, 4): "a tool", (5, 5): "a tool",
    (1, 7): "an animal's arrival", (1, 1): "an animal's arrival", (6, 7): "an animal's arrival",
}
# Pastures (first row, first column, last row, last column) and the free
# cells each keeps in every layout, to graze and wander on.
PASTURES = {"ostrich": (0, 4, 3, 9), "goat": (3, 4, 7, 9), "peacock": (0, 0, 7, 6)}
MIN_PASTURE_FREE = 6
MIN_FIELD_FREE = 20           # room for grass and flowers beside the beds


def grid_row(line):
    """The grid row of a block's line (0-based): the first line is the top
    row, the eighth the bottom one."""
    return ROWS - 1 - line


def parse(text):
    """[(first line number, [cells per line])] per block, and the faults of
    the layout's form."""
    faults, blocks, current, start = [], [], [], None
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    for n, line in enumerate(lines, 1):
        if line.startswith(";"):
            if line != ";":
                faults.append("line %d: a separator is the line \";\" alone" % n)
            if not current:
                faults.append("line %d: a separator without a layout before it" % n)
            else:
                blocks.append((start, current))
            current, start = [], None
            continue
        if not line.strip():
            faults.append("line %d: an empty line" % n)
            continue
        cells = line.split(",")
        if len(cells) != COLUMNS:
            faults.append("line %d: %d cells, a row has %d" % (n, len(cells), COLUMNS))
        for j, c in enumerate(cells):
            if c not in ("0", "1"):
                faults.append("line %d: cell %d is %r, not 0 (bed) or 1 (none)" % (n, j, c))
        if start is None:
            start = n
        current.append(cells)
    if lines and lines[-1].startswith(";"):
        faults.append("line %d: a \";\" after the last layout makes one more, empty layout" % len(lines))
    if current:
        blocks.append((start, current))
    return blocks, faults


def check_text(text):
    blocks, faults = parse(text)
    layouts = []
    for b, (start, rows) in enumerate(blocks):
        if len(rows) != ROWS:
            faults.append("layout %d (line %d): %d lines, a layout has %d" % (b, start, len(rows), ROWS))
        beds = set()
        for i, cells in enumerate(rows[:ROWS]):
            for j, c in enumerate(cells[:COLUMNS]):
                if c == "0":
                    beds.add((grid_row(i), j))
                    what = FIXED.get((grid_row(i), j))
                    if what:
                        faults.append("layout %d, line %d: a bed on cell (%d, %d), where %s stands"
                                      % (b, start + i, grid_row(i), j, what))
        layouts.append(beds)
    if len(layouts) < MIN_LAYOUTS:
        faults.append("%d layouts, the garden needs %d" % (len(layouts), MIN_LAYOUTS))
    if layouts and len(layouts[0]) < MIN_FIRST_BEDS:
        faults.append("layout 0 has %d beds, the first lesson needs %d" % (len(layouts[0]), MIN_FIRST_BEDS))
    for b in range(1, len(layouts)):
        lost = sorted(layouts[b - 1] - layouts[b])
        if lost:
            faults.append("layout %d loses the beds %s of layout %d" % (b, ", ".join("(%d, %d)" % c for c in lost), b - 1))
    for b, beds in enumerate(layouts):
        taken = beds | set(FIXED)
        for name, (r0, c0, r1, c1) in sorted(PASTURES.items()):
            free = sum(1 for r in range(r0, r1 + 1) for c in range(c0, c1 + 1) if (r, c) not in taken)
            if free < MIN_PASTURE_FREE:
                faults.append("layout %d leaves the %s %d free cells of its pasture, it needs %d"
                              % (b, name, free, MIN_PASTURE_FREE))
        free = ROWS * COLUMNS - len(taken)
        if free < MIN_FIELD_FREE:
            faults.append("layout %d leaves %d free cells for grass and flowers, at least %d are needed"
                          % (b, free, MIN_FIELD_FREE))
    return faults


def check(path):
    try:
        with open(path, "rb") as f:
            text = f.read().decode("ascii")
    except (OSError, UnicodeDecodeError) as e:
        return ["%s: unreadable: %s" % (path, e)]
    if "\r" in text:
        return ["%s: line ends must be \"\\n\"" % path]
    return ["%s: %s" % (path, f) for f in check_text(text)]


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    faults = check(sys.argv[1])
    for line in faults:
        print(line)
    print("%s: %d fault(s)" % (sys.argv[1], len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
