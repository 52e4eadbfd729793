"""Drawings of the game world in the pack's one style: the gardener, the
animals, the crops, the wares, the buildings. Every figure is drawn by a
function onto a Pen, which places and scales it inside a picture, so that
the same gardener stands in a 72 x 104 frame and, three times larger, in a
comic picture.

Coordinates are in final pixels of the figure's own unit box, y down."""
import math

from PIL import ImageOps

from packlib.style import PALETTE, Sketch, darker, lighter, mix

SS = 2  # supersampling of the world's sprites: enough for smooth edges, fast

C = dict(PALETTE)
C.update({
    "soil": (132, 92, 58),
    "soil_dark": (96, 64, 40),
    "straw": (238, 206, 104),
    "pink": (240, 150, 170),
    "grape": (112, 62, 148),
    "olive": (110, 128, 52),
    "olive_leaf": (142, 166, 128),   # the olive tree's silvery crown
    "olive_ripe": (84, 52, 96),      # ripe olives darken to purple
    "banana": (250, 222, 80),
    "tomato": (222, 58, 44),
    "trouser": (70, 110, 190),
    "shirt": (220, 84, 60),
    "hair": (112, 72, 40),
    "stone": (170, 166, 160),
    "brick": (188, 92, 64),
    "roof": (176, 66, 52),
    "glass": (168, 214, 240),
    "gold": (250, 200, 60),
    "silver": (204, 210, 220),
    "bronze": (200, 128, 72),
    "feather": (40, 150, 140),
})


def sketch(w, h):
    return Sketch(w, h, ss=SS)


class Pen:
    """Draws on a Sketch with an offset and a scale."""

    def __init__(self, s, ox=0.0, oy=0.0, k=1.0, flip=False, width=0):
        self.s, self.ox, self.oy, self.k = s, ox, oy, k
        # A flipped pen mirrors x inside a box of the given unit width.
        self.flip, self.width = flip, width

    def x(self, v):
        if self.flip:
            v = self.width - v
        return self.ox + v * self.k

    def y(self, v):
        return self.oy + v * self.k

    def box(self, x0, y0, x1, y1):
        a, b = sorted((self.x(x0), self.x(x1)))
        return (a, self.y(y0), b, self.y(y1))

    def pts(self, points):
        return [(self.x(px), self.y(py)) for px, py in points]

    # shaded shapes with the style's outline
    def ell(self, x0, y0, x1, y1, col, outline=True):
        self.s.ellipse(self.box(x0, y0, x1, y1), col, outline)

    def rr(self, x0, y0, x1, y1, r, col, outline=True):
        self.s.rounded(self.box(x0, y0, x1, y1), max(1, r * self.k), col, outline)

    def poly(self, points, col, outline=True):
        self.s.polygon(self.pts(points), col, outline)

    # flat shapes (colour with optional alpha)
    def _flat(self, draw, col):
        m = self.s.mask()
        draw(self.s.mask_draw(m), self.s.ss)
        self.s.flat(m, col)

    def fell(self, x0, y0, x1, y1, col):
        b = self.box(x0, y0, x1, y1)
        self._flat(lambda d, q: d.ellipse([b[0] * q, b[1] * q, b[2] * q, b[3] * q], fill=255), col)

    def fpoly(self, points, col):
        p = self.pts(points)
        self._flat(lambda d, q: d.polygon([(a * q, b * q) for a, b in p], fill=255), col)

    def line(self, points, col, width):
        p = self.pts(points)
        w = max(1, int(round(width * self.k * self.s.ss)))
        self._flat(lambda d, q: d.line([(a * q, b * q) for a, b in p], fill=255, width=w, joint="curve"), col)

    def stroke(self, points, col, width):
        """A line with the style's dark edge: an outline-coloured line under
        a narrower coloured one."""
        self.line(points, darker(col, 0.55), width + 2.5 / max(self.k, 0.5))
        self.line(points, col, width)


def frame_of(w, h, draw):
    s = sketch(w, h)
    draw(Pen(s))
    return s.result()


def mirrored(img):
    return ImageOps.mirror(img)


def shadow(p, cx, cy, rx, ry):
    p.fell(cx - rx, cy - ry, cx + rx, cy + ry, (0, 0, 0, 60))


# ---------------------------------------------------------------------------
# The gardener: unit box 72 x 104, feet at y 98.

