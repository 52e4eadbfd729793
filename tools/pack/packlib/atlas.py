"""Packing named sprite areas into one power-of-two texture and describing
them in the ".tex" uv form.

An area is a grid of equal frame cells (columns x rows); frame k sits in row
k // columns, column k % columns, row 0 at the top of the picture. Areas are
placed on shelves, tallest first, 2 px apart; every cell's outer pixel ring
is cleared to full transparency after drawing."""
from PIL import Image

from . import style

GAP = 2
MAX_SIDE = 4096


class Area:
    def __init__(self, name, frames, columns=None, rate=10.0):
        """frames: list of RGBA images, all the same size (the cell size)."""
        if not frames:
            raise ValueError("area %s has no frames" % name)
        size = frames[0].size
        for f in frames:
            if f.size != size:
                raise ValueError("area %s: frames differ in size" % name)
        self.name = name
        self.frames = frames
        self.columns = columns or len(frames)
        if len(frames) % self.columns:
            # The node would hold empty cells as frames.
            raise ValueError("area %s: %d frames do not fill rows of %d" % (name, len(frames), self.columns))
        self.rows = (len(frames) + self.columns - 1) // self.columns
        self.cell = size
        self.rate = rate
        # Opaque backdrops and seamless tiles keep their edge pixels: they
        # are drawn edge to edge or wrapped, never filtered against a
        # neighbour.
        self.keep_edges = False
        self.x = self.y = 0

    @property
    def width(self):
        return self.cell[0] * self.columns

    @property
    def height(self):
        return self.cell[1] * self.rows


def _shelf(areas, width):
    """Places areas on shelves inside the given width; returns the height
    used, or None when an area is wider than the texture."""
    x = y = shelf_h = 0
    for a in areas:
        if a.width > width:
            return None
        if x and x + a.width > width:
            y += shelf_h + GAP
            x = shelf_h = 0
        a.x, a.y = x, y
        x += a.width + GAP
        shelf_h = max(shelf_h, a.height)
    return y + shelf_h


def pow2(n):
    p = 1
    while p < n:
        p *= 2
    return p


def pack(areas):
    """Chooses the smallest power-of-two texture (by area, then squarest)
    that holds every area; sets each area's x, y. Returns (W, H)."""
    order = sorted(areas, key=lambda a: (-a.height, -a.width, a.name))
    best = None
    w = pow2(max(a.width for a in areas))
    while w <= MAX_SIDE:
        used = _shelf(order, w)
        if used is not None:
            h = pow2(used)
            if h <= MAX_SIDE:
                key = (w * h, abs(w - h), w)
                if best is None or key < best[0]:
                    best = (key, w, h)
        w *= 2
    if best is None:
        raise ValueError("areas do not fit a %d texture" % MAX_SIDE)
    _, w, h = best
    _shelf(order, w)
    return w, h


def render(areas, size):
    """Draws the packed areas into one RGBA picture."""
    sheet = Image.new("RGBA", size, (0, 0, 0, 0))
    for a in areas:
        fw, fh = a.cell
        for k, frame in enumerate(a.frames):
            cx = a.x + (k % a.columns) * fw
            cy = a.y + (k // a.columns) * fh
            sheet.paste(frame, (cx, cy))
            if not a.keep_edges:
                style.clear_border(sheet, cx, cy, fw, fh)
    return sheet


def uv_rect(a, size):
    """The area's uv rectangle: v counts up from the picture's bottom row."""
    W, H = size
    return (a.x / W, 1.0 - (a.y + a.height) / H, a.width / W, a.height / H)


def lua_number(x):
    if float(x).is_integer():
        return "%d" % int(x)
    return repr(float(x))


def tex_script(texture, areas, size):
    """The ".tex" Lua script of a texture (uv form of AddNode)."""
    lines = ["-- Sprite areas of the texture %s (generated)." % texture,
             "local info = cTextureInfo(%s, false)" % lua_string(texture)]
    for a in areas:
        u, v, w, h = uv_rect(a, size)
        lines.append("info:AddNode(%s, rectf(%s, %s, %s, %s), %d, %d, %s)" % (
            lua_string(a.name), lua_number(u), lua_number(v), lua_number(w), lua_number(h),
            a.columns, a.rows, lua_number(a.rate)))
    return "\n".join(lines) + "\n"


def lua_string(s):
    out = ['"']
    for ch in s.encode("latin-1"):
        c = chr(ch)
        if c in '"\\':
            out.append("\\" + c)
        elif 32 <= ch < 127:
            out.append(c)
        else:
            out.append("\\%03d" % ch)
    out.append('"')
    return "".join(out)
