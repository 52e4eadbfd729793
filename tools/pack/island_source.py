"""The island, as data: walk areas, passages between them, the ship's
route, the 45 level points and the building each level makes available.
gen_island.py turns this one source into the island's two pictures, its
files "conf/island.pts" and "conf/island.dat", and a preview.

Island coordinates: pixels of the 2048 x 2048 picture, origin at its
bottom-left corner, y up."""

WIDTH, HEIGHT = 2048, 2048

# Fixed points the game's walkers use.
GATHERING = (290, 1588)
LANDING = (412, 1971)
HARBOUR_PROBE = (345, 1824)
WATERFALL = (568, 1666)      # the waterfall's frames are drawn from here

# Walk areas, convex polygons counter-clockwise. The harbour comes first;
# its one entrance from the plaza is the first link into it (wandering
# walkers never take that one, so they stay off the pier).
_BANDS = [(80, 560), (560, 1040), (1040, 1380)]
_COLUMNS = [(80, 560), (560, 1040), (1040, 1520), (1520, 1980)]


def _rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


AREAS = [
    ("harbour", _rect(330, 1745, 480, 2010)),
    ("plaza", _rect(80, 1380, 560, 1740)),
    ("orchard", _rect(80, 1740, 325, 1960)),
    ("falls", _rect(640, 1380, 1040, 1900)),
    ("hill", _rect(1040, 1380, 1520, 1900)),
    ("cape", [(1520, 1380), (1980, 1380), (1940, 1900), (1520, 1900)]),
]
for _row, (_y0, _y1) in reversed(list(enumerate(_BANDS))):
    for _col, (_x0, _x1) in enumerate(_COLUMNS):
        AREAS.append(("field%d%d" % (_row, _col), _rect(_x0, _y0, _x1, _y1)))

# Passages: (area left, area entered, a point inside the first, a point
# inside the second). Each gives two one-way links, there and back, in
# this order.
PASSAGES = [
    ("harbour", "plaza", (400, 1755), (400, 1725)),
    ("plaza", "orchard", (200, 1725), (200, 1755)),
    ("plaza", "falls", (545, 1450), (655, 1450)),
    ("falls", "hill", (1025, 1640), (1055, 1640)),
    ("hill", "cape", (1505, 1640), (1535, 1640)),
    ("plaza", "field20", (320, 1395), (320, 1365)),
    ("falls", "field21", (840, 1395), (840, 1365)),
    ("hill", "field22", (1280, 1395), (1280, 1365)),
    ("cape", "field23", (1740, 1395), (1740, 1365)),
]
for _row in (2, 1, 0):
    _ym = sum(_BANDS[_row]) // 2
    for _col in range(3):
        _x = _COLUMNS[_col][1]
        PASSAGES.append(("field%d%d" % (_row, _col), "field%d%d" % (_row, _col + 1), (_x - 15, _ym), (_x + 15, _ym)))
    if _row:
        _y = _BANDS[_row][0]
        for _col, _x in enumerate((320, 800, 1280, 1740)):
            PASSAGES.append(("field%d%d" % (_row, _col), "field%d%d" % (_row - 1, _col), (_x, _y + 15), (_x, _y - 15)))

# The ship's route over the sea to the pier, in travel order.
ROUTE = [(2060, 2010), (1500, 2030), (900, 2018), (560, 1998), (430, 1984)]

# The building each level makes available, levels 0 to 44.
LEVEL_BUILDINGS = [
    "house00", "market00", "factory00", "institute00", "market01", "animals00", "house01", "factory01",
    "house01", "market01", "house01", "factory01_1", "house01", "market02", "house02", "factory02",
    "house02", "market02", "house02", "factory02_1", "house02", "market03", "house03", "house03",
    "market03", "house03", "factory03", "house03", "market03", "house03", "house03", "market04",
    "house04", "factory03_1", "house04", "market04", "house04", "house04", "market05", "house05",
    "house05", "market05", "house05", "house05", "statue00",
]
FACTORIES = ("factory00", "factory01", "factory01_1", "factory02", "factory02_1", "factory03", "factory03_1")


def _row(y, xs):
    return [(x, y) for x in xs]


# Level points, one per level in order: the first eight inside the view the
# island opens with (the map scrolls only from level 7 on), clear of the
# score panel; then rows winding down the island.
LEVEL_POINTS = (
    [(190, 1830), (190, 1600), (150, 1390), (420, 1390), (470, 1600), (720, 1640), (700, 1390), (880, 1390)]
    + _row(1640, (1100, 1290, 1480, 1670, 1860))
    + _row(1390, (1860, 1670, 1480, 1290, 1100))
    + _row(1150, (910, 720, 530, 340, 150))
    + _row(890, (150, 340, 530, 720, 910, 1100, 1290, 1480, 1670, 1860))
    + _row(630, (1860, 1670, 1480, 1290, 1100, 910, 720, 530, 340, 150))
    + _row(370, (150, 340))
)

# A building stands this far above its level point's click box: its centre
# stays within 100 px of the point, nearer than any other point.
BUILDING_LIFT = 34


def building_rect(level, size):
    """The bottom-left corner and size of the building of a level."""
    px, py = LEVEL_POINTS[level]
    w, h = size
    return (px - w / 2, py + BUILDING_LIFT, w, h)