def gardener(p, facing="d", phase=0.0, tool=None, crouch=0.0, hands=None, props=(), lift=None):
    """facing: d (towards the viewer), u (away), r (to the right; l is its
    mirror). phase: the walk cycle, 0..1. crouch: how far the body sinks
    (px). hands: ((x, y), (x, y)) to place the hands; default swinging.
    props: callables drawn after the body (tools in use, drops...)."""
    a = math.sin(2 * math.pi * phase)
    c = crouch
    shadow(p, 36, 98, 18, 4)
    if facing == "r":
        back, front = (31 - 5 * a, 36 + 5 * a), (41 + 5 * a, 36 - 5 * a)
    else:
        back, front = (28, 30), (44, 42)
    lift_l = 3 * max(0.0, a) if facing != "r" else 2 * max(0.0, a)
    lift_r = 3 * max(0.0, -a) if facing != "r" else 2 * max(0.0, -a)
    if lift is not None:
        lift_l = lift_r = lift
    legs = [(back[0] if facing == "r" else 31, lift_l), (front[0] if facing == "r" else 41, lift_r)]
    sh_y = 50 + c
    if hands is None:
        if facing == "r":
            hands = ((36 - 8 * a, 70 + c), (36 + 8 * a, 70 + c))
        else:
            hands = ((19, 68 + c - 3 * a), (53, 68 + c + 3 * a))
    if tool and facing == "u":
        tool(p, hands, facing)
    # legs and boots
    for lx, lf in legs:
        top = 70 + c * 0.6
        p.rr(lx - 5, top, lx + 5, 95 - lf, 3, C["trouser"])
        p.ell(lx - 6, 90 - lf, lx + 7 if facing != "r" else lx + 9, 99 - lf, C["wood_dark"])
    # body: shirt with overall straps
    p.rr(22, 44 + c, 50, 78 + c * 0.6, 8, C["shirt"])
    p.rr(25, 60 + c, 47, 78 + c * 0.6, 5, C["trouser"])
    if facing != "u":
        p.line([(28, 46 + c), (28, 62 + c)], C["trouser"], 3)
        p.line([(44, 46 + c), (44, 62 + c)], C["trouser"], 3)
    # arms
    for i, (hx, hy) in enumerate(hands):
        sx = 25 if i == 0 else 47
        if facing == "r":
            sx = 36
        p.stroke([(sx, sh_y), (hx, hy)], C["shirt"], 6)
        p.ell(hx - 4, hy - 4, hx + 4, hy + 4, C["skin"])
    # head and hat
    p.ell(22, 16 + c, 50, 46 + c, C["skin"])
    if facing == "u":
        p.ell(23, 22 + c, 49, 44 + c, C["hair"], outline=False)
    elif facing == "r":
        p.fell(41, 27 + c, 45, 32 + c, C["ink"])
        p.ell(46, 30 + c, 53, 37 + c, C["skin"])
        p.fell(33, 35 + c, 39, 39 + c, (240, 140, 130, 160))
    else:
        p.fell(29, 27 + c, 33, 32 + c, C["ink"])
        p.fell(39, 27 + c, 43, 32 + c, C["ink"])
        p.fell(25, 33 + c, 30, 37 + c, (240, 140, 130, 160))
        p.fell(42, 33 + c, 47, 37 + c, (240, 140, 130, 160))
        p.line([(32, 38 + c), (36, 40 + c), (40, 38 + c)], C["ink"], 1.5)
    p.ell(12, 17 + c, 60, 28 + c, C["straw"])
    p.rr(24, 5 + c, 48, 23 + c, 7, C["straw"])
    p.line([(24, 19 + c), (48, 19 + c)], C["red"], 3)
    if tool and facing != "u":
        tool(p, hands, facing)
    for prop in props:
        prop(p)


def tool_basket(p, hands, facing, full=False):
    hx, hy = hands[1] if facing != "r" else hands[1]
    if facing == "d":
        hx, hy = 36, max(hands[0][1], hands[1][1])
    # A wicker basket: a body wider at the top with its weave, a rim and a
    # bow handle, so it reads as a basket even at icon size.
    weave = darker(C["wood"], 0.3)
    p.line([(hx - 10, hy - 2), (hx - 9, hy - 10), (hx - 5, hy - 14), (hx + 5, hy - 14), (hx + 9, hy - 10),
            (hx + 10, hy - 2)], weave, 2.5)
    if full:
        for i, col in enumerate((C["tomato"], C["orange"], C["leaf"])):
            p.ell(hx - 9 + 6 * i, hy - 8, hx - 1 + 6 * i, hy, col)
    p.poly([(hx - 12, hy - 1), (hx + 12, hy - 1), (hx + 9, hy + 11), (hx - 9, hy + 11)], C["wood"])
    for y in (hy + 3, hy + 7):
        p.line([(hx - 11 + (y - hy) * 0.25, y), (hx + 11 - (y - hy) * 0.25, y)], weave, 1)
    for x in (-5, 0, 5):
        p.line([(hx + x * 1.1, hy), (hx + x * 0.85, hy + 10)], weave, 1)
    p.rr(hx - 13, hy - 3, hx + 13, hy + 1, 2, lighter(C["wood"], 0.15))


