"""The comic pictures: episode 0 (the gardener comes to the island and
starts a garden) on comic00 and comic01, episode 1 (the statue is finished)
on comic02.

A page is 1024 x 1024, a grid of 2 x 2 cells of 512; each picture is
480 x 352 with its top-left corner at the cell's corner + (16, 144) (the
pages' scripts cut the pictures there)."""
import math

from PIL import Image

import draw_world as dw
from draw_world import C, Pen
from packlib.style import darker, lighter

W, H = 480, 352


def scene(draw, sky=None, night=False):
    s = dw.sketch(W, H)
    p = Pen(s)
    top = sky or (C["sky"] if not night else (40, 44, 96))
    p.rr(0, 0, W, H, 0, lighter(top, 0.1), outline=False)
    draw(p)
    img = s.result()
    frame = dw.sketch(W, H)
    m = frame.mask()
    d = frame.mask_draw(m)
    d.rectangle(frame.box(0, 0, W, H), fill=255)
    d.rounded_rectangle(frame.box(6, 6, W - 6, H - 6), radius=12 * frame.ss, fill=0)
    frame.flat(m, C["ink"])
    img.alpha_composite(frame.result())
    return img


def sea(p, y, night=False):
    p.rr(0, y, W, H, 0, C["sea"] if not night else darker(C["sea"], 0.5), outline=False)
    for i in range(8):
        x = 20 + i * 60
        p.line([(x, y + 20 + (i % 3) * 30), (x + 24, y + 20 + (i % 3) * 30)], lighter(C["sea"], 0.4), 2)


def island(p, cx, y, r, night=False):
    p.ell(cx - r, y - r * 0.35, cx + r, y + r * 0.2, C["sand"] if not night else darker(C["sand"], 0.4))
    p.ell(cx - r * 0.8, y - r * 0.5, cx + r * 0.8, y, C["leaf"] if not night else darker(C["leaf"], 0.4))
    for dx in (-0.4, 0.1, 0.5):
        palm(p, cx + dx * r, y - r * 0.3, 0.8, night)


def palm(p, x, y, k=1.0, night=False):
    leaf = C["leaf_dark"] if not night else darker(C["leaf_dark"], 0.4)
    p.stroke([(x, y), (x + 4 * k, y - 40 * k)], C["wood"], 5 * k)
    for a in (-2.6, -1.9, -1.2, -0.5):
        p.poly([(x + 4 * k, y - 40 * k), (x + 4 * k + 30 * k * math.cos(a), y - 40 * k + 30 * k * math.sin(a) + 10 * k),
                (x + 4 * k + 26 * k * math.cos(a + 0.3), y - 40 * k + 26 * k * math.sin(a + 0.3) + 14 * k)], leaf)


def sun(p, x, y):
    p.ell(x - 30, y - 30, x + 30, y + 30, C["yellow"], outline=False)


def gardener_at(p, x, y, k, **kw):
    """The gardener with his feet at (x, y), k times his sprite's size."""
    dw.gardener(Pen(p.s, x - 36 * k, y - 98 * k, k), **kw)


def islander(p, x, y, k, col):
    q = Pen(p.s, x - 8 * k, y - 26 * k, k)
    q.rr(3, 10, 13, 20, 3, col)
    q.line([(5.5, 18), (5.5, 26)], C["trouser"], 2.5)
    q.line([(10.5, 18), (10.5, 26)], C["trouser"], 2.5)
    q.ell(3, 1, 13, 11, C["skin"])


def ground(p, y, col=None):
    p.rr(0, y, W, H, 0, col or C["leaf"], outline=False)


def soil_rows(p, y0, rows=3, sprouts=0.0):
    for r in range(rows):
        y = y0 + r * 40
        p.rr(40 + r * 10, y, W - 40 - r * 10, y + 22, 10, C["soil"])
        if sprouts:
            for i in range(7):
                x = 70 + i * 52
                q = Pen(p.s, x - 32 * 0.7, y - 38, 0.7)
                dw.plant(q, "plant00", sprouts)


def building(p, name, x, y, k=1.0):
    """A finished building picture with its bottom centre at (x, y)."""
    import gen_world
    img = gen_world.building_full(name) if name != "statue00" else dw.statue_picture(96, 128, 4)
    if k != 1.0:
        img = img.resize((int(img.size[0] * k), int(img.size[1] * k)), Image.LANCZOS)
    big = Image.new("RGBA", p.s.image.size, (0, 0, 0, 0))
    ss = p.s.ss
    img = img.resize((img.size[0] * ss, img.size[1] * ss), Image.LANCZOS)
    big.alpha_composite(img, (int((x - img.size[0] / ss / 2) * ss), int((y - img.size[1] / ss) * ss)))
    p.s.image.alpha_composite(big)


# Episode 0 -----------------------------------------------------------------

