"""Bitmap fonts rasterised from Debian's DejaVu fonts, with the font script
that describes them (cFont, Init, Texture, Transform, one Char per glyph).

Each glyph's rectangle is its whole quad: as wide as the glyph's ink and pen
advance together and as high as the line; rectangles lie 2 px apart so that
filtering never picks up a neighbour. Char counts y from the top of the
picture."""
import os
import subprocess
import unicodedata

from PIL import Image, ImageDraw, ImageFont

from .atlas import lua_number, pow2

GAP = 2


def font_dir():
    """The folder of the DejaVu TrueType files, asked of the package."""
    out = subprocess.run(["dpkg", "-L", "fonts-dejavu-core"], check=True,
                         capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.endswith(".ttf"):
            return os.path.dirname(line)
    raise RuntimeError("fonts-dejavu-core lists no .ttf file")


def licence_path():
    return "/usr/share/doc/fonts-dejavu-core/copyright"


def charset():
    """Byte value -> text to draw: printable ASCII and every printable
    windows-1251 character above 0x7F (typed text and player names reach the
    fonts in that code page)."""
    chars = {}
    for n in range(0x20, 0x7F):
        chars[n] = chr(n)
    for n in range(0x80, 0x100):
        try:
            ch = bytes([n]).decode("cp1251")
        except UnicodeDecodeError:
            continue
        cat = unicodedata.category(ch)
        if cat == "Cc":
            continue
        if ch == "\u00a0":
            ch = " "
        elif ch == "\u00ad":
            ch = "-"
        chars[n] = ch
    return chars


class Glyph:
    def __init__(self, code, text, width, left, advance):
        self.code, self.text = code, text
        self.width, self.left, self.advance = width, left, advance
        self.x = self.y = 0


class BitmapFont:
    def __init__(self, name, texture, ttf, px, monospaced=False, outline=0,
                 sheet_width=None):
        self.name, self.texture, self.px = name, texture, px
        self.outline = outline
        self.ttf = ttf
        self.font = ImageFont.truetype(ttf, px)
        family, style_name = self.font.getname()
        self.family, self.style = family, style_name
        ascent, descent = self.font.getmetrics()
        self.ascent = ascent + outline
        self.line_height = ascent + descent + 2 * outline
        self.glyphs = []
        for code, text in sorted(charset().items()):
            advance = int(round(self.font.getlength(text)))
            x0, _, x1, _ = self.font.getbbox(text, anchor="ls", stroke_width=outline)
            left = min(0, x0)
            right = max(advance, x1)
            self.glyphs.append(Glyph(code, text, right - left, left, advance))
        if monospaced:
            adv = max(g.advance for g in self.glyphs)
            for g in self.glyphs:
                g.advance = adv
        self.size = self._layout(sheet_width)

    def _layout(self, sheet_width):
        width = sheet_width or (256 if self.px <= 14 else 512)
        x = y = 0
        for g in self.glyphs:
            if x + g.width > width:
                x = 0
                y += self.line_height + GAP
            g.x, g.y = x, y
            x += g.width + GAP
        return width, pow2(y + self.line_height)

    def render(self):
        """White glyphs on full transparency (the text colour tints them);
        an outline, when asked for, in dark ink."""
        sheet = Image.new("RGBA", self.size, (255, 255, 255, 0))
        draw = ImageDraw.Draw(sheet)
        for g in self.glyphs:
            if not g.text.strip():
                continue
            origin = (g.x - g.left, g.y + self.ascent)
            if self.outline:
                glyph = Image.new("RGBA", (g.width, self.line_height), (0, 0, 0, 0))
                gd = ImageDraw.Draw(glyph)
                gd.text((-g.left, self.ascent), g.text, font=self.font, anchor="ls",
                        fill=(255, 255, 255, 255), stroke_width=self.outline,
                        stroke_fill=(40, 30, 28, 255))
                sheet.alpha_composite(glyph, (g.x, g.y))
            else:
                draw.text(origin, g.text, font=self.font, anchor="ls", fill=(255, 255, 255, 255))
        return sheet

    def script(self):
        W, H = self.size
        lines = ["-- Font %s (generated; the glyphs derive from the DejaVu fonts, see the licence in licenses/)." % self.name,
                 'local font = cFont("%s")' % self.name,
                 'font:Init("%s", "%s", %d, %d)' % (self.family, self.style, self.px, self.line_height),
                 'font:Texture("%s", %d, %d)' % (self.texture, W, H),
                 "font:Transform(0, 1, 1)"]
        for g in self.glyphs:
            lines.append("font:Char(string.char(%d), %d, recti(%d, %d, %d, %d), %s, %d)" % (
                g.code, g.width, g.x, g.y, g.width, self.line_height, lua_number(g.left), g.advance))
        return "\n".join(lines) + "\n"