def tool_hoe(p, hands, facing):
    hx, hy = hands[1]
    p.stroke([(hx, hy + 6), (hx + 6, hy - 34)], C["wood"], 3)
    p.poly([(hx + 1, hy - 38), (hx + 16, hy - 36), (hx + 12, hy - 30)], C["grey"])


def weeds_with_hoe(p):
    """48 x 48: a tuft of jagged weeds with a dandelion, and the hoe that
    clears them leaning across: a bed that wants weeding."""
    bx, by = 20, 42
    for ang, length in ((-68, 16), (-34, 20), (34, 20), (68, 16), (0, 22)):
        a = math.radians(ang)
        dx, dy = math.sin(a), -math.cos(a)
        nx, ny = -dy, dx

        def at(t, side):
            return (bx + dx * length * t + nx * side, by + dy * length * t + ny * side)
        p.poly([at(0, -1.5), at(0.3, -5), at(0.45, -2.5), at(0.65, -4.5), at(1, 0), at(0.65, 4.5),
                at(0.45, 2.5), at(0.3, 5), at(0, 1.5)], C["leaf"] if ang else C["leaf_dark"])
    p.line([(bx + 1, by - 4), (bx + 3, by - 26)], C["leaf_dark"], 1.5)
    p.ell(bx - 2, by - 34, bx + 8, by - 24, C["yellow"])
    p.fell(bx + 1, by - 31, bx + 5, by - 27, C["orange"])
    tool_hoe(Pen(p.s, 8, 6, 0.8), ((0, 0), (30, 38)), "d")


def tool_can(p, hands, facing):
    hx, hy = hands[1]
    p.rr(hx - 2, hy - 2, hx + 14, hy + 14, 3, C["blue"])
    # The spout is shortened where the can is held at the gardener's right
    # edge, so it stays inside his 72 px cell.
    f = max(0.3, min(1.0, (64 - (hx + 13)) / 9.0))
    p.stroke([(hx + 13, hy + 3), (hx + 13 + 9 * f, hy + 3 - 8 * f)], C["blue"], 3)
    p.line([(hx + 1, hy - 2), (hx + 6, hy - 8), (hx + 11, hy - 2)], C["grey"], 2)


TOOLS = {None: None, "bin": tool_basket, "weed": tool_hoe, "water": tool_can}


def walk_frame(facing, k, n, tool):
    """One frame of a walk cycle: 72 x 104."""
    def draw(p):
        gardener(p, facing="r" if facing == "l" else facing, phase=k / n, tool=TOOLS[tool])
    img = frame_of(72, 104, draw)
    return mirrored(img) if facing == "l" else img


# ---------------------------------------------------------------------------
# Animals, facing left; the right is their mirror.

def ostrich(p, phase=0.0, eat=0.0, away=False):
    a = math.sin(2 * math.pi * phase)
    shadow(p, 46, 106, 22, 4)
    for dx in (-6 * a, 6 * a):
        p.stroke([(50, 70), (48 + dx, 88), (46 + dx * 1.4, 104)], C["pink"], 3)
        p.line([(46 + dx * 1.4 - 5, 105), (46 + dx * 1.4 + 1, 105)], darker(C["pink"]), 3)
    p.ell(64, 40, 86, 60, C["white"])                 # tail puff
    p.ell(30, 44, 76, 76, (58, 52, 58))               # body
    p.ell(40, 50, 62, 66, (90, 82, 92), outline=False)
    hx, hy = 18 - 4 * eat, 10 + 78 * eat
    p.stroke([(36, 54), (26 - 2 * eat, 32 + 50 * eat), (hx + 6, hy + 8)], C["pink"], 5)
    p.ell(hx, hy, hx + 16, hy + 14, C["pink"])
    p.poly([(hx + 2, hy + 6), (hx - 8, hy + 9), (hx + 3, hy + 11)], C["orange"])
    if not away:
        p.fell(hx + 5, hy + 3, hx + 9, hy + 7, C["ink"])


def goat(p, phase=0.0, eat=0.0, rest=False, chew=0.0, away=False):
    a = math.sin(2 * math.pi * phase)
    shadow(p, 46, 80, 28, 4)
    if not rest:
        for x0, s in ((30, 1), (40, -1), (58, -1), (68, 1)):
            p.stroke([(x0, 58), (x0 + 4 * a * s, 78)], C["cream"], 4)
            p.fell(x0 + 4 * a * s - 3, 76, x0 + 4 * a * s + 3, 81, C["ink"])
    body_y = 10 if rest else 0
    p.ell(24, 36 + body_y, 80, 66 + body_y, C["white"])
    p.ell(72, 36 + body_y, 84, 46 + body_y, C["white"])   # tail
    p.ell(40, 44 + body_y, 52, 54 + body_y, C["grey"], outline=False)
    hy = 14 + 40 * eat + body_y
    hx = 6 - 2 * eat
    p.stroke([(30, 44 + body_y), (hx + 12, hy + 14)], C["white"], 8)
    p.poly([(hx + 10, hy + 2), (hx + 16, hy - 10), (hx + 18, hy + 2)], C["grey"])  # horn
    p.ell(hx, hy, hx + 22, hy + 20, C["white"])
    p.poly([(hx + 4, hy + 16 + 2 * chew), (hx + 8, hy + 26 + 2 * chew), (hx + 10, hy + 17)], C["cream"])
    p.ell(hx + 16, hy + 2, hx + 26, hy + 8, C["cream"])       # ear
    if not away:
        p.fell(hx + 6, hy + 6, hx + 10, hy + 10, C["ink"])


