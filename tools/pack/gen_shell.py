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


def loading_backdrop(trough=False):
    """1024 x 1024: the 1024 x 768 screen sits at the picture's bottom; sky,
    sea and the island's silhouette with a sun. With trough, the dark groove
    the loading bar (512 x 32 at 256, 96 from the screen's bottom left)
    fills, so the part still to load shows."""
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
    if trough:
        top = 1024 - 96 - 32
        s.rounded((250, top - 6, 774, top + 38), 12, darker(PALETTE["wood"], 0.45))
        s.rounded((255, top - 1, 769, top + 33), 9, darker(PALETTE["wood_dark"], 0.5), outline=False)
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


def small_button_frames(w, h):
    """A round button with a cross (close), four states like the big one."""
    frames = []
    for base, dy in ((PALETTE["red"], 0), (darker(PALETTE["red"], 0.2), 1),
                     (lighter(PALETTE["red"], 0.25), 0), (PALETTE["grey"], 0)):
        s = Sketch(w, h)
        s.ellipse((3, 3 + dy, w - 3, h - 3 + dy), base)
        m = s.mask()
        d = s.mask_draw(m)
        k = s.ss
        for a, b in (((w * 0.35, h * 0.35 + dy), (w * 0.65, h * 0.65 + dy)),
                     ((w * 0.65, h * 0.35 + dy), (w * 0.35, h * 0.65 + dy))):
            d.line([(a[0] * k, a[1] * k), (b[0] * k, b[1] * k)], fill=255, width=4 * k)
        s.flat(m, (255, 255, 255))
        frames.append(s.result())
    return frames


def wide_button_frames(w, h):
    """A small button for a caption ("Menu", "Next", "Rate"): a plain wooden
    pill that stretches sideways and leaves the middle free for light text;
    four states like the big one."""
    frames = []
    for base, dy in ((PALETTE["wood"], 0), (darker(PALETTE["wood"], 0.2), 1),
                     (lighter(PALETTE["wood"], 0.12), 0), (PALETTE["grey"], 0)):
        s = Sketch(w, h)
        s.rounded((2, 2 + dy, w - 2, h - 2 + dy - 1), 12, base)
        m = s.mask()
        s.mask_draw(m).rounded_rectangle(s.box(8, 5 + dy, w - 8, 10 + dy), radius=3 * s.ss, fill=60)
        s.flat(m, (255, 255, 255))
        frames.append(s.result())
    return frames


def check_frames(checked):
    """Normal and hover (hover below), a box with a tick when checked."""
    frames = []
    for base in (PALETTE["cream"], lighter(PALETTE["yellow"], 0.4)):
        s = Sketch(32, 32)
        s.rounded((3, 3, 29, 29), 6, base)
        if checked:
            s.polygon([(8, 16), (13, 22), (25, 7), (27, 10), (13, 27), (6, 19)], PALETTE["leaf"])
        frames.append(s.result())
    return frames


def tab_frames(w, h):
    """A tab's four states from the top down, as the button reads them:
    normal (set back, shaded), checked (the panel's own paper, so the chosen
    tab joins the panel below it), hover, disabled. Each runs on past its
    cell's bottom edge into the panel."""
    frames = []
    back = darker(PALETTE["paper"], 0.15)
    for colour in (back, PALETTE["paper"], lighter(back, 0.3), PALETTE["grey"]):
        s = Sketch(w, h)
        s.rounded((2, 2, w - 2, h + 10), 10, colour)
        frames.append(s.result())
    return frames


def knob_frames(w, h):
    frames = []
    for base in (PALETTE["orange"], lighter(PALETTE["orange"], 0.3)):
        s = Sketch(w, h)
        s.rounded((3, 2, w - 3, h - 2), 6, base)
        frames.append(s.result())
    return frames


