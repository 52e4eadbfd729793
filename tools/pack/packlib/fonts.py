"""Bitmap fonts rasterised from Debian's DejaVu fonts, with the font script
that describes them (cFont, Init, Texture, Transform, one Char per glyph).

Each glyph's rectangle is its whole quad: as wide as the glyph's ink and pen
advance together and as high as the line; rectangles lie 2 px apart so that
filtering never picks up a neighbour. Char counts y from the top of the
picture.

A font may be condensed: every glyph drawn narrower by a factor, its height
kept, for texts that must stand in a narrow place (prices in a row of tools
67 px apart)."""
import math
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
                 sheet_width=None, condense=1.0):
        self.name, self.texture, self.px = name, texture, px
        self.outline = outline
        self.condense = condense
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
            glyph = Glyph(code, text, right - left, left, advance)
            if condense != 1.0:
                # Drawn at full width (drawn_*), then squeezed into these.
                glyph.drawn_width, glyph.drawn_left = glyph.width, glyph.left
                glyph.advance = int(round(self.font.getlength(text) * condense))
                glyph.left = int(math.floor(left * condense))
                glyph.width = max(1, int(math.ceil(right * condense)) - glyph.left)
            self.glyphs.append(glyph)
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
            if self.condense != 1.0:
                sheet.alpha_composite(self._condensed(g), (g.x, g.y))
            elif self.outline:
                sheet.alpha_composite(self._glyph_picture(g, g.width, g.left), (g.x, g.y))
            else:
                draw.text(origin, g.text, font=self.font, anchor="ls", fill=(255, 255, 255, 255))
        return sheet

    def _glyph_picture(self, g, width, left):
        """One glyph with its outline, if any, on its own transparent picture."""
        glyph = Image.new("RGBA", (width, self.line_height), (0, 0, 0, 0))
        ImageDraw.Draw(glyph).text((-left, self.ascent), g.text, font=self.font, anchor="ls",
                                   fill=(255, 255, 255, 255), stroke_width=self.outline,
                                   stroke_fill=(40, 30, 28, 255))
        return glyph

    def _condensed(self, g):
        """The glyph drawn at full width and squeezed sideways into its quad
        with the pen's origin kept on its column; filtered with premultiplied
        alpha, so the white fill picks up no dark from the clear pixels."""
        full = self._glyph_picture(g, g.drawn_width, g.drawn_left)
        small = full.convert("RGBa").resize((max(1, int(round(g.drawn_width * self.condense))), self.line_height),
                                            Image.LANCZOS).convert("RGBA")
        out = Image.new("RGBA", (g.width, self.line_height), (0, 0, 0, 0))
        out.paste(small, (int(round(g.drawn_left * self.condense)) - g.left, 0))
        return out

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