def peacock(p, phase=0.0, eat=0.0, away=False):
    a = math.sin(2 * math.pi * phase)
    shadow(p, 50, 96, 30, 4)
    # the tail trails behind, to the right
    for i in range(5):
        y = 58 + i * 7 - 14
        p.poly([(56, 66), (94, y - 4 + a), (94, y + 6 + a)], C["feather"])
        p.ell(84, y - 2 + a, 92, y + 5 + a, C["blue"], outline=False)
    for dx in (-5 * a, 5 * a):
        p.stroke([(44, 74), (42 + dx, 94)], C["grey"], 3)
    p.ell(26, 52, 64, 80, C["blue"])
    hx, hy = 16 - 4 * eat, 14 + 60 * eat
    p.stroke([(36, 60), (hx + 8, hy + 10)], C["blue"], 7)
    p.ell(hx, hy, hx + 18, hy + 16, C["blue"])
    for i in range(3):
        p.line([(hx + 8 + 3 * i, hy + 1), (hx + 6 + 5 * i, hy - 8)], C["feather"], 1.5)
        p.fell(hx + 4 + 5 * i, hy - 11, hx + 9 + 5 * i, hy - 6, C["feather"])
    p.poly([(hx + 2, hy + 7), (hx - 7, hy + 9), (hx + 2, hy + 11)], C["orange"])
    if not away:
        p.fell(hx + 5, hy + 4, hx + 9, hy + 8, C["white"])
        p.fell(hx + 6, hy + 5, hx + 8, hy + 7, C["ink"])


def bee(p, wing=0.0):
    p.ell(3, 8, 17, 17, C["yellow"])
    p.line([(8, 9), (8, 16)], C["ink"], 2)
    p.line([(12, 9), (12, 16)], C["ink"], 2)
    p.fell(14, 10, 16.5, 12.5, C["ink"])
    p.ell(5, 3 + 2 * wing, 11, 9, (230, 240, 255), outline=False)
    p.ell(9, 3 + 2 * (1 - wing), 15, 9, (210, 228, 250), outline=False)


# ---------------------------------------------------------------------------
# Crops and wares. A plant grows in a 64 x 64 cell standing on a mound.

FRUIT = {
    "plant00": C["tomato"], "plant01": C["olive"], "plant02": C["orange"], "plant03": C["banana"],
    "plant04": C["straw"], "plant05": C["banana"], "plant06": C["grape"], "plant07": C["orange"],
}


def mound(p):
    p.ell(12, 48, 52, 62, C["soil"])