def track_frames(w, h):
    """A slider's groove, normal and hover (hover below). A tall picture is
    the upright slider's: a narrow groove down the middle, under a knob as
    wide as the control."""
    frames = []
    for base in (darker(PALETTE["wood"], 0.2), lighter(PALETTE["wood"], 0.15)):
        s = Sketch(w, h)
        if h > w:
            s.rounded((w // 2 - 6, 2, w // 2 + 6, h - 2), 6, base)
        else:
            s.rounded((2, 2, w - 2, h - 2), 6, base)
        frames.append(s.result())
    return frames


def upright_knob_frames(w, h):
    frames = []
    for base in (PALETTE["orange"], lighter(PALETTE["orange"], 0.3)):
        s = Sketch(w, h)
        s.rounded((2, 3, w - 2, h - 3), 6, base)
        for y in (h // 2 - 4, h // 2, h // 2 + 4):
            s.rounded((w // 2 - 7, y - 1, w // 2 + 7, y + 1), 1, darker(base, 0.25), outline=False)
        frames.append(s.result())
    return frames


def bar(w, h, base, radius=8):
    s = Sketch(w, h)
    s.rounded((2, 2, w - 2, h - 2), radius, base)
    return s.result()


def arrow_frames(w, h, count):
    """A downward arrow bobbing up and down (a loop)."""
    frames = []
    for k in range(count):
        dy = round(4 * math.sin(2 * math.pi * k / count))
        s = Sketch(w, h)
        s.polygon([(w * 0.3, 6 + dy), (w * 0.7, 6 + dy), (w * 0.7, h * 0.45 + dy), (w - 4, h * 0.45 + dy),
                   (w / 2, h - 8 + dy), (4, h * 0.45 + dy), (w * 0.3, h * 0.45 + dy)], PALETTE["orange"])
        frames.append(s.result())
    return frames


def factory_arrow(w, h):
    """What goes into a factory becomes what comes out: a right-pointing
    arrow between the two icons of a factory panel, light on the panel's
    wood so it reads when it blinks."""
    s = Sketch(w, h)
    m = h / 2
    s.polygon([(3, m - 3), (w * 0.5, m - 3), (w * 0.5, 4), (w - 3, m), (w * 0.5, h - 4), (w * 0.5, m + 3),
               (3, m + 3)], PALETTE["yellow"])
    return s.result()


def disc(w, h, base, inner=None):
    s = Sketch(w, h)
    s.ellipse((3, 3, w - 3, h - 3), base)
    if inner:
        s.ellipse((w * 0.2, h * 0.2, w * 0.8, h * 0.8), inner, outline=False)
    return s.result()


# Skin pieces by area name; each maker takes the frame size from the manifest
# and returns the area's frames.
SKIN = {
    "button": button_frames,
    "button_small": small_button_frames,
    "button_wide": wide_button_frames,
    "frame": lambda w, h: [panel(w, h, PALETTE["wood"], 14)],
    "panel": lambda w, h: [panel(w, h, PALETTE["paper"], 10)],
    "progress_back": lambda w, h: [progress_piece(w, h, darker(PALETTE["wood"], 0.3))],
    "progress_fill": lambda w, h: [progress_piece(w, h, PALETTE["leaf"])],
    "check": lambda w, h: check_frames(False),
    "check_checked": lambda w, h: check_frames(True),
    "tab": tab_frames,
    "slider_track": track_frames,
    "slider_knob": knob_frames,
    "slider_track_v": track_frames,
    "slider_knob_v": upright_knob_frames,
    "list_item": lambda w, h: [bar(w, h, PALETTE["cream"], 4)],
    "list_select": lambda w, h: [bar(w, h, lighter(PALETTE["yellow"], 0.3), 4)],
    "edit": lambda w, h: [bar(w, h, PALETTE["white"], 6)],
    "hint_frame": lambda w, h: [panel(w, h, PALETTE["cream"], 16)],
    "hint_arrow": lambda w, h: arrow_frames(w, h, 4),
    "factory_arrow": lambda w, h: [factory_arrow(w, h)],
    "money_frame": lambda w, h: [bar(w, h, PALETTE["wood"], 12)],
    "clock_back": lambda w, h: [disc(w, h, PALETTE["cream"], lighter(PALETTE["sky"], 0.4))],
    "medal_holder": lambda w, h: [disc(w, h, PALETTE["wood"], darker(PALETTE["wood"], 0.3))],
}


def gui_system(manifest_row):
    areas = []
    for row in manifest_row["areas"]:
        w, h = row["size"]
        frames = SKIN[row["name"]](w, h)
        areas.append(atlas.Area(row["name"], frames, columns=row.get("columns", 1), rate=row.get("rate", 10.0)))
    return areas


def cursor():
    """32 x 64, drawn with its top-left corner at the mouse: the arrow's tip
    is the picture's top-left pixel; the lower half stays clear."""
    s = Sketch(32, 64)
    s.polygon([(1, 1), (1, 27), (8, 21), (13, 31), (18, 29), (13, 19), (22, 19)], PALETTE["white"])
    return s.result()


def cursor_hand():
    """32 x 64 like the arrow, drawn from the same corner: a hand pointing
    up, the tip of its finger at the picture's top-left corner, so a click
    lands where the finger points; the lower half stays clear."""
    s = Sketch(32, 64)
    s.rounded((8, 14, 26, 32), 4, PALETTE["white"])
    for x in (13, 17, 21):
        s.rounded((x, 12, x + 5, 20), 2, PALETTE["white"])
    s.polygon([(8, 22), (3, 16), (1, 18), (7, 28)], PALETTE["white"])
    s.rounded((1, 1, 8, 22), 3, PALETTE["white"])
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


def splash_engine(font_path):
    """512 x 512 card naming the engine, shown first on the splash screen."""
    s = Sketch(512, 512, PALETTE["ink"] + (255,))
    s.rounded((96, 176, 416, 336), 24, darker(PALETTE["sea"], 0.3))
    font = ImageFont.truetype(font_path, 64 * s.ss)
    m = s.mask()
    s.mask_draw(m).text((256 * s.ss, 242 * s.ss), "vek", font=font, anchor="mm", fill=255)
    s.flat(m, PALETTE["white"])
    small = ImageFont.truetype(font_path, 22 * s.ss)
    m = s.mask()
    s.mask_draw(m).text((256 * s.ss, 300 * s.ss), "engine", font=small, anchor="mm", fill=255)
    s.flat(m, lighter(PALETTE["sky"], 0.3))
    return s.result().convert("RGB")


def splash_title(font_path):
    """1024 x 1024: the loading scene with the game's name across the sky;
    the splash shows its lower 1024 x 768."""
    img = loading_backdrop()
    s = Sketch(1024, 1024)
    font = ImageFont.truetype(font_path, 88 * s.ss)
    m = s.mask()
    s.mask_draw(m).text((512 * s.ss, 318 * s.ss), "Zembro Lavine", font=font, anchor="mm", fill=255)
    s.shaded(m, PALETTE["yellow"])
    over = s.result()
    img.paste(over, (0, 0), over)
    return img
