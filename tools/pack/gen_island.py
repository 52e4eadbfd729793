"""The island from its one source (island_source.py): the picture in two
halves ("island00_0" on top of "island00_1"), the files "conf/island.pts"
and "conf/island.dat" in the island's binary layouts, and a preview with
the walk areas, links, route, level points and buildings drawn over the
picture for a person to check.

The picture is transparent where the sea is (the game tiles its waves
under it) and over the waterfall's rectangle (its frames are drawn under
the picture)."""
import math
import random
import struct

from PIL import Image, ImageDraw, ImageFilter, ImageMath

import draw_world as dw
import island_source as src
from draw_world import C, Pen
from packlib.style import darker, lighter, mix

W, H = src.WIDTH, src.HEIGHT
WATERFALL_SIZE = (64, 96)


def to_pic(p):
    """Island point (y up) to picture pixel (y down)."""
    return (p[0], H - p[1])


# ---------------------------------------------------------------------------
# The files.

def fan(n):
    """Triangles of a convex polygon of n points."""
    return [(0, i, i + 1) for i in range(1, n - 1)]


def links():
    """Link points in file order: each passage there and back."""
    out = []
    for _, _, a, b in src.PASSAGES:
        out += [a, b, b, a]
    return out


def pts_bytes():
    out = [struct.pack("<I", len(src.AREAS))]
    for _, poly in src.AREAS:
        out.append(struct.pack("<I", len(poly)))
        out += [struct.pack("<ff", x, y) for x, y in poly]
        tris = fan(len(poly))
        out.append(struct.pack("<I", len(tris)))
        out += [struct.pack("<III", *t) for t in tris]
    lk = links()
    out.append(struct.pack("<I", len(lk)))
    out += [struct.pack("<ff", x, y) for x, y in lk]
    out.append(struct.pack("<I", len(src.ROUTE)))
    out += [struct.pack("<ff", x, y) for x, y in src.ROUTE]
    out.append(struct.pack("<I", len(src.LEVEL_POINTS)))
    out += [struct.pack("<ff", x, y) for x, y in src.LEVEL_POINTS]
    return b"".join(out)


def buildings(sizes):
    """(name, island value, kind, x, y, w, h) per level; sizes maps a
    building name to its sprite's first frame size."""
    seen = {}
    out = []
    for level, name in enumerate(src.LEVEL_BUILDINGS):
        value = seen.get(name, 0)
        seen[name] = value + 1
        x, y, w, h = src.building_rect(level, sizes[name])
        out.append((name, value, 4 if name in src.FACTORIES else 3, x, y, w, h))
    return out


def dat_bytes(sizes):
    recs = buildings(sizes)
    out = [struct.pack("<I", len(recs))]
    for name, value, kind, x, y, _, _ in recs:
        raw = name.encode("ascii")
        out.append(struct.pack("<H", len(raw)) + raw + struct.pack("<IIff", value, kind, x, y))
    return b"".join(out)


# ---------------------------------------------------------------------------
# The picture.

def level_path():
    """Points along a Catmull-Rom curve through the level points."""
    p = src.LEVEL_POINTS
    out = []
    for i in range(len(p) - 1):
        p0, p1, p2, p3 = p[max(0, i - 1)], p[i], p[i + 1], p[min(len(p) - 1, i + 2)]
        for k in range(12):
            t = k / 12
            out.append(tuple(0.5 * ((2 * p1[j]) + (-p0[j] + p2[j]) * t + (2 * p0[j] - 5 * p1[j] + 4 * p2[j] - p3[j]) * t * t
                                    + (-p0[j] + 3 * p1[j] - 3 * p2[j] + p3[j]) * t * t * t) for j in range(2)))
    out.append(p[-1])
    return out