def plant(p, sort, t):
    """t: growth 0 (seeded) to 1 (ripe)."""
    mound(p)
    if t <= 0.0:
        for x in (24, 31, 38):
            p.fell(x, 52, x + 4, 56, C["straw"])
        return
    g = 0.35 + 0.65 * t
    ripe = t >= 0.99
    leaf = C["leaf"]
    if sort == "grass":
        for i in range(7):
            x = 16 + i * 5
            p.poly([(x, 54), (x + 3 + (i % 3) - 1, 54 - 30 * g - 4 * (i % 2)), (x + 6, 54)], leaf)
        return
    if sort == "flowers":
        for i, col in enumerate((C["red"], C["violet"], C["yellow"], C["pink"])):
            x = 18 + i * 9
            top = 54 - 34 * g + (i % 2) * 6
            p.line([(x, 54), (x, top)], C["leaf_dark"], 2)
            if t > 0.3:
                r = 3 + 4 * t
                p.ell(x - r, top - r, x + r, top + r, col if t > 0.6 else C["leaf"])
                p.fell(x - 1.5, top - 1.5, x + 1.5, top + 1.5, C["yellow"] if col != C["yellow"] else C["orange"])
        return
    if sort in ("plant01", "plant02"):          # olive and orange: small trees
        # The ripe crown's top stays a few pixels inside the 64 x 64 cell.
        p.rr(30, 54 - 22 * g, 35, 56, 2, C["wood"])
        r = 8 + 13 * g
        cy = 38 - 16 * g
        olive = sort == "plant01"
        p.ell(32 - r, cy - r * 0.8, 32 + r, cy + r * 0.7, C["olive_leaf"] if olive else leaf)
        if ripe:
            # Ripe, the crown fills with fruit a size larger than the green
            # buds of the step before: the player must see it from afar.
            rx, ry = (4, 5.5) if olive else (5, 5)
            col = C["olive_ripe"] if olive else FRUIT[sort]
            for fx, fy in ((-9, -7), (4, -10), (-2, 1), (10, 0), (-13, 4), (13, -8), (5, 8), (-7, 9)):
                p.ell(32 + fx - rx, cy + fy - ry, 32 + fx + rx, cy + fy + ry, col)
        elif t > 0.5:
            for fx, fy in ((-8, -6), (6, -10), (0, 2), (10, 2), (-12, 4)):
                p.fell(32 + fx * g - 3, cy + fy * g - 3, 32 + fx * g + 3, cy + fy * g + 3, lighter(C["leaf"], 0.3))
        return
    if sort == "plant04":                         # wheat
        col = C["straw"] if ripe else mix(C["leaf"], C["straw"], t * 0.6)
        for i in range(5):
            x = 20 + i * 6
            top = 54 - 40 * g + (i % 2) * 4
            p.line([(x, 54), (x, top)], col, 2)
            if t > 0.4:
                p.ell(x - 3, top - 8, x + 3, top + 2, col)
        return
    if sort == "plant06":                         # grape vine on a stake
        p.rr(30, 54 - 40 * g, 34, 56, 1, C["wood"])
        p.ell(18, 54 - 40 * g, 46, 54 - 26 * g, leaf)
        if t > 0.5:
            col = C["grape"] if ripe else lighter(C["leaf"], 0.4)
            for i, (gx, gy) in enumerate(((-6, 0), (0, 0), (6, 0), (-3, 6), (3, 6), (0, 12))):
                p.ell(32 + gx - 3, 54 - 26 * g + gy, 32 + gx + 3, 60 - 26 * g + gy, col)
        return
    # tomato, banana, corn, pineapple: a leafy bush with the fruit
    for dx in (-12, 0, 12):
        p.poly([(32, 54), (32 + dx - 6, 54 - 30 * g), (32 + dx + 6, 54 - 28 * g)], leaf)
    if t > 0.5:
        col = FRUIT[sort] if ripe else lighter(C["leaf"], 0.3)
        if sort == "plant00":
            for fx, fy in ((-8, -14), (6, -18), (0, -8)):
                p.ell(32 + fx - 5, 54 + fy * g - 5, 32 + fx + 5, 54 + fy * g + 5, col)
        elif sort == "plant03":
            for i in range(3):
                p.poly([(26 + i * 5, 30), (22 + i * 5, 44), (28 + i * 5, 46), (30 + i * 5, 32)], col)
        elif sort == "plant05":
            p.ell(26, 22, 38, 46, col)
            p.poly([(25, 46), (30, 26), (36, 46)], C["leaf_dark"])
        else:
            p.ell(22, 26, 42, 50, col)
            for dx in (-5, 0, 5):
                p.poly([(32, 28), (32 + dx - 3, 12), (32 + dx + 3, 14)], C["leaf_dark"])


def icon_plant(p, sort):
    """A ware icon of a crop: the fruit large, 48 x 48."""
    col = FRUIT.get(sort)
    if sort == "plant00":
        p.ell(6, 10, 42, 44, col)
        p.poly([(18, 12), (24, 4), (30, 12), (24, 16)], C["leaf"])
    elif sort == "plant01":
        for x, y in ((8, 16), (22, 20), (14, 28)):
            p.ell(x, y, x + 18, y + 14, col)
        p.poly([(20, 6), (40, 10), (26, 16)], C["leaf_dark"])
    elif sort == "plant02":
        p.ell(6, 8, 42, 44, col)
        p.poly([(22, 8), (34, 2), (30, 12)], C["leaf"])
    elif sort == "plant03":
        for i in range(3):
            p.poly([(12 + i * 8, 8), (6 + i * 8, 36), (16 + i * 9, 44), (20 + i * 8, 12)], col)
    elif sort == "plant04":
        for i in range(3):
            x = 12 + i * 12
            p.line([(x, 44), (x, 14)], C["straw"], 2)
            p.ell(x - 4, 4, x + 4, 24, C["straw"])
    elif sort == "plant05":
        p.ell(14, 4, 34, 40, C["banana"])
        p.poly([(10, 44), (22, 12), (24, 44)], C["leaf"])
        p.poly([(38, 44), (26, 12), (24, 44)], C["leaf_dark"])
    elif sort == "plant06":
        for i, (x, y) in enumerate(((12, 10), (22, 10), (32, 10), (17, 19), (27, 19), (22, 28))):
            p.ell(x - 6, y - 2, x + 6, y + 10, col)
        p.poly([(22, 4), (34, 2), (28, 9)], C["leaf"])
    elif sort == "plant07":
        p.ell(10, 16, 38, 46, col)
        for dx in (-8, 0, 8):
            p.poly([(24, 18), (24 + dx - 4, 2), (24 + dx + 4, 4)], C["leaf_dark"])
    elif sort == "flowers":
        for i, (x, y, col) in enumerate(((14, 14, C["red"]), (32, 14, C["violet"]), (23, 28, C["yellow"]))):
            for a in range(5):
                ang = 2 * math.pi * a / 5
                px, py = x + 6 * math.cos(ang), y + 6 * math.sin(ang)
                p.ell(px - 5, py - 5, px + 5, py + 5, col)
            p.fell(x - 3, y - 3, x + 3, y + 3, C["orange"])
    elif sort == "grass":
        for i in range(6):
            x = 6 + i * 6
            p.poly([(x, 44), (x + 4, 6 + (i % 3) * 8), (x + 8, 44)], C["leaf"] if i % 2 else C["leaf_dark"])


