"""The game world's textures: sprite sheets of the garden, its objects and
the island's buildings, the particles, the hint's arrow and highlight, the
comic pictures and their backgrounds.

sheet(name) gives a sheet's areas (the packer places them); whole(name) a
texture without areas. Frame counts and area names follow the manifest;
frame sizes are chosen here, at the size the objects are seen on screen."""
import json
import math
import os

from PIL import Image, ImageDraw, ImageFilter, ImageMath, ImageOps

import draw_world as dw
from draw_world import C, Pen, frame_of
from packlib import atlas
from packlib.style import darker, lighter, mix

GARDENER = (72, 104)
PLANT = (64, 64)
ICON = (48, 48)
BUTTON = (64, 64)
WALK = 4          # frames of a walk cycle
# Building frame sizes: a building's rectangle on the island is its first
# frame (the island generator reads them back from the sheets).
BUILDING_SIZES = {
    "house": (96, 96), "market": (112, 96), "factory": (128, 112), "institute00": (128, 112),
    "animals00": (128, 104), "statue00": (96, 128),
}
FACTORY_LOOK = {
    "factory00": (C["olive"], C["olive"]),
    "factory01": ((236, 180, 120), C["orange"]),
    "factory01_1": ((246, 226, 130), C["yellow"]),
    "factory02": ((236, 222, 196), C["straw"]),
    "factory02_1": ((220, 160, 110), (200, 130, 60)),
    "factory03": ((200, 170, 220), C["grape"]),
    "factory03_1": ((170, 110, 130), (120, 30, 50)),
}


def toolbar_order():
    """The garden toolbar's order of the crops (its items are numbered so),
    from the manifest's "gui_plants" row."""
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "manifest.json")) as f:
        rows = json.load(f)["textures"]
    return next(row["icon_order"] for row in rows if row["name"] == "gui_plants")


TOOLBAR_ORDER = toolbar_order()


def size_of(name):
    if name.startswith("house"):
        return BUILDING_SIZES["house"]
    if name.startswith("market"):
        return BUILDING_SIZES["market"]
    if name.startswith("factory"):
        return BUILDING_SIZES["factory"]
    return BUILDING_SIZES[name]


def building_full(name):
    w, h = size_of(name)
    if name.startswith("house"):
        return dw.house_picture(w, h, int(name[5:7]))
    if name.startswith("market"):
        return dw.market_picture(w, h, int(name[6:8]))
    if name.startswith("factory"):
        colour, product = FACTORY_LOOK[name]
        return dw.factory_picture(w, h, colour, product, mill=name == "factory02", sails=0.3)
    if name == "institute00":
        return dw.institute_picture(w, h)
    if name == "animals00":
        return dw.animals_picture(w, h)
    raise KeyError(name)


def building_area(name, area=None):
    w, h = size_of(name)
    return atlas.Area(area or name, dw.construction_frames(building_full(name), w, h), columns=7, rate=4.0)


def statue_area():
    w, h = size_of("statue00")
    frames = [dw.statue_picture(w, h, k) for k in range(4)] + [dw.statue_picture(w, h, 4)]
    frames[3] = dw.blueprint(dw.statue_picture(w, h, 4))  # frame 3 doubles as the blueprint
    return atlas.Area("statue00", frames, columns=5, rate=3.0)


def cycle(name, count, draw, size, rate=8.0, columns=None):
    w, h = size
    return atlas.Area(name, [frame_of(w, h, lambda p, k=k: draw(p, k, count)) for k in range(count)],
                      columns=columns, rate=rate)


def opaque(area):
    area.keep_edges = True
    return area


# ---------------------------------------------------------------------------
# back: the garden's backdrop.

def tile_noise(w, h, waves, k=0, n=1):
    """A value 0..1 per pixel (as 0..255) from waves with whole periods
    across the picture and whole turns over the n frames: seamless in space
    and time. Each wave sin(x-part + y-part) is summed as
    sin(x) cos(y) + cos(x) sin(y) over whole-picture bands, which PIL's
    image arithmetic does at once."""
    def band(values, horizontal):
        im = Image.new("F", (len(values), 1) if horizontal else (1, len(values)))
        im.putdata(values)
        return im.resize((w, h), Image.NEAREST)
    acc = Image.new("F", (w, h), 0.0)
    for kx, ky, amp, ph in waves:
        ax = [2 * math.pi * (kx * x / w + k / n) + ph for x in range(w)]
        ay = [2 * math.pi * ky * y / h for y in range(h)]
        acc = ImageMath.eval("acc + amp * (sx * cy + cx * sy)", acc=acc, amp=amp,
                             sx=band([math.sin(a) for a in ax], True), cx=band([math.cos(a) for a in ax], True),
                             sy=band([math.sin(a) for a in ay], False), cy=band([math.cos(a) for a in ay], False))
    return ImageMath.eval("convert(min(max(acc * 127.0 + 128.0, 0.0), 255.0), 'L')", acc=acc)


