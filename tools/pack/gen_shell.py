"""The shell's textures: console backgrounds, the loading screen, the system
skin, the cursor and the message-box icons."""
import math

from PIL import Image, ImageDraw, ImageFont

from packlib import atlas, style
from packlib.style import PALETTE, Sketch, lighter, darker


def tileable(w, h, waves, low, high):
    """A picture that repeats seamlessly: a sum of waves with whole numbers
    of periods across each side, mapped from dark (low) to light (high)."""
    img = Image.new("RGB", (w, h))
    px = img.load()
    for y in range(h):
        for x in range(w):
            t = 0.0
            for kx, ky, amp, phase in waves:
                t += amp * math.sin(2 * math.pi * (kx * x / w + ky * y / h) + phase)
            t = max(0.0, min(1.0, 0.5 + 0.5 * t))
            px[x, y] = style.mix(low, high, t)
    return img


def console_backgrounds():
    first = tileable(256, 256, [(1, 2, 0.45, 0.0), (3, -1, 0.25, 1.0), (5, 4, 0.12, 2.0)],
                     (8, 22, 34), (30, 72, 88))
    second = tileable(256, 256, [(2, 1, 0.5, 0.5), (-4, 3, 0.3, 2.5), (7, 6, 0.1, 1.5)],
                      (0, 0, 0), (36, 48, 40))
    return first, second


def loading_backdrop():
    """1024 x 1024: the 1024 x 768 screen sits at the picture's bottom; sky,
    sea and the island's silhouette with a sun."""
    w, h = 1024, 1024
    sky = Image.linear_gradient("L").resize((w, h))
    img = Image.composite(Image.new("RGB", (w, h), (248, 226, 170)),
                          Image.new("RGB", (w, h), PALETTE["sky"]), sky)
    s = Sketch(w, h, ss=2)
    s.ellipse((700, 340, 820, 460), PALETTE["yellow"], outline=False)
    m = s.mask()
    d = s.mask_draw(m)
    d.rectangle(s.box(0, 700, 1024, 1024), fill=255)
    s.shaded(m, PALETTE["sea"], outline=False)
    s.polygon([(120, 720), (260, 610), (430, 580), (600, 620), (760, 700), (800, 730), (90, 730)],
              PALETTE["leaf"])
    s.polygon([(150, 724), (780, 724), (700, 760), (240, 760)], PALETTE["sand"])
    for x, hgt in ((300, 120), (520, 150), (640, 110)):
        s.rounded((x - 4, 610 - hgt + 40, x + 6, 640), 3, PALETTE["wood"])
        s.ellipse((x - 40, 600 - hgt + 20, x + 44, 640 - hgt + 40), PALETTE["leaf_dark"])
    over = s.result()
    img.paste(over, (0, 0), over)
    return img


def loading_progress():
    s = Sketch(512, 32, PALETTE["leaf_dark"] + (255,))
    s.rounded((0, 0, 512, 32), 8, PALETTE["leaf"], outline=False)
    m = s.mask()
    s.mask_draw(m).rounded_rectangle(s.box(6, 4, 506, 13), radius=4 * s.ss, fill=180)
    s.flat(m, lighter(PALETTE["leaf"], 0.5))
    return s.result().convert("RGB")


def button_frames(w, h):
    frames = []
    for base, dy in ((PALETTE["orange"], 0), (darker(PALETTE["orange"], 0.2), 1),
                     (lighter(PALETTE["orange"], 0.25), 0), (PALETTE["grey"], 0)):
        s = Sketch(w, h)
        s.rounded((2, 2 + dy, w - 2, h - 2 + dy - 1), 10, base)
        m = s.mask()
        s.mask_draw(m).rounded_rectangle(s.box(8, 5 + dy, w - 8, h // 2 + dy), radius=6 * s.ss, fill=90)
        s.flat(m, (255, 255, 255))
        frames.append(s.result())
    return frames


def panel(w, h, base, radius):
    s = Sketch(w, h)
    s.rounded((2, 2, w - 2, h - 2), radius, base)
    return s.result()


def progress_piece(w, h, base):
    s = Sketch(w, h)
    s.rounded((2, 3, w - 2, h - 3), 8, base)
    return s.result()


def gui_system(manifest_row):
    sizes = {a["name"]: a for a in manifest_row["areas"]}
    makers = {
        "button": button_frames,
        "frame": lambda w, h: [panel(w, h, PALETTE["wood"], 14)],
        "panel": lambda w, h: [panel(w, h, PALETTE["paper"], 10)],
        "progress_back": lambda w, h: [progress_piece(w, h, darker(PALETTE["wood"], 0.3))],
        "progress_fill": lambda w, h: [progress_piece(w, h, PALETTE["leaf"])],
    }
    areas = []
    for name, row in sizes.items():
        w, h = row["size"]
        frames = makers[name](w, h)
        areas.append(atlas.Area(name, frames, columns=row.get("columns", len(frames)), rate=10.0))
    return areas


def cursor():
    """32 x 64, drawn with its top-left corner at the mouse: the arrow's tip
    is the picture's top-left pixel; the lower half stays clear."""
    s = Sketch(32, 64)
    s.polygon([(1, 1), (1, 27), (8, 21), (13, 31), (18, 29), (13, 19), (22, 19)], PALETTE["white"])
    return s.result()


def icon(kind, font_path):
    s = Sketch(128, 128)
    if kind == "icon_head":
        s.ellipse((24, 30, 104, 116), PALETTE["skin"])
        s.ellipse((46, 62, 58, 76), PALETTE["ink"], outline=False)
        s.ellipse((72, 62, 84, 76), PALETTE["ink"], outline=False)
        m = s.mask()
        s.mask_draw(m).arc(s.box(46, 70, 84, 100), 20, 160, fill=255, width=4 * s.ss)
        s.flat(m, darker(PALETTE["red"], 0.2))
        s.polygon([(8, 44), (120, 44), (96, 34), (84, 8), (44, 8), (32, 34)], PALETTE["yellow"])
        return s.result()
    colours = {"icon_error": PALETTE["red"], "icon_info": PALETTE["blue"],
               "icon_warning": PALETTE["yellow"], "icon_question": PALETTE["leaf"]}
    marks = {"icon_error": "x", "icon_info": "i", "icon_warning": "!", "icon_question": "?"}
    if kind == "icon_warning":
        s.polygon([(64, 6), (124, 118), (4, 118)], colours[kind])
        centre = (64, 78)
    else:
        s.ellipse((6, 6, 122, 122), colours[kind])
        centre = (64, 64)
    font = ImageFont.truetype(font_path, 72 * s.ss)
    m = s.mask()
    d = s.mask_draw(m)
    d.text((centre[0] * s.ss, centre[1] * s.ss), marks[kind], font=font, anchor="mm", fill=255)
    ink = PALETTE["ink"] if kind == "icon_warning" else PALETTE["white"]
    s.flat(m, ink)
    return s.result()