def bottle(p, col, label=None, wide=False):
    if wide:
        p.rr(10, 14, 38, 44, 6, col)
        p.rr(18, 6, 30, 16, 2, darker(col, 0.2))
    else:
        p.rr(14, 16, 34, 44, 6, col)
        p.rr(20, 4, 28, 18, 2, darker(col, 0.2))
    if label:
        p.rr(16, 26, 32, 36, 2, label)


def glass(p, col):
    p.poly([(12, 8), (36, 8), (32, 44), (16, 44)], C["glass"])
    p.poly([(14, 18), (34, 18), (31, 42), (17, 42)], col, outline=False)


def icon_ware(p, name):
    if name.startswith("plant") or name in ("flowers", "grass"):
        icon_plant(p, name)
    elif name == "product00":
        bottle(p, C["olive"], C["cream"])
    elif name == "product01":
        glass(p, C["orange"])
    elif name == "product02":
        p.poly([(10, 16), (38, 16), (42, 44), (6, 44)], C["cream"])
        p.rr(14, 8, 34, 18, 4, C["cream"])
        p.fell(18, 26, 30, 36, C["straw"])
    elif name == "product03":
        bottle(p, C["grape"], C["cream"], wide=True)
    elif name == "product01_1":
        glass(p, C["yellow"])
        p.ell(28, 4, 40, 16, C["yellow"])
    elif name == "product02_1":
        p.ell(4, 16, 44, 40, C["orange"])
        for x in (14, 22, 30):
            p.line([(x, 22), (x + 4, 32)], darker(C["orange"]), 2)
    elif name == "product03_1":
        bottle(p, (120, 30, 50), C["paper"])
    elif name == "egg":
        p.ell(12, 6, 36, 44, C["cream"])
    elif name == "milk":
        bottle(p, C["white"], C["sky"], wide=True)
    elif name == "honey":
        p.rr(10, 14, 38, 44, 5, C["gold"])
        p.rr(8, 8, 40, 16, 3, C["red"])
    elif name == "nib":
        p.poly([(10, 44), (32, 6), (40, 12)], C["feather"])
        p.ell(28, 4, 42, 18, C["blue"])
        p.fell(32, 8, 38, 14, C["gold"])


# ---------------------------------------------------------------------------
# Buildings: a finished picture; the construction frames are cut from it.

def house_picture(w, h, variant):
    walls = [C["cream"], (250, 226, 180), (230, 210, 240), (210, 236, 200), (250, 214, 196), (220, 232, 250)][variant % 6]
    roofs = [C["roof"], C["blue"], C["violet"], C["leaf_dark"], C["orange"], C["wood_dark"]]
    storeys = 2 if variant >= 3 else 1

    def draw(p):
        shadow(p, w / 2, h - 5, w * 0.45, 4)
        top = h * (0.38 if storeys == 1 else 0.3)
        p.rr(10, top, w - 10, h - 5, 4, walls)
        p.poly([(4, top + 4), (w / 2, 6), (w - 4, top + 4)], roofs[variant % 6])
        if variant % 2 == 0:
            p.rr(w - 30, 12, w - 20, top - 2, 2, C["brick"])
        p.rr(w / 2 - 9, h - 32, w / 2 + 9, h - 5, 4, C["wood"])
        p.fell(w / 2 + 3, h - 20, w / 2 + 6, h - 17, C["gold"])
        rows = [top + 10] if storeys == 1 else [top + 8, top + (h - 5 - top) / 2 - 4]
        for ry in rows:
            for wx in (18, w - 36):
                p.rr(wx, ry, wx + 16, ry + 14, 2, C["glass"])
                p.line([(wx + 8, ry), (wx + 8, ry + 14)], C["wood_dark"], 1.5)
        if variant >= 1:
            for fx in range(12, int(w) - 12, 12):
                p.fell(fx, h - 10, fx + 7, h - 4, C["leaf"])
    return frame_of(w, h, draw)