def coloured(value, low, high):
    return Image.merge("RGB", [value.point(lambda v, a=low[i], b=high[i]: a + (b - a) * v // 255) for i in range(3)])


def garden_base():
    """1024 x 672: the garden ground; the field (130, 130)-(870, 670) in the
    game's y-up coordinates lies on it, a fence around it."""
    w, h = 1024, 672
    grass = coloured(tile_noise(256, 168, [(2, 1, 0.3, 0.0), (5, 3, 0.2, 1.0), (11, 7, 0.1, 2.0)]),
                     darker(C["leaf"], 0.15), lighter(C["leaf"], 0.1)).resize((w, h), Image.BILINEAR)
    img = grass.convert("RGBA")
    s = dw.sketch(w, h)
    p = Pen(s)
    top = h - 670
    p.rr(118, top - 4, 882, h - 118, 18, mix(C["leaf"], C["soil"], 0.25), outline=False)
    p.rr(126, top + 4, 874, h - 126, 14, mix(C["leaf"], C["sand"], 0.2), outline=False)
    for x in range(112, 900, 36):
        p.rr(x, h - 122, x + 8, h - 96, 2, C["wood"])
    p.rr(108, h - 116, 896, h - 110, 2, C["wood"])
    for x, y in ((40, 520), (70, 300), (950, 560), (960, 120), (30, 90)):
        p.ell(x - 22, y - 16, x + 22, y + 16, C["leaf_dark"])
        for i in range(3):
            p.fell(x - 10 + i * 8, y - 8, x - 4 + i * 8, y - 2, [C["red"], C["yellow"], C["violet"]][i])
    p.rr(0, 0, 1024, 14, 0, C["sand"], outline=False)
    over = s.result()
    img.alpha_composite(over)
    return img


def back_sheet():
    areas = [opaque(atlas.Area("base", [garden_base()]))]
    top = dw.sketch(1024, 24)
    p = Pen(top)
    for x in range(-10, 1040, 34):
        p.ell(x, 6 + (x * 7) % 5, x + 42, 30, C["leaf_dark"] if (x // 34) % 2 else C["leaf"])
    areas.append(atlas.Area("top", [top.result()]))
    sky = coloured(tile_noise(1024, 48, [(3, 0, 0.25, 0.0), (7, 1, 0.15, 1.0)]),
                   lighter(C["sky"], 0.1), lighter(C["sky"], 0.55))
    sky_img = sky.convert("RGBA")
    s = dw.sketch(1024, 48)
    p = Pen(s)
    for x in (80, 330, 610, 860):
        for dx, r in ((0, 12), (14, 16), (32, 11)):
            p.ell(x + dx - r, 22 - r, x + dx + r, 22 + r * 0.7, C["white"], outline=False)
    sky_img.alpha_composite(s.result())
    areas.append(opaque(atlas.Area("sky", [sky_img])))
    ocean = []
    for k in range(2):
        v = tile_noise(1024, 48, [(8, 1, 0.3, 0.0), (19, 2, 0.2, 1.0)], k, 2)
        ocean.append(coloured(v, darker(C["sea"], 0.1), lighter(C["sea"], 0.25)).convert("RGBA"))
    areas.append(opaque(atlas.Area("ocean", ocean, columns=1, rate=0.5)))

    def lighthouse(p):
        p.poly([(8, 78), (14, 20), (26, 20), (32, 78)], C["white"])
        for y in (36, 56):
            p.fpoly([(12 - (y - 20) * 0.1, y), (28 + (y - 20) * 0.1, y), (28 + (y + 8 - 20) * 0.1, y + 8),
                     (12 - (y + 8 - 20) * 0.1, y + 8)], C["red"])
        p.rr(11, 10, 29, 22, 2, C["yellow"])
        p.poly([(9, 12), (20, 2), (31, 12)], C["red"])
    areas.append(atlas.Area("lighthouse", [frame_of(40, 80, lighthouse)]))

    def ship(p):
        p.poly([(4, 24), (52, 24), (44, 34), (10, 34)], C["wood"])
        p.line([(28, 24), (28, 4)], C["wood_dark"], 2)
        p.poly([(29, 4), (29, 21), (44, 21)], C["white"])
    areas.append(atlas.Area("ship", [frame_of(56, 36, ship)]))

    def wave(p, k, n):
        for i in range(5):
            x = 6 + i * 22 + 6 * k
            p.fell(x, 12 + 4 * ((i + k) % 2), x + 16, 22 + 4 * ((i + k) % 2), (255, 255, 255, 200))
    areas.append(cycle("wave", 2, wave, (120, 28), rate=1.0))

    def light(p, k, n):
        r = 16 + 6 * k
        p.fell(60 - r, 14 - r * 0.5, 60 + r, 14 + r * 0.5, (255, 250, 190, 150))
        p.fell(60 - r * 2.5, 12, 60 + r * 2.5, 18, (255, 250, 200, 90))
    areas.append(cycle("light", 2, light, (120, 40), rate=1.0))
    return areas


# ---------------------------------------------------------------------------
# images00: the field's crops, holes and stations.

def images00_sheet():
    areas = []
    for sort in ["plant%02d" % i for i in range(8)] + ["flowers", "grass"]:
        n = 5
        areas.append(cycle(sort, n, lambda p, k, n, s=sort: dw.plant(p, s, k / (n - 1)), PLANT, rate=1.0))

    def hole(p):
        p.ell(4, 6, 68, 42, C["soil_dark"])
        p.ell(12, 12, 60, 36, darker(C["soil_dark"], 0.3), outline=False)
    areas.append(atlas.Area("hole", [frame_of(72, 46, hole)]))

    hl = frame_of(80, 52, lambda p: (p.fell(3, 4, 77, 48, (255, 246, 160, 110)),
                                     p.line([(8, 26), (72, 26)], (255, 255, 255, 0), 1)))
    areas.append(atlas.Area("highlight", [hl]))
    areas.append(atlas.Area("water", [frame_of(44, 40, lambda p: dw.tool_can(p, ((0, 0), (10, 18)), "d"))]))
    areas.append(atlas.Area("bin", [frame_of(44, 40, lambda p: dw.tool_basket(Pen(p.s, -6.6, -6, 1.3),
                                                                           ((0, 0), (22, 22)), "r"))]))
    areas.append(atlas.Area("weed", [frame_of(44, 56, lambda p: dw.tool_hoe(p, ((0, 0), (14, 46)), "d"))]))

    def car(p):
        dw.shadow(p, 84, 92, 80, 4)
        p.rr(60, 40, 166, 84, 4, C["wood"])
        for y in (52, 66):
            p.line([(62, y), (164, y)], C["wood_dark"], 2)
        p.rr(4, 30, 66, 84, 10, C["red"])
        p.rr(10, 36, 44, 56, 4, C["glass"])
        p.rr(2, 70, 18, 80, 3, C["yellow"])
        p.ell(8, 72, 40, 96, C["ink"])
        p.ell(16, 80, 32, 92, C["grey"], outline=False)
    areas.append(atlas.Area("car", [frame_of(168, 98, car)]))

    def pump(p):
        dw.shadow(p, 48, 182, 40, 4)
        p.rr(10, 120, 86, 182, 8, C["stone"])
        p.rr(40, 30, 56, 124, 3, C["grey"])
        p.stroke([(48, 60), (80, 44)], C["wood"], 4)
        p.rr(16, 92, 40, 104, 3, C["grey"])
        p.ell(18, 132, 78, 150, darker(C["sea"], 0.1), outline=False)
    areas.append(atlas.Area("pump", [frame_of(96, 184, pump)]))

    def stream(p, k, n):
        p.rr(12, 4, 20, 52, 4, (120, 190, 240, 220), outline=False)
        for i in range(3):
            y = 6 + ((k * 6 + i * 16) % 44)
            p.fell(10, y, 22, y + 6, (220, 240, 255, 230))
    areas.append(cycle("pump_water", 4, stream, (32, 56), rate=10.0))

    def hive(p, k, n):
        lift = 5 * k
        dw.shadow(p, 36, 84, 28, 4)
        p.rr(12, 62, 60, 84, 2, C["wood"])
        p.rr(10, 34, 62, 62, 4, C["gold"])
        p.rr(14, 44, 58, 50, 2, darker(C["gold"], 0.15), outline=False)
        p.poly([(6, 34 - lift), (36, 20 - lift), (66, 34 - lift)], C["wood_dark"])
        p.rr(30, 56, 42, 62, 3, C["ink"])
    areas.append(cycle("hive", 4, hive, (72, 88), rate=8.0))
    return areas


# ---------------------------------------------------------------------------
# Icons: 48 x 48 pictures of wares, animals and marks.

def icon(draw, size=ICON):
    return frame_of(size[0], size[1], draw)


def animal_icon(name):
    def draw(p):
        q = Pen(p.s, -4 if name != "hive" else 0, -4 if name != "hive" else 0, 0.55)
        if name == "ostrich":
            q = Pen(p.s, 4.4, 0.2, 0.4)
            dw.ostrich(q)
        elif name == "goat":
            q = Pen(p.s, 1.5, 1.5, 0.5)
            dw.goat(q)
        elif name == "peacock":
            q = Pen(p.s, 2.5, 3, 0.41)
            dw.peacock(q)
        else:
            q = Pen(p.s, 3, -2, 0.58)
            images00_hive(q)
    return icon(draw)


def images00_hive(p):
    p.rr(12, 62, 60, 84, 2, C["wood"])
    p.rr(10, 34, 62, 62, 4, C["gold"])
    p.poly([(6, 34), (36, 14), (66, 34)], C["wood_dark"])
    p.rr(30, 56, 42, 62, 3, C["ink"])


WARES = ["plant%02d" % i for i in range(8)] + ["product00", "product01", "product02", "product03", "product01_1",
                                                "product02_1", "product03_1", "flowers", "grass", "egg", "milk",
                                                "honey", "nib"]


def icons00_sheet():
    areas = [atlas.Area(w, [icon(lambda p, w=w: dw.icon_ware(p, w))]) for w in WARES]
    for a in ("ostrich", "goat", "hive", "peacock"):
        areas.append(atlas.Area(a, [animal_icon(a)]))

    def target(p):
        p.ell(3, 3, 21, 21, C["red"])
        p.ell(8, 8, 16, 16, C["white"], outline=False)
    areas.append(atlas.Area("target", [icon(target, (24, 24))]))

    def cloud(p):
        for x, y, r in ((22, 32, 14), (40, 24, 18), (58, 32, 14), (40, 38, 14)):
            p.ell(x - r, y - r, x + r, y + r, C["white"], outline=False)
        p.ell(10, 46, 18, 54, C["white"], outline=False)
    areas.append(atlas.Area("cloud", [icon(cloud, (80, 60))]))
    # The clock's face and the plants' need rings: a paper white, so the
    # face reads as a picture and not as a hole in the screen.
    areas.append(atlas.Area("circle_need", [icon(lambda p: p.fell(2, 2, 62, 62, (250, 247, 238)), (64, 64))]))
    areas.append(atlas.Area("tool_water", [icon(lambda p: dw.tool_can(p, ((0, 0), (10, 22)), "d"))]))
    areas.append(atlas.Area("tool_weed", [icon(dw.weeds_with_hoe)]))
    areas.append(atlas.Area("tool_bin", [icon(lambda p: dw.tool_basket(p, ((0, 0), (24, 28)), "r", True))]))

    def stock(p):
        p.rr(6, 16, 42, 42, 3, C["wood"])
        p.line([(6, 29), (42, 29)], C["wood_dark"], 2)
        p.ell(12, 6, 24, 18, C["tomato"])
        p.ell(24, 8, 36, 20, C["orange"])
    areas.append(atlas.Area("stock", [icon(stock)]))

    def pump_icon(p):
        p.rr(8, 30, 40, 44, 5, C["stone"])
        p.rr(20, 6, 28, 32, 2, C["grey"])
        p.stroke([(24, 12), (40, 6)], C["wood"], 3)
        p.rr(8, 16, 20, 22, 2, C["grey"])
    areas.append(atlas.Area("water_pump", [icon(pump_icon)]))
    areas.append(atlas.Area("water", [icon(lambda p: p.poly([(24, 4), (38, 28), (34, 40), (24, 44), (14, 40),
                                                                (10, 28)], C["sky"]))]))
    # The basket's places, drawn in a row under it (the row's cells overlap
    # the basket): small marks low in the cell, so the basket stays seen. A
    # free place is a pale ring; a filled one the same ring woven shut in
    # the basket's wicker. It stands for whatever ware fills the place, so
    # it must not look like any one of them.
    def free_place(p):
        p.fell(15, 29, 33, 45, (70, 50, 40, 150))
        p.fell(17.5, 31.5, 30.5, 42.5, (250, 240, 214, 200))

    def filled_place(p):
        weave = darker(C["wood"], 0.35)
        p.fell(15, 29, 33, 45, (70, 50, 40, 230))
        p.fell(16.5, 30.5, 31.5, 43.5, C["wood"])
        for y in (34.5, 39.5):
            p.line([(17, y), (31, y)], weave, 1)
        for x in (21, 24, 27):
            p.line([(x, 31), (x, 43)], weave, 1)
        p.fell(19, 31.5, 24, 34, lighter(C["wood"], 0.4))
    slots = [icon(free_place), icon(filled_place)]
    areas.append(atlas.Area("bin", slots, columns=2))
    areas.append(atlas.Area("star", [icon(lambda p: dw.star(p, 16, 17, 15, C["gold"]), (32, 32))]))
    areas.append(atlas.Area("star_empty", [icon(lambda p: dw.star(p, 16, 17, 15, C["grey"]), (32, 32))]))
    areas.append(atlas.Area("house", [icon(lambda p: dw.house_icon(p, C["cream"]))]))
    areas.append(atlas.Area("house_empty", [icon(lambda p: dw.house_icon(p, C["grey"]))]))

    def island_ship(p):
        # Seen from above, bow down: the island turns it along its route.
        p.poly([(16, 44), (6, 30), (6, 6), (26, 6), (26, 30)], C["wood"])
        p.rr(10, 12, 22, 28, 3, C["white"])
    areas.append(atlas.Area("ship", [icon(island_ship, (32, 48))]))

    def success(p):
        p.ell(4, 4, 44, 44, C["leaf"])
        p.line([(14, 24), (21, 32), (34, 16)], C["white"], 5)
    areas.append(atlas.Area("success", [icon(success)]))
    return areas


def building_icon(name):
    full = building_full(name) if name != "statue00" else dw.statue_picture(*size_of("statue00"), 4)
    w, h = full.size
    scale = 60.0 / max(w, h)
    small = full.resize((max(1, int(w * scale)), max(1, int(h * scale))), Image.LANCZOS)
    out = Image.new("RGBA", (64, 64), (0, 0, 0, 0))
    out.alpha_composite(small, ((64 - small.size[0]) // 2, (64 - small.size[1]) // 2))
    return out


BUILDINGS = (["house%02d" % i for i in range(6)] + ["market%02d" % i for i in range(6)]
             + ["factory00", "factory01", "factory01_1", "factory02", "factory02_1", "factory03", "factory03_1",
                "institute00", "animals00", "statue00"])


def icons01_sheet():
    areas = [atlas.Area(m, [icon(lambda p, m=m: dw.medal(p, 48, 48, C[m]))]) for m in ("gold", "silver", "bronze")]

    def lock(p):
        p.rr(8, 20, 40, 44, 5, C["gold"])
        p.line([(15, 22), (15, 12), (24, 5), (33, 12), (33, 22)], C["grey"], 4)
        p.fell(21, 28, 27, 36, C["ink"])
    areas.append(atlas.Area("lock", [icon(lock)]))
    for b in BUILDINGS:
        areas.append(atlas.Area(b, [building_icon(b)]))
    return areas


# ---------------------------------------------------------------------------
# GUI pictures: the garden toolbar and the upgrades.

def button_back(state, size=BUTTON):
    colours = {"normal": C["cream"], "highlight": lighter(C["yellow"], 0.3), "push": darker(C["cream"], 0.15),
               "disable": C["grey"]}
    w, h = size
    dy = 1 if state == "push" else 0
    return frame_of(w, h, lambda p: p.rr(3, 3 + dy, w - 3, h - 3 + dy, 10, colours[state]))


def on_button(state, picture, size=BUTTON):
    back = button_back(state, size)
    pic = picture
    if state == "disable":
        grey = ImageOps.grayscale(pic.convert("RGB")).convert("RGBA")
        grey.putalpha(pic.getchannel("A").point(lambda v: v * 3 // 4))
        pic = grey
    dy = 1 if state == "push" else 0
    back.alpha_composite(pic, ((size[0] - pic.size[0]) // 2, (size[1] - pic.size[1]) // 2 + dy))
    return back


def gui_plants_sheet():
    icons = {w: icon(lambda p, w=w: dw.icon_ware(p, w)) for w in TOOLBAR_ORDER}
    areas = []
    for state in ("normal", "highlight", "push", "disable"):
        areas.append(atlas.Area(state, [on_button(state, icons[w]) for w in TOOLBAR_ORDER], columns=5))
    for a in ("ostrich", "goat", "hive", "peacock"):
        pic = animal_icon(a)
        areas.append(atlas.Area(a, [on_button(s, pic) for s in ("normal", "highlight", "push", "disable")],
                                columns=4))
    return areas


def upgrade_picture(name, checked, hover):
    def draw(p):
        base = lighter(C["yellow"], 0.3) if hover else C["cream"]
        p.ell(4, 4, 76, 76, C["gold"] if checked else base)
        p.ell(12, 12, 68, 68, base, outline=False)
        q = Pen(p.s, 16, 14, 1.0)
        if name == "speed":
            q.poly([(4, 36), (30, 36), (44, 26), (44, 40), (4, 44)], C["red"])
            for y in (14, 22, 30):
                q.line([(0, y), (18, y)], C["white"], 3)
        elif name.endswith("water"):
            dw.tool_can(q, ((0, 0), (10, 20)), "d")
        elif name.endswith("bin"):
            dw.tool_basket(q, ((0, 0), (22, 28)), "r", True)
        elif name.endswith("weed"):
            dw.tool_hoe(q, ((0, 0), (16, 44)), "d")
        if name.startswith("volume"):
            q.line([(34, 4), (34, 16)], C["leaf_dark"], 3)
            q.line([(28, 10), (40, 10)], C["leaf_dark"], 3)
        if name.startswith("time"):
            q.ell(26, 0, 46, 20, C["white"])
            q.line([(36, 10), (36, 3)], C["ink"], 2)
            q.line([(36, 10), (41, 12)], C["ink"], 2)
        if checked:
            q.line([(2, 40), (10, 48), (24, 30)], C["leaf"], 5)
    return frame_of(80, 80, draw)


def ups_sheet(names):
    areas = []
    for n in names:
        for checked in (False, True):
            # normal above, hover directly below
            frames = [upgrade_picture(n, checked, False), upgrade_picture(n, checked, True)]
            areas.append(atlas.Area(n + ("_checked" if checked else ""), frames, columns=1))
    return areas


# ---------------------------------------------------------------------------
# The car, the gardener and the animals.

def car_sheet():
    def wheel(p, k, n):
        for cx in (18, 94):
            p.ell(cx - 16, 2, cx + 16, 34, C["ink"])
            p.ell(cx - 8, 10, cx + 8, 26, C["grey"], outline=False)
            ang = 2 * math.pi * k / (n * 2)
            for i in range(2):
                a = ang + i * math.pi / 2
                p.line([(cx - 8 * math.cos(a), 18 - 8 * math.sin(a)), (cx + 8 * math.cos(a), 18 + 8 * math.sin(a))],
                       C["ink"], 2)
    areas = [cycle("wheel", 4, wheel, (112, 36), rate=12.0)]

    def bort(p, k, n):
        ang = (math.pi / 2) * k / (n - 1)
        ex, ey = 8 + 42 * math.sin(ang), 74 - 42 * math.cos(ang)
        p.stroke([(8, 74), (ex, ey)], C["wood"], 8)
    areas.append(cycle("bort", 4, bort, (56, 82), rate=8.0))

    def back(p):
        p.rr(4, 40, 40, 86, 3, C["wood"])
        p.rr(8, 14, 36, 42, 3, C["wood"])
        p.ell(12, 4, 26, 18, C["tomato"])
    areas.append(atlas.Area("back", [frame_of(44, 88, back)]))
    return areas


def gardener_sheet(index):
    tool = [None, "bin", "weed", "water"][index // 2]
    names = ("r", "d") if index % 2 == 0 else ("l", "u")
    return [atlas.Area(n, [dw.walk_frame(n, k, WALK, tool) for k in range(WALK)], rate=8.0) for n in names]


def work(name, count, pose, rate=8.0):
    """A work animation facing the viewer; pose(k, n) gives gardener's
    keyword arguments for frame k of n."""
    return atlas.Area(name, [frame_of(GARDENER[0], GARDENER[1],
                                      lambda p, k=k: dw.gardener(p, **pose(k, count))) for k in range(count)],
                      rate=rate)


def bucket(x, y):
    return lambda p: (p.rr(x - 9, y - 10, x + 9, y + 4, 3, C["grey"]), p.fell(x - 7, y - 10, x + 7, y - 6, C["white"]))


def drops(x, y, k, col=(130, 200, 250, 230)):
    def draw(p):
        for i in range(3):
            dy = (k * 5 + i * 7) % 18
            p.fell(x - 2 + i * 3, y + dy, x + 2 + i * 3, y + dy + 4, col)
    return draw


def gard08_sheet():
    def milk_start(k, n):
        c = 14 * k / (n - 1)
        return dict(crouch=c, hands=((28, 74 + c * 0.4), (44, 74 + c * 0.4)), props=[bucket(36, 96)], lift=0)

    def milk_work(k, n):
        up = 4 * (k % 2)
        return dict(crouch=14, hands=((28, 76 - up), (44, 72 + up)), props=[bucket(36, 96), drops(36, 78, k, C["white"])],
                    lift=0)

    def put(k, n):
        y = 66 + 12 * k / (n - 1)
        return dict(crouch=6 * k / (n - 1), hands=((19, 68), (50, y)), tool=dw.tool_can, lift=0)

    def wait(k, n):
        return dict(hands=((19, 70), (53, 70)), props=[lambda p: dw.tool_can(p, ((0, 0), (52, 84)), "d")],
                    lift=2 * (k % 2))
    return [work("milking_start", 4, milk_start), work("milking_work", 4, milk_work),
            work("water_put", 3, put), work("water_wait", 3, wait, rate=4.0)]


def gard09_sheet():
    def start(k, n):
        return dict(hands=((17 + 2 * k, 70 - 2 * k), (53, 68)), props=[dw.seed_bag], lift=0)

    def sow(k, n):
        reach = k / (n - 1)
        hx, hy = 40 + 14 * reach, 62 - 6 * reach

        def seeds(p):
            if reach > 0.3:
                for i in range(4):
                    p.fell(hx + 2 + i * 3, hy + 6 + i * 5, hx + 5 + i * 3, hy + 9 + i * 5, C["straw"])
        return dict(hands=((19, 70), (hx, hy)), props=[dw.seed_bag, seeds], lift=0)

    def stock(k, n):
        up = k / (n - 1)
        y = 70 - 44 * up
        return dict(hands=((26, y), (46, y)), props=[lambda p: dw.tool_basket(p, ((26, y), (36, y - 6)), "r", True)],
                    lift=0)
    return [work("seed_start", 3, start), work("seed_work", 4, sow), work("been_stock", 4, stock)]


def gard10_sheet():
    def water_start(k, n):
        return dict(hands=((19, 70), (48 + 2 * k, 64 - 2 * k)), tool=dw.tool_can, lift=0)

    def water_work(k, n):
        return dict(hands=((19, 70), (52, 62)), tool=dw.tool_can, props=[drops(74, 60, k)], lift=0)

    def weed_start(k, n):
        return dict(hands=((30, 66 - 3 * k), (50, 60 - 3 * k)), tool=dw.tool_hoe, lift=0)

    def weed_work(k, n):
        down = k % 2 if n > 2 else k
        y = 56 + 18 * down

        def dirt(p):
            if down:
                for i in range(3):
                    p.fell(56 + i * 4, 90 - i * 3, 60 + i * 4, 94 - i * 3, C["soil"])
        return dict(crouch=4 * down, hands=((34, y + 4), (50, y)), tool=dw.tool_hoe, props=[dirt], lift=0)
    return [work("water_start", 3, water_start), work("water_work", 4, water_work),
            work("weed_start", 3, weed_start), work("weed_work", 4, weed_work)]


def gard11_sheet():
    def harvest_start(k, n):
        c = 10 * k / (n - 1)
        return dict(crouch=c, hands=((24, 76 + c * 0.3), (50, 76 + c * 0.3)), lift=0)

    def harvest_work(k, n):
        up = k % 2

        def fruit(p):
            p.ell(44, 72 - 10 * up, 54, 82 - 10 * up, C["tomato"])
        return dict(crouch=10, hands=((24, 80), (50, 80 - 10 * up)), props=[fruit], lift=0)

    def honey_start(k, n):
        return dict(hands=((24, 72 - 4 * k), (48, 72 - 4 * k)), lift=0)

    def honey_work(k, n):
        def comb(p):
            p.rr(26, 56, 46, 70, 3, C["gold"])
            for i in range(2):
                a = 2 * math.pi * (k / n + i / 2)
                bx, by = 36 + 22 * math.cos(a), 50 + 10 * math.sin(a)
                q = Pen(p.s, bx - 6, by - 5, 0.6)
                dw.bee(q, (k + i) % 2)
        return dict(hands=((26, 64), (46, 64)), props=[comb], lift=0)
    return [work("harvest_start", 3, harvest_start), work("harvest_work", 4, harvest_work),
            work("honey_start", 3, honey_start), work("honey_work", 4, honey_work)]


def animal_area(name, draw, size, count=4, rate=8.0):
    w, h = size
    return atlas.Area(name, [frame_of(w, h, lambda p, k=k: draw(p, k, count)) for k in range(count)], rate=rate)


def ostrich_sheet():
    size = (88, 112)
    return [animal_area("ld", lambda p, k, n: dw.ostrich(p, k / n), size),
            animal_area("lu", lambda p, k, n: dw.ostrich(p, k / n, away=True), size),
            animal_area("eat_l", lambda p, k, n: dw.ostrich(p, 0, eat=0.6 + 0.4 * (k % 2)), size, rate=6.0)]


def goat_sheet():
    size = (88, 84)
    return [animal_area("ld", lambda p, k, n: dw.goat(p, k / n), size),
            animal_area("lu", lambda p, k, n: dw.goat(p, k / n, away=True), size),
            animal_area("eat_l", lambda p, k, n: dw.goat(p, 0, eat=0.7 + 0.3 * (k % 2)), size, rate=6.0),
            animal_area("stay", lambda p, k, n: dw.goat(p, 0, rest=True, chew=k % 2), size, rate=3.0)]


PEACOCK = (96, 100)


def peacock00_sheet():
    return [animal_area("ld", lambda p, k, n: dw.peacock(p, k / n), PEACOCK)]


def peacock01_sheet():
    areas = [animal_area("lu", lambda p, k, n: dw.peacock(p, k / n, away=True), PEACOCK)]

    def rotor(p, k, n):
        cx, cy = 32, 30
        p.rr(29, 30, 35, 56, 2, C["grey"])
        for i in range(4):
            a = 2 * math.pi * (k / n / 4 + i / 4)
            p.poly([(cx, cy), (cx + 24 * math.cos(a) - 5 * math.sin(a), cy + 24 * math.sin(a) + 5 * math.cos(a)),
                    (cx + 24 * math.cos(a), cy + 24 * math.sin(a))], C["white"])
        p.ell(cx - 4, cy - 4, cx + 4, cy + 4, C["red"])
    areas.append(animal_area("pump_top", rotor, (64, 58), rate=10.0))
    areas.append(atlas.Area("hive_top", [frame_of(72, 28, lambda p: p.poly([(4, 24), (36, 4), (68, 24)],
                                                                            C["wood_dark"]))]))

    def coin(p, k, n):
        wdt = 14 * abs(math.cos(math.pi * k / n)) + 3
        p.ell(20 - wdt, 4, 20 + wdt, 36, C["gold"])
        if wdt > 8:
            p.fell(20 - wdt * 0.4, 12, 20 + wdt * 0.4, 28, lighter(C["gold"], 0.4))
    areas.append(animal_area("money", coin, (40, 40), count=6, rate=12.0))
    areas.append(animal_area("star", lambda p, k, n: dw.star(p, 20, 21, 17 - 2 * (k % 2), C["gold"],
                                                               turn=k * math.pi / 15), (40, 40), count=6, rate=12.0))

    def walker(p, k, n, back):
        a = math.sin(2 * math.pi * k / n)
        for dx, lift in ((-2.5, max(0, a)), (2.5, max(0, -a))):
            p.line([(8 + dx, 18), (8 + dx, 26 - 2 * lift)], C["trouser"], 2.5)
        p.rr(3, 10, 13, 20, 3, C["white"])
        p.ell(3, 2, 13, 12, C["hair"] if back else C["skin"])
    areas.append(animal_area("white_front", lambda p, k, n: walker(p, k, n, False), (16, 28), rate=8.0))
    areas.append(animal_area("white_back", lambda p, k, n: walker(p, k, n, True), (16, 28), rate=8.0))
    return areas


def peacock02_sheet():
    areas = [animal_area("eat_l", lambda p, k, n: dw.peacock(p, 0, eat=0.6 + 0.4 * (k % 2)), PEACOCK, rate=6.0)]

    def halo(p):
        for r, a in ((76, 60), (68, 110), (60, 60)):
            p.fell(80 - r, 80 - r, 80 + r, 80 + r, (255, 236, 140, a))
        p.fell(26, 26, 134, 134, (0, 0, 0, 0))
        for i in range(8):
            ang = i * math.pi / 4
            p.line([(80 + 56 * math.cos(ang), 80 + 56 * math.sin(ang)),
                    (80 + 76 * math.cos(ang), 80 + 76 * math.sin(ang))], (255, 255, 220, 200), 5)
    hl = frame_of(160, 160, halo)
    # the inner disc cut clear: a ring of light around the building
    mask = Image.new("L", hl.size, 255)
    ImageDraw.Draw(mask).ellipse((34, 34, 126, 126), fill=0)
    hl.putalpha(Image.composite(hl.getchannel("A"), Image.new("L", hl.size, 0), mask))
    areas.append(atlas.Area("hl", [hl]))
    areas.append(statue_area())
    areas.append(animal_area("bee", lambda p, k, n: dw.bee(p, k % 2), (20, 20), count=2, rate=14.0))
    return areas


# ---------------------------------------------------------------------------
# houses: the island's buildings through their construction.

def houses05_extra():
    areas = [atlas.Area(m, [frame_of(32, 36, lambda p, m=m: dw.medal(p, 32, 36, C[m]))])
             for m in ("gold", "silver", "bronze")]
    areas.append(atlas.Area("point", [frame_of(12, 12, lambda p: p.ell(2, 2, 10, 10, C["cream"]))]))

    def pin(p, col):
        p.poly([(16, 34), (6, 16), (26, 16)], col)
        p.ell(5, 3, 27, 25, col)
        p.ell(11, 9, 21, 19, C["white"], outline=False)
    areas.append(atlas.Area("mp", [frame_of(32, 36, lambda p: pin(p, C["red"]))]))
    areas.append(atlas.Area("mp_select", [frame_of(44, 48, lambda p: (p.fell(2, 4, 42, 46, (255, 240, 150, 150)),
                                                                      Pen(p.s, 6, 6).ell(0, 0, 32, 36, C["yellow"],
                                                                                         outline=False)))]))
    return areas


def mill_life():
    w, h = size_of("factory02")
    colour, product = FACTORY_LOOK["factory02"]
    frames = [dw.factory_picture(w, h, colour, product, mill=True, sails=0.3 + k * math.pi / 8) for k in range(4)]
    return atlas.Area("factory02_life", frames, columns=4, rate=8.0)


HOUSE_SHEETS = {
    "houses00": ["house00", "house01", "house02", "house03", "house04"],
    "houses01": ["market00", "market01", "market02", "market03"],
    "houses02": ["market04", "house05"],
    "houses03": ["factory00", "market05"],
    "houses04": ["factory01", ("factory03_1", "factory03")],
    "houses05": ["institute00", "animals00"],
    "houses07": ["factory02"],
    "houses08": ["factory01_1", "factory02_1"],
    "houses09": ["factory03"],
}


def houses_sheet(name):
    areas = []
    for entry in HOUSE_SHEETS[name]:
        building, area = entry if isinstance(entry, tuple) else (entry, entry)
        areas.append(building_area(building, area))
    if name == "houses05":
        areas += houses05_extra()
    if name == "houses07":
        areas.append(mill_life())
    return areas


# ---------------------------------------------------------------------------
# Island animations.

def sea_tile_frames(count=4, size=128):
    frames = []
    for k in range(count):
        v = tile_noise(size, size, [(1, 2, 0.28, 0.0), (3, -1, 0.2, 1.3), (2, 3, 0.12, 2.1)], k, count)
        img = coloured(v, darker(C["sea"], 0.05), lighter(C["sea"], 0.3)).convert("RGBA")
        frames.append(img)
    return frames


def waterfall_frames(first, count=4, size=(64, 96)):
    w, h = size
    frames = []
    for k in range(first, first + count):
        def draw(p, k=k):
            p.rr(0, 0, w, h, 0, C["stone"], outline=False)
            p.rr(12, 0, w - 12, h, 6, (110, 180, 230), outline=False)
            for i in range(6):
                x = 16 + i * 6
                y = ((k * 12 + i * 23) % (h + 20)) - 20
                p.line([(x, y), (x, y + 18)], (235, 248, 255, 220), 2)
            p.fell(8, h - 16, w - 8, h + 4, (240, 250, 255, 230))
        frames.append(frame_of(w, h, draw))
    return frames


def island01_sheet():
    return [opaque(atlas.Area("total", sea_tile_frames(), columns=2, rate=4.0))]


def island02_sheet(page):
    return [atlas.Area("total", waterfall_frames(4 * page), columns=4, rate=10.0)]


def firework_sheet():
    def burst(p, k, n):
        t = (k + 1) / n
        fade = int(255 * (1 - t * 0.8))
        for i in range(16):
            ang = 2 * math.pi * i / 16
            r = 10 + 50 * t
            x, y = 64 + r * math.cos(ang), 64 + r * math.sin(ang) + 10 * t * t
            col = [C["red"], C["yellow"], C["sky"], C["pink"]][i % 4] + (fade,)
            s = 5 - 2 * t
            p.fell(x - s, y - s, x + s, y + s, col)
            p.line([(64 + r * 0.6 * math.cos(ang), 64 + r * 0.6 * math.sin(ang)), (x, y)],
                   (255, 240, 200, fade // 2), 1.5)
    return [cycle("total", 8, burst, (128, 128), rate=12.0, columns=4)]


SHEETS = {
    "back": back_sheet, "images00": images00_sheet, "icons00": icons00_sheet, "icons01": icons01_sheet,
    "gui_plants": gui_plants_sheet,
    "gui_ups00": lambda: ups_sheet(["speed", "volume_water", "volume_bin", "time_bin"]),
    "gui_ups01": lambda: ups_sheet(["time_water", "time_weed"]),
    "car": car_sheet, "gard08": gard08_sheet, "gard09": gard09_sheet, "gard10": gard10_sheet,
    "gard11": gard11_sheet, "ostrich": ostrich_sheet, "goat": goat_sheet, "peacock00": peacock00_sheet,
    "peacock01": peacock01_sheet, "peacock02": peacock02_sheet,
    "island01": island01_sheet, "island02_0": lambda: island02_sheet(0), "firework": firework_sheet,
}
for _i in range(8):
    SHEETS["gard%02d" % _i] = lambda i=_i: gardener_sheet(i)
for _name in HOUSE_SHEETS:
    SHEETS[_name] = lambda n=_name: houses_sheet(n)


def sheet(name):
    return SHEETS[name]()


# ---------------------------------------------------------------------------
# Whole textures.

def particle(kind):
    size = 64
    img = Image.new("RGBA", (size, size), (255, 255, 255, 0))
    a = Image.new("L", (size, size), 0)
    d = ImageDraw.Draw(a)
    if kind == 1:
        # a four-pointed sparkle, drawn with normal blending
        d.polygon([(32, 4), (37, 27), (60, 32), (37, 37), (32, 60), (27, 37), (4, 32), (27, 27)], fill=255)
        a = a.filter(ImageFilter.GaussianBlur(1.5))
    else:
        d.ellipse((14, 14, 50, 50), fill=255)
        a = a.filter(ImageFilter.GaussianBlur(8 if kind == 0 else 5))
    img.putalpha(a)
    return img


def hint_arrow():
    """Four frames side by side, played by the hint's animation control over
    the whole texture: an arrow whose tip is the frame's bottom-left corner
    (the hint places that corner on the point), bobbing along its line."""
    frames = []
    for k in range(4):
        off = 5 * math.sin(2 * math.pi * k / 4) + 5

        def draw(p, o=off):
            tip = (5 + o * 0.7, 59 - o * 0.7)
            d = (0.7071, -0.7071)
            nx, ny = 0.7071, 0.7071

            def at(t, s):
                return (tip[0] + d[0] * t + nx * s, tip[1] + d[1] * t + ny * s)
            p.poly([at(0, 0), at(22, -14), at(22, -6), at(52, -6), at(52, 6), at(22, 6), at(22, 14)], C["orange"])
        frames.append(frame_of(64, 64, draw))
    sheet = Image.new("RGBA", (256, 64), (0, 0, 0, 0))
    for k, f in enumerate(frames):
        sheet.alpha_composite(f, (64 * k, 0))
    return sheet


HIGHLIGHT_DIM = (0, 0, 0, 120)


def hint_highlight():
    """Clear inside the uv rectangle the hint's highlight uses (the middle
    half: 0.25 to 0.75 each way), the same dim everywhere outside it: the
    hint continues this picture over the whole screen."""
    img = Image.new("RGBA", (64, 64), HIGHLIGHT_DIM)
    img.paste((0, 0, 0, 0), (16, 16, 48, 48))
    return img


def comic_background(index):
    w, h = (1024, 512) if index % 2 == 0 else (1024, 256)
    evening = index >= 2
    low, high = ((250, 236, 200), (236, 214, 170)) if not evening else ((224, 206, 236), (190, 170, 220))
    v = tile_noise(128, 64 if h == 512 else 32, [(2, 1, 0.3, index), (5, 2, 0.2, 1.0 + index)])
    img = coloured(v, low, high).resize((w, h), Image.BILINEAR).convert("RGBA")
    s = dw.sketch(w, h)
    p = Pen(s)
    for i in range(10):
        x = 60 + i * 100 + (index * 37) % 50
        y = 30 + ((i * 53 + index * 11) % (h - 60))
        dw.star(p, x, y, 10, lighter(high, 0.3), outline=False)
    img.alpha_composite(s.result())
    return img


def comic_page(index):
    import comics
    return comics.page(index)


def whole(name):
    if name.startswith("part0"):
        return particle(int(name[-1]))
    if name == "hint_arrow":
        return hint_arrow()
    if name == "hint_highlight":
        return hint_highlight()
    if name.startswith("comicsb"):
        return comic_background(int(name[-1]))
    if name.startswith("comic0"):
        return comic_page(int(name[-1]))
    raise KeyError("no generator for texture " + name)