def land_height():
    """0..255 per pixel: 255 deep inland, falling off across the coast."""
    q = 4
    m = Image.new("L", (W // q, H // q), 0)
    d = ImageDraw.Draw(m)
    for _, poly in src.AREAS:
        pts = [(x / q, (H - y) / q) for x, y in poly]
        d.polygon(pts, fill=255)
        d.line(pts + [pts[0]], fill=255, width=30)
    rng = random.Random(7)
    for _ in range(70):
        x, y = rng.uniform(60, 1990), rng.uniform(60, 1990)
        r = rng.uniform(30, 70)
        d.ellipse(((x - r) / q, (H - y - r) / q, (x + r) / q, (H - y + r) / q), fill=255)
    # the pier and the harbour's shore reach out to the landing point
    d.rectangle((330 / q, (H - 2005) / q, 480 / q, (H - 1740) / q), fill=255)
    m = m.filter(ImageFilter.GaussianBlur(6))
    return m.resize((W, H), Image.BILINEAR)


def grass_texture():
    rng = random.Random(11)
    small = Image.new("L", (64, 64))
    small.putdata([rng.randrange(256) for _ in range(64 * 64)])
    v = small.resize((W, H), Image.BICUBIC).filter(ImageFilter.GaussianBlur(3))
    lo, hi = darker(C["leaf"], 0.12), lighter(C["leaf"], 0.12)
    return Image.merge("RGB", [v.point(lambda t, a=lo[i], b=hi[i]: a + (b - a) * t // 255) for i in range(3)])


def tree_sprites():
    def palm(p):
        p.stroke([(24, 62), (27, 26)], C["wood"], 4)
        for a in (-2.7, -2.0, -1.2, -0.4):
            p.poly([(27, 26), (27 + 22 * math.cos(a), 26 + 22 * math.sin(a) + 8),
                    (27 + 19 * math.cos(a + 0.35), 26 + 19 * math.sin(a + 0.35) + 11)], C["leaf_dark"])

    def round_tree(p):
        p.rr(21, 40, 27, 62, 2, C["wood"])
        p.ell(6, 10, 42, 46, C["leaf_dark"])
        p.ell(12, 4, 36, 28, C["leaf"])

    def bush(p):
        p.ell(4, 40, 30, 62, C["leaf_dark"])
        p.ell(18, 36, 44, 62, C["leaf"])
        for i, col in enumerate((C["red"], C["yellow"], C["pink"])):
            p.fell(12 + i * 9, 44 + (i % 2) * 6, 17 + i * 9, 49 + (i % 2) * 6, col)

    def rock(p):
        p.ell(8, 44, 40, 62, C["stone"])
        p.ell(24, 50, 44, 62, lighter(C["stone"], 0.1))
    return [dw.frame_of(48, 64, f) for f in (palm, round_tree, bush, rock)]


def cliff(img):
    """Rocks around the waterfall, a pond at its foot, the stream above it."""
    s = dw.sketch(200, 380)
    ox, oy = 500, H - 2000  # sketch origin in the picture
    p = Pen(s)

    def at(x, y):
        return (x - ox, H - y - oy)
    sx, sy = at(src.WATERFALL[0], src.WATERFALL[1] + WATERFALL_SIZE[1])
    p.rr(sx - 40, sy - 20, sx + WATERFALL_SIZE[0] + 40, sy + WATERFALL_SIZE[1] + 6, 20, C["stone"])
    p.rr(sx + 20, 0, sx + 44, sy + 4, 10, (96, 170, 226), outline=False)
    fx, fy = at(600, 1640)
    p.ell(fx - 60, fy - 22, fx + 60, fy + 24, (96, 170, 226))
    for dx, dy, r in ((-46, 10, 16), (40, 30, 20), (-30, 70, 14), (52, 80, 16)):
        p.ell(sx + 32 + dx - r, sy + dy - r, sx + 32 + dx + r, sy + dy + r, lighter(C["stone"], 0.1))
    over = s.result()
    img.alpha_composite(over, (ox, oy))
    # the hole the waterfall shows through
    x0, y0 = to_pic((src.WATERFALL[0] + 3, src.WATERFALL[1] + WATERFALL_SIZE[1] - 3))
    img.paste((0, 0, 0, 0), (x0, y0, x0 + WATERFALL_SIZE[0] - 6, y0 + WATERFALL_SIZE[1] - 6))


def keep_clear(sizes):
    """Rectangles (picture pixels) where no tree stands."""
    out = []
    for name, _, _, x, y, w, h in buildings(sizes):
        out.append((x - 14, H - y - h - 18, x + w + 14, H - y + 10))
    for x, y in src.LEVEL_POINTS:
        out.append((x - 26, H - y - 38, x + 26, H - y + 40))
    gx, gy = to_pic(src.GATHERING)
    out.append((gx - 90, gy - 90, gx + 90, gy + 90))
    out.append((300, H - 2040, 510, H - 1720))           # harbour
    out.append((480, H - 2000, 700, H - 1590))           # cliff and falls
    return out


def picture(sizes):
    h = land_height()
    # alpha: clear sea, a tint of shallow water, then the land
    alpha = h.point(lambda v: 0 if v < 50 else (70 + (v - 50) if v < 118 else (255 if v > 126 else 140 + (v - 118) * 14)))
    sand_t = h.point(lambda v: 255 if v < 150 else (0 if v > 176 else (176 - v) * 255 // 26))
    rgb = grass_texture()
    rgb = Image.composite(Image.new("RGB", (W, H), C["sand"]), rgb, sand_t)
    water_t = h.point(lambda v: 255 if v < 124 else 0)
    rgb = Image.composite(Image.new("RGB", (W, H), (110, 200, 210)), rgb, water_t)
    img = rgb.convert("RGBA")
    img.putalpha(alpha)

    # paths: the level path and the way from the pier to the plaza
    path = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(path)
    d.line([to_pic(p) for p in level_path()], fill=255, width=22, joint="curve")
    d.line([to_pic(p) for p in ((410, 1760), (400, 1700), src.GATHERING, src.LEVEL_POINTS[2])], fill=255,
           width=22, joint="curve")
    gx, gy = to_pic(src.GATHERING)
    d.ellipse((gx - 70, gy - 55, gx + 70, gy + 55), fill=255)
    path = path.filter(ImageFilter.GaussianBlur(2))
    dirt = Image.new("RGBA", (W, H), mix(C["sand"], C["soil"], 0.35) + (255,))
    img = Image.composite(dirt, img, ImageMath.eval("convert(min(a, b), 'L')", a=path, b=alpha))
    # the pier
    pier = dw.sketch(70, 240)
    pp = Pen(pier)
    pp.rr(4, 4, 66, 236, 4, C["wood"])
    for y in range(16, 236, 14):
        pp.line([(6, y), (64, y)], C["wood_dark"], 1.5)
    img.alpha_composite(pier.result(), (378, H - 2040))
    cliff(img)
    # trees on a jittered grid, clear of buildings, points and paths
    clear = keep_clear(sizes)
    trees = tree_sprites()
    hp = h.load()
    on_path = path.load()
    rng = random.Random(3)
    for gy in range(40, H - 40, 64):
        for gx in range(30, W - 30, 58):
            x, y = gx + rng.randint(-18, 18), gy + rng.randint(-18, 18)
            kind = rng.randrange(len(trees))
            if rng.random() < 0.35:
                continue
            if not (0 < x < W and 0 < y < H) or hp[x, y] < 230 or hp[x, min(H - 1, y - 50)] < 230:
                continue
            if on_path[x, y] or on_path[x, max(0, y - 30)]:
                continue
            if any(a <= x <= c and b <= y <= e for a, b, c, e in clear):
                continue
            img.alpha_composite(trees[kind], (x - 24, y - 62))
    return img


def halves(img):
    """island00_0 is the top half (drawn above island00_1)."""
    return img.crop((0, 0, W, H // 2)), img.crop((0, H // 2, W, H))


# ---------------------------------------------------------------------------
# The preview.

def preview(img, sizes):
    out = Image.new("RGBA", img.size, C["sea"] + (255,))
    out.alpha_composite(img)
    d = ImageDraw.Draw(out)
    for _, poly in src.AREAS:
        d.line([to_pic(p) for p in poly + [poly[0]]], fill=(255, 230, 0, 255), width=3)
    lk = links()
    for i in range(0, len(lk), 2):
        a, b = to_pic(lk[i]), to_pic(lk[i + 1])
        d.line([a, b], fill=(220, 0, 0, 255), width=3)
        d.ellipse((b[0] - 4, b[1] - 4, b[0] + 4, b[1] + 4), fill=(220, 0, 0, 255))
    d.line([to_pic(p) for p in src.ROUTE], fill=(255, 255, 255, 255), width=3)
    for name, value, kind, x, y, w, h in buildings(sizes):
        d.rectangle((x, H - y - h, x + w, H - y), outline=(200, 0, 200, 255), width=2)
        cx, cy = to_pic((x + w / 2, y + h / 2))
        d.ellipse((cx - 4, cy - 4, cx + 4, cy + 4), fill=(200, 0, 200, 255))
        d.text((x + 3, H - y - h + 3), "%s/%d" % (name, value), fill=(0, 0, 0, 255))
    for i, (x, y) in enumerate(src.LEVEL_POINTS):
        d.rectangle((x - 18, H - y - 30, x + 18, H - y + 30), outline=(255, 0, 0, 255), width=2)
        d.text((x - 8, H - y - 6), str(i), fill=(255, 255, 255, 255))
    for p, col in ((src.GATHERING, (0, 255, 0, 255)), (src.LANDING, (0, 255, 255, 255)),
                   (src.HARBOUR_PROBE, (255, 128, 0, 255))):
        x, y = to_pic(p)
        d.ellipse((x - 7, y - 7, x + 7, y + 7), fill=col)
    x, y = to_pic((src.WATERFALL[0], src.WATERFALL[1] + WATERFALL_SIZE[1]))
    d.rectangle((x, y, x + WATERFALL_SIZE[0], y + WATERFALL_SIZE[1]), outline=(0, 0, 255, 255), width=2)
    return out.resize((W // 2, H // 2), Image.LANCZOS)