def market_picture(w, h, variant):
    stripes = [C["red"], C["blue"], C["leaf"], C["orange"], C["violet"], C["yellow"]][variant % 6]
    goods = [C["tomato"], C["orange"], C["banana"], C["grape"], C["leaf"], C["cream"]]

    def draw(p):
        shadow(p, w / 2, h - 5, w * 0.45, 4)
        for px in (12, w - 16):
            p.rr(px, 30, px + 5, h - 6, 2, C["wood"])
        p.rr(6, h - 34, w - 6, h - 6, 4, C["wood"])
        n = 6
        sw = (w - 8) / n
        for i in range(n):
            p.poly([(4 + i * sw, 34), (4 + i * sw + sw / 2, 10), (4 + (i + 1) * sw, 34)],
                   stripes if i % 2 == 0 else C["white"])
        p.rr(4, 30, w - 4, 38, 3, stripes)
        for i in range(int((w - 24) / 12)):
            col = goods[(i + variant) % len(goods)]
            p.ell(14 + i * 12, h - 44, 24 + i * 12, h - 34, col)
        if variant >= 3:
            p.rr(w / 2 - 16, h - 28, w / 2 + 16, h - 16, 3, C["paper"])
    return frame_of(w, h, draw)


def factory_picture(w, h, colour, product, mill=False, sails=0.0):
    def draw(p):
        shadow(p, w / 2, h - 5, w * 0.45, 4)
        if mill:
            # The hub sits low enough that the sails turn inside the cell.
            p.poly([(w / 2 - 26, h - 5), (w / 2 - 16, 48), (w / 2 + 16, 48), (w / 2 + 26, h - 5)], colour)
            p.poly([(w / 2 - 22, 52), (w / 2, 32), (w / 2 + 22, 52)], C["roof"])
            p.rr(w / 2 - 8, h - 30, w / 2 + 8, h - 5, 3, C["wood"])
            p.ell(w / 2 - 6, 58, w / 2 + 6, 70, C["glass"])
            cx, cy = w / 2, 46
            for i in range(4):
                ang = sails + i * math.pi / 2
                ex, ey = cx + 40 * math.cos(ang), cy + 40 * math.sin(ang)
                nx, ny = -math.sin(ang) * 7, math.cos(ang) * 7
                p.poly([(cx + (ex - cx) * 0.2, cy + (ey - cy) * 0.2), (ex, ey), (ex + nx, ey + ny),
                        (cx + (ex - cx) * 0.2 + nx, cy + (ey - cy) * 0.2 + ny)], C["cream"])
            p.ell(cx - 5, cy - 5, cx + 5, cy + 5, C["wood_dark"])
            return
        p.rr(w - 34, 8, w - 20, 50, 2, C["brick"])
        p.ell(w - 44, 3, w - 20, 15, (230, 230, 236, 220), outline=False)
        p.rr(6, 36, w - 6, h - 5, 4, colour)
        teeth = 4
        tw = (w - 12) / teeth
        for i in range(teeth):
            p.poly([(6 + i * tw, 40), (6 + i * tw, 22), (6 + (i + 1) * tw, 40)], C["roof"])
        p.rr(w / 2 - 14, h - 38, w / 2 + 14, h - 5, 3, C["wood"])
        for wx in (14, w - 34):
            p.rr(wx, 50, wx + 20, 66, 2, C["glass"])
        p.ell(w / 2 - 12, 44, w / 2 + 12, 66, C["white"])
        p.ell(w / 2 - 8, 48, w / 2 + 8, 62, product)
    return frame_of(w, h, draw)


def institute_picture(w, h):
    def draw(p):
        shadow(p, w / 2, h - 5, w * 0.45, 4)
        p.rr(8, 44, w - 8, h - 5, 3, C["cream"])
        p.ell(w / 2 - 28, 12, w / 2 + 28, 64, C["sky"])
        p.poly([(4, 48), (w / 2, 30), (w - 4, 48)], C["stone"])
        for cx in range(18, int(w) - 12, 20):
            p.rr(cx, 52, cx + 8, h - 10, 2, C["white"])
        p.rr(6, h - 12, w - 6, h - 4, 2, C["stone"])
        p.rr(w / 2 - 3, 2, w / 2 + 3, 16, 1, C["gold"])
    return frame_of(w, h, draw)


