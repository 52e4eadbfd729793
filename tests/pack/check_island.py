#!/usr/bin/python3
"""Checks the island's files, "conf/island.pts" and "conf/island.dat",
against the rules the game's island and walkers rely on, with readers of
its own for their binary layouts.

usage: check_island.py DATA_FOLDER

Prints one line per fault (file, record, rule) and exits with 1 when there
is any. The generator runs validate() on the bytes before it writes them."""
import math
import os
import re
import struct
import sys

GATHERING = (290.0, 1588.0)
LANDING = (412.0, 1971.0)
HARBOUR_PROBE = (345.0, 1824.0)
ARRIVALS = 11                 # walkers in a column below the landing point
MAX_AREA_CHANGES = 7          # a walker's plan holds 16 keys, two per change
LEVELS = 45
CLICK_W, CLICK_H = 36, 60     # a level point's click box, centred on it
NEAR = 100.0                  # a building is paired with a point nearer than this

# The building each level makes available, levels 0 to 44.
LEVEL_BUILDING = {}
for _name, _levels in (
        ("house00", [0]), ("market00", [1]), ("factory00", [2]), ("institute00", [3]), ("market01", [4, 9]),
        ("animals00", [5]), ("house01", [6, 8, 10, 12]), ("factory01", [7]), ("factory01_1", [11]),
        ("market02", [13, 17]), ("house02", [14, 16, 18, 20]), ("factory02", [15]), ("factory02_1", [19]),
        ("market03", [21, 24, 28]), ("house03", [22, 23, 25, 27, 29, 30]), ("factory03", [26]),
        ("market04", [31, 35]), ("house04", [32, 34, 36, 37]), ("factory03_1", [33]), ("market05", [38, 41]),
        ("house05", [39, 40, 42, 43]), ("statue00", [44])):
    for _l in _levels:
        LEVEL_BUILDING[_l] = _name
FACTORIES = {"factory00", "factory01", "factory01_1", "factory02", "factory02_1", "factory03", "factory03_1"}
# Each building's sprite (texture, area): its first frame is its size.
SPRITES = {
    "market00": ("houses01", "market00"), "house00": ("houses00", "house00"), "factory00": ("houses03", "factory00"),
    "institute00": ("houses05", "institute00"), "factory01": ("houses04", "factory01"),
    "animals00": ("houses05", "animals00"), "market01": ("houses01", "market01"), "house01": ("houses00", "house01"),
    "market02": ("houses01", "market02"), "factory01_1": ("houses08", "factory01_1"),
    "house02": ("houses00", "house02"), "market03": ("houses01", "market03"), "factory02": ("houses07", "factory02"),
    "factory02_1": ("houses08", "factory02_1"), "house03": ("houses00", "house03"),
    "market04": ("houses02", "market04"), "house04": ("houses00", "house04"), "market05": ("houses03", "market05"),
    "factory03": ("houses09", "factory03"), "factory03_1": ("houses04", "factory03"),
    "house05": ("houses02", "house05"), "statue00": ("peacock02", "statue00"),
}


class Truncated(Exception):
    pass


class Reader:
    """Little-endian fields; never reads past the end of the bytes."""

    def __init__(self, data):
        self.data, self.pos = data, 0

    def left(self):
        return len(self.data) - self.pos

    def take(self, n):
        if n > self.left():
            raise Truncated()
        out = self.data[self.pos:self.pos + n]
        self.pos += n
        return out

    def u32(self):
        return struct.unpack("<I", self.take(4))[0]

    def u16(self):
        return struct.unpack("<H", self.take(2))[0]

    def f32(self):
        return struct.unpack("<f", self.take(4))[0]

    def vec2s(self, count, what):
        if count * 8 > self.left():
            raise ValueError("%s: count %d runs past the end of the file" % (what, count))
        return [struct.unpack("<ff", self.take(8)) for _ in range(count)]


def read_pts(data):
    """(areas [(points, triangles)], links, route, level points); raises
    ValueError naming the record that breaks the layout."""
    r = Reader(data)
    try:
        areas = []
        count = r.u32()
        if count * 8 > r.left():
            raise ValueError("area count %d runs past the end of the file" % count)
        for i in range(count):
            pts = r.vec2s(r.u32(), "area %d points" % i)
            n = r.u32()
            if n * 12 > r.left():
                raise ValueError("area %d triangles: count %d runs past the end of the file" % (i, n))
            tris = [struct.unpack("<III", r.take(12)) for _ in range(n)]
            areas.append((pts, tris))
        links = r.vec2s(r.u32(), "link points")
        route = r.vec2s(r.u32(), "route keys")
        points = r.vec2s(r.u32(), "level points")
    except Truncated:
        raise ValueError("ends in the middle of a record")
    if r.left():
        raise ValueError("%d bytes follow the level points" % r.left())
    return areas, links, route, points