def arrival(p):
    sun(p, 400, 60)
    sea(p, 180)
    island(p, 330, 190, 120)
    q = Pen(p.s, 60, 170, 2.2)
    q.poly([(4, 24), (52, 24), (44, 38), (10, 38)], C["wood"])
    q.line([(28, 24), (28, 0)], C["wood_dark"], 2)
    q.poly([(29, 0), (29, 21), (46, 21)], C["white"])
    gardener_at(p, 110, 224, 0.6, facing="r", hands=((50, 56), (58, 40)))


def harbour(p):
    sea(p, 200)
    ground(p, 150, C["sand"])
    p.rr(260, 190, 480, 230, 2, C["wood"])
    for i in range(4):
        p.rr(280 + i * 50, 226, 288 + i * 50, 300, 2, C["wood_dark"])
    gardener_at(p, 320, 200, 1.3, facing="d", hands=((19, 68), (60, 26)), tool=dw.tool_basket)
    for i, col in enumerate((C["blue"], C["white"], C["violet"])):
        islander(p, 80 + i * 50, 190, 2.4, col)
    palm(p, 40, 150, 1.4)


def empty_field(p):
    sun(p, 70, 60)
    ground(p, 140)
    soil_rows(p, 190)
    gardener_at(p, 380, 300, 1.6, facing="d", tool=dw.tool_hoe, hands=((19, 68), (53, 62)))


def sowing(p):
    ground(p, 120)
    soil_rows(p, 170, sprouts=0.25)

    def seeds(q):
        for i in range(5):
            q.fell(62 + i * 4, 60 + i * 6, 66 + i * 4, 64 + i * 6, C["straw"])
    gardener_at(p, 360, 330, 1.7, facing="d", hands=((19, 70), (54, 56)), props=[dw.seed_bag, seeds])


# Episode 0, later --------------------------------------------------------

def sprouts(p):
    sun(p, 420, 60)
    ground(p, 110)
    soil_rows(p, 150, rows=4, sprouts=0.6)


def watering(p):
    ground(p, 130)
    soil_rows(p, 210, rows=2, sprouts=0.75)

    def water(q):
        for i in range(6):
            q.fell(72 + (i % 3) * 4, 62 + i * 5, 76 + (i % 3) * 4, 66 + i * 5, (130, 200, 250, 230))
    gardener_at(p, 200, 320, 1.8, facing="d", tool=dw.tool_can, hands=((19, 70), (52, 62)), props=[water])


def harvest(p):
    ground(p, 140)
    soil_rows(p, 170, rows=2, sprouts=1.0)
    gardener_at(p, 300, 330, 1.7, facing="d", hands=((24, 74), (48, 74)),
                props=[lambda q: dw.tool_basket(q, ((24, 74), (36, 80)), "d", True)])


def market(p):
    ground(p, 200, C["sand"])
    building(p, "market00", 240, 300, 2.4)
    for i, col in enumerate((C["blue"], C["violet"], C["white"], C["red"])):
        islander(p, 60 + i * 110 + (40 if i > 1 else 0), 340, 2.0, col)


# Episode 1 -------------------------------------------------------------------

def statue_rises(p):
    ground(p, 220)
    q = Pen(p.s, 160, 40, 2.2)
    q.rr(14, 98, 82, 124, 3, C["stone"])
    q.rr(34, 64, 62, 100, 4, C["gold"])
    q.ell(36, 40, 60, 66, C["gold"])
    dw.scaffold(q, 96, 128)
    gardener_at(p, 420, 330, 1.2, facing="d", hands=((19, 68), (60, 30)))


def gathering(p):
    ground(p, 200)
    building(p, "statue00", 240, 250, 1.5)
    for i in range(7):
        col = [C["blue"], C["white"], C["violet"], C["red"], C["yellow"], C["leaf"], C["orange"]][i]
        islander(p, 50 + i * 64, 330 - (i % 2) * 14, 2.0, col)


def fireworks(p):
    for i, (x, y, col) in enumerate(((120, 90, C["red"]), (250, 60, C["yellow"]), (380, 100, C["sky"]))):
        for a in range(14):
            ang = 2 * math.pi * a / 14
            p.line([(x + 12 * math.cos(ang), y + 12 * math.sin(ang)), (x + 48 * math.cos(ang), y + 48 * math.sin(ang))],
                   col, 3)
    sea(p, 240, night=True)
    island(p, 240, 260, 150, night=True)
    building(p, "statue00", 240, 230, 0.8)


PAGES = {
    0: [arrival, harbour, empty_field, sowing],
    1: [sprouts, watering, harvest, market],
    2: [statue_rises, gathering, fireworks],
}


def page(index):
    img = Image.new("RGBA", (1024, 1024), (0, 0, 0, 0))
    for i, draw in enumerate(PAGES[index]):
        col, row = i % 2, i // 2
        pic = scene(draw, night=draw is fireworks)
        img.alpha_composite(pic, (col * 512 + 16, row * 512 + 144))
    return img