def animals_picture(w, h):
    def draw(p):
        shadow(p, w / 2, h - 5, w * 0.45, 4)
        p.rr(8, 40, w - 8, h - 5, 3, C["red"])
        p.poly([(2, 44), (w / 2, 8), (w - 2, 44)], C["wood_dark"])
        p.rr(w / 2 - 18, h - 44, w / 2 + 18, h - 5, 3, C["wood"])
        p.line([(w / 2 - 18, h - 44), (w / 2 + 18, h - 5)], C["cream"], 3)
        p.line([(w / 2 + 18, h - 44), (w / 2 - 18, h - 5)], C["cream"], 3)
        p.ell(w / 2 - 10, 24, w / 2 + 10, 42, C["white"])
        for fx in range(4, int(w) - 4, 10):
            p.rr(fx, h - 18, fx + 4, h - 4, 1, C["wood"])
    return frame_of(w, h, draw)


def statue_picture(w, h, stage=4):
    """stage 0..3 construction, 4 finished."""
    def draw(p):
        shadow(p, w / 2, h - 5, w * 0.45, 4)
        p.rr(14, h - 30, w - 14, h - 4, 3, C["stone"])
        if stage >= 1:
            p.rr(w / 2 - 14, h - 64, w / 2 + 14, h - 28, 4, C["gold"])
        if stage >= 2:
            p.ell(w / 2 - 12, h - 88, w / 2 + 12, h - 62, C["gold"])
            p.stroke([(w / 2 + 10, h - 58), (w / 2 + 24, h - 90)], C["gold"], 5)
        if stage >= 3:
            p.poly([(w / 2 + 14, h - 104), (w / 2 + 34, h - 96), (w / 2 + 24, h - 86)], C["gold"])
            p.ell(w / 2 - 18, h - 96, w / 2 + 18, h - 84, C["gold"])
        if stage < 4:
            scaffold(p, w, h)
    return frame_of(w, h, draw)


def scaffold(p, w, h):
    for x in (6, w - 10):
        p.stroke([(x + 2, 18), (x + 2, h - 4)], C["wood"], 2.5)
    for y in range(30, int(h) - 8, 22):
        p.stroke([(4, y), (w - 4, y)], C["wood"], 2.5)


def construction_frames(full, w, h):
    """Frames 0..6 of a building through its life: 0 to 3 rising
    behind scaffolding, 4 finished (also the edit toolbar's picture), 5 the
    same, 6 the blueprint of the building not yet built."""
    sc = frame_of(w, h, lambda p: scaffold(p, w, h))
    base = frame_of(w, h, lambda p: (shadow(p, w / 2, h - 5, w * 0.45, 4),
                                     p.rr(6, h - 12, w - 6, h - 3, 3, C["stone"])))
    frames = []
    for part in (0.0, 0.4, 0.75, 1.0):
        img = base.copy()
        if part > 0:
            cut = int(h * (1 - part))
            grown = full.copy()
            grown.paste((0, 0, 0, 0), (0, 0, w, cut))
            img.alpha_composite(grown)
        img.alpha_composite(sc)
        frames.append(img)
    frames += [full, full.copy(), blueprint(full)]
    return frames


def blueprint(img):
    """The building not yet built: a pale blue silhouette with its lines."""
    a = img.getchannel("A")
    grey = ImageOps.grayscale(img.convert("RGB"))
    tint = ImageOps.colorize(grey, (40, 90, 170), (235, 245, 255))
    out = tint.convert("RGBA")
    out.putalpha(a.point(lambda v: v * 200 // 255))
    return out


# ---------------------------------------------------------------------------
# Small marks and badges.

def star(p, cx, cy, r, col, outline=True, turn=0.0):
    pts = []
    for i in range(10):
        rr = r if i % 2 == 0 else r * 0.45
        ang = -math.pi / 2 + turn + i * math.pi / 5
        pts.append((cx + rr * math.cos(ang), cy + rr * math.sin(ang)))
    p.poly(pts, col, outline)


def medal(p, w, h, col):
    p.poly([(w * 0.3, 2.5), (w * 0.45, h * 0.45), (w * 0.55, h * 0.45), (w * 0.7, 2.5)], C["blue"])
    r = min(w, h * 0.6) / 2 - 2
    p.ell(w / 2 - r, h - 2 - 2 * r, w / 2 + r, h - 2, col)
    star(p, w / 2, h - 2 - r, r * 0.55, lighter(col, 0.3), outline=False)


def house_icon(p, col):
    p.rr(10, 22, 38, 42, 3, col)
    p.poly([(4, 24), (24, 6), (44, 24)], C["roof"] if col != C["grey"] else darker(C["grey"]))
    p.rr(20, 30, 28, 42, 2, C["wood"] if col != C["grey"] else C["grey"])


def seed_bag(p):
    p.rr(10, 64, 24, 82, 4, C["paper"])