def read_dat(data):
    """[(name, island value, kind, x, y)]; raises ValueError."""
    r = Reader(data)
    out = []
    try:
        count = r.u32()
        if count * 18 > r.left():
            raise ValueError("record count %d runs past the end of the file" % count)
        for i in range(count):
            n = r.u16()
            if n > r.left():
                raise ValueError("record %d: name length %d runs past the end of the file" % (i, n))
            name = r.take(n).decode("latin-1")
            out.append((name, r.u32(), r.u32(), r.f32(), r.f32()))
    except Truncated:
        raise ValueError("record %d ends in the middle" % len(out))
    if r.left():
        raise ValueError("%d bytes follow the last record" % r.left())
    return out


def inside(p, poly):
    x, y = p
    hit = False
    for i in range(len(poly)):
        (x0, y0), (x1, y1) = poly[i], poly[i - 1]
        if (y0 > y) != (y1 > y) and x < (x1 - x0) * (y - y0) / (y1 - y0) + x0:
            hit = not hit
    return hit


def poly_area(pts):
    return abs(sum(pts[i][0] * pts[i - 1][1] - pts[i - 1][0] * pts[i][1] for i in range(len(pts)))) / 2


def area_of(p, areas):
    for i, (pts, _) in enumerate(areas):
        if inside(p, pts):
            return i
    return None


def overlap(a, b):
    """The buildings' overlap test (rectangles x, y, w, h)."""
    return a[0] + a[2] > b[0] and a[1] < b[1] + b[3] and a[0] < b[0] + b[2] and b[1] < a[1] + a[3]


def check_pts(areas, links, route, points):
    f = []
    for i, (pts, tris) in enumerate(areas):
        if len(pts) < 3:
            f.append("island.pts: area %d: a polygon needs 3 points, has %d" % (i, len(pts)))
            continue
        if any(k >= len(pts) for t in tris for k in t):
            f.append("island.pts: area %d: a triangle names a point the area does not have" % i)
            continue
        cover = sum(poly_area([pts[a], pts[b], pts[c]]) for a, b, c in tris)
        if abs(cover - poly_area(pts)) > 1e-3 * poly_area(pts) + 1:
            f.append("island.pts: area %d: its triangles cover %.0f, the polygon %.0f" % (i, cover, poly_area(pts)))
    fixed = [("gathering point", GATHERING), ("landing point", LANDING), ("harbour probe", HARBOUR_PROBE)]
    fixed += [("arriving walker %d" % i, (LANDING[0], LANDING[1] - 20 * i)) for i in range(1, ARRIVALS)]
    where = {}
    for what, p in fixed:
        where[what] = area_of(p, areas)
        if where[what] is None:
            f.append("island.pts: the %s (%g, %g) lies in no walk area" % (what, p[0], p[1]))
    if len(links) % 2:
        f.append("island.pts: link points: %d is odd, a link lacks its end" % len(links))
    edges = {}
    for i in range(0, len(links) - 1, 2):
        a, b = area_of(links[i], areas), area_of(links[i + 1], areas)
        if a is None or b is None or a == b:
            f.append("island.pts: link %d must run from inside one area into another" % (i // 2))
            continue
        edges.setdefault(a, set()).add(b)
    start, goal = where.get("landing point"), where.get("gathering point")
    if start is not None and goal is not None:
        steps, frontier = {start: 0}, [start]
        while frontier:
            nxt = []
            for a in frontier:
                for b in sorted(edges.get(a, ())):
                    if b not in steps:
                        steps[b] = steps[a] + 1
                        nxt.append(b)
            frontier = nxt
        if goal not in steps:
            f.append("island.pts: no links lead from the landing area to the gathering area")
        elif steps[goal] > MAX_AREA_CHANGES:
            f.append("island.pts: the way from landing to gathering changes area %d times, at most %d fit a plan"
                     % (steps[goal], MAX_AREA_CHANGES))
    if len(route) < 2:
        f.append("island.pts: route: %d key(s), the route needs at least 2" % len(route))
    elif math.dist(route[-1], LANDING) > 80:
        f.append("island.pts: route: its last key (%g, %g) is not near the landing point" % route[-1])
    if len(points) != LEVELS:
        f.append("island.pts: level points: %d, one per level makes %d" % (len(points), LEVELS))
    boxes = [(x - CLICK_W / 2, y - CLICK_H / 2, CLICK_W, CLICK_H) for x, y in points]
    for i in range(len(boxes)):
        for j in range(i + 1, len(boxes)):
            if overlap(boxes[i], boxes[j]):
                f.append("island.pts: level points %d and %d: their click boxes overlap" % (i, j))
    return f


def check_dat(records, areas, points, sizes):
    f = []
    rects, seen, levels = [], {}, {}
    if len(records) != LEVELS:
        f.append("island.dat: %d records, one building per level makes %d" % (len(records), LEVELS))
    for i, (name, value, kind, x, y) in enumerate(records):
        where = "island.dat: record %d (%s/%d)" % (i, name, value)
        if name not in SPRITES:
            f.append("%s: not a building of the catalogue" % where)
            continue
        want = 4 if name in FACTORIES else 3
        if kind != want:
            f.append("%s: kind %d, a %s is %d" % (where, kind, "factory" if want == 4 else "house", want))
        if (name, value) in seen:
            f.append("%s: the island value is already record %d's" % (where, seen[(name, value)]))
        seen[(name, value)] = i
        if name not in sizes:
            f.append("%s: its sprite's size is unknown" % where)
            continue
        w, h = sizes[name]
        rect = (x, y, w, h)
        centre = (x + w / 2, y + h / 2)
        if area_of(centre, areas) is None:
            f.append("%s: its centre (%g, %g) lies in no walk area" % (where, centre[0], centre[1]))
        for j, other in rects:
            if overlap(rect, other):
                f.append("%s: overlaps record %d" % (where, j))
        for k, (px, py) in enumerate(points):
            if overlap(rect, (px - CLICK_W / 2, py - CLICK_H / 2, CLICK_W, CLICK_H)):
                f.append("%s: covers the click box of level point %d" % (where, k))
        rects.append((i, rect))
        # Paired with the nearest point among the levels that make it.
        mine = [(math.dist(centre, points[l]), l) for l in sorted(LEVEL_BUILDING) if LEVEL_BUILDING[l] == name
                and l < len(points)]
        if not mine or min(mine)[0] >= NEAR:
            f.append("%s: no level point of a level that makes it lies within %g" % (where, NEAR))
            continue
        level = min(mine)[1]
        if level in levels:
            f.append("%s: level %d is already the level of record %d" % (where, level, levels[level]))
        levels[level] = i
    for level in sorted(LEVEL_BUILDING):
        if level not in levels and level < len(points):
            f.append("island.dat: level %d: no %s is paired with its point" % (level, LEVEL_BUILDING[level]))
    return f


def validate(pts_bytes, dat_bytes, sizes, on_land=None):
    """Faults of the two files; sizes maps a building name to its sprite's
    first frame size; on_land(x, y), when given, tells whether a point of
    the island lies on the picture's land."""
    try:
        areas, links, route, points = read_pts(pts_bytes)
    except ValueError as e:
        return ["island.pts: %s" % e]
    faults = check_pts(areas, links, route, points)
    if on_land:
        for i, p in enumerate(points):
            if not on_land(*p):
                faults.append("island.pts: level point %d (%g, %g) is not on the island's land" % (i, p[0], p[1]))
    try:
        records = read_dat(dat_bytes)
    except ValueError as e:
        return faults + ["island.dat: %s" % e]
    return faults + check_dat(records, areas, points, sizes)


def sprite_sizes(root):
    """The first frame size of each building's sprite, read from the
    sheets' ".tex" scripts and pictures."""
    from PIL import Image
    node = re.compile(r'AddNode\("([^"]+)", rectf\(([^,]+), ([^,]+), ([^,]+), ([^)]+)\), (\d+), (\d+)')
    sizes = {}
    for name, (texture, area) in SPRITES.items():
        base = os.path.join(root, "texture", texture)
        try:
            with Image.open(base + ".png") as img:
                W, H = img.size
            with open(base + ".tex") as f:
                text = f.read()
        except OSError:
            continue
        for m in node.finditer(text):
            if m.group(1) == area:
                w, h, cols, rows = float(m.group(4)), float(m.group(5)), int(m.group(6)), int(m.group(7))
                sizes[name] = (round(w * W / cols), round(h * H / rows))
                break
    return sizes


def land_test(root):
    """Whether an island point is on land: an opaque pixel of the picture
    (island00_0 above island00_1)."""
    from PIL import Image
    try:
        top = Image.open(os.path.join(root, "texture", "island00_0.png")).convert("RGBA")
        bottom = Image.open(os.path.join(root, "texture", "island00_1.png")).convert("RGBA")
    except OSError:
        return None
    H = top.size[1] + bottom.size[1]

    def on_land(x, y):
        row = H - 1 - int(y)
        img, r = (top, row) if row < top.size[1] else (bottom, row - top.size[1])
        if not (0 <= int(x) < img.size[0] and 0 <= r < img.size[1]):
            return False
        return img.getpixel((int(x), r))[3] == 255
    return on_land


def check(root):
    paths = [os.path.join(root, "conf", n) for n in ("island.pts", "island.dat")]
    data = []
    for p in paths:
        try:
            with open(p, "rb") as f:
                data.append(f.read())
        except OSError:
            return ["%s: missing" % os.path.relpath(p, root)]
    return validate(data[0], data[1], sprite_sizes(root), land_test(root))


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    root = os.path.abspath(sys.argv[1])
    faults = check(root)
    for line in faults:
        print(line)
    print("%s: island files, %d fault(s)" % (root, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
