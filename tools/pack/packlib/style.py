"""The pack's one drawing style: a fixed palette, one outline width, light
from the top left, soft shading. Shapes are drawn at SS times the final size
and reduced, which gives smooth edges without any random dithering."""
from PIL import Image, ImageChops, ImageDraw, ImageFilter

SS = 4                 # supersampling factor
OUTLINE = 2            # outline width in final pixels

PALETTE = {
    "ink": (40, 30, 28),
    "leaf": (86, 168, 62),
    "leaf_dark": (46, 112, 44),
    "sky": (108, 178, 226),
    "sea": (38, 120, 178),
    "sand": (236, 208, 142),
    "wood": (168, 112, 64),
    "wood_dark": (110, 70, 40),
    "cream": (250, 240, 214),
    "paper": (244, 232, 200),
    "red": (214, 64, 52),
    "orange": (240, 150, 48),
    "yellow": (248, 212, 70),
    "blue": (64, 126, 212),
    "violet": (140, 96, 190),
    "grey": (140, 140, 148),
    "white": (255, 255, 255),
    "skin": (240, 196, 156),
}


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighter(c, t=0.35):
    return mix(c, (255, 255, 255), t)


def darker(c, t=0.35):
    return mix(c, (0, 0, 0), t)


def outline_colour(c):
    return mix(c, PALETTE["ink"], 0.75)


class Sketch:
    """A supersampled RGBA canvas of final size (w, h)."""

    def __init__(self, w, h, background=(0, 0, 0, 0), ss=SS):
        self.w, self.h, self.ss = w, h, ss
        self.image = Image.new("RGBA", (w * ss, h * ss), background)

    def mask(self):
        return Image.new("L", self.image.size, 0)

    def mask_draw(self, mask):
        return ImageDraw.Draw(mask)

    def box(self, x0, y0, x1, y1):
        """Final-pixel box to supersampled coordinates."""
        k = self.ss
        return [x0 * k, y0 * k, x1 * k - 1, y1 * k - 1]

    def shaded(self, mask, base, outline=True):
        """Paints the shape in mask: base colour lit from the top left, darker
        toward the bottom right, with the style's outline. Works on the
        shape's bounding box only."""
        bbox = mask.getbbox()
        if not bbox:
            return
        m = mask.crop(bbox)
        bw, bh = m.size
        grad = Image.linear_gradient("L").rotate(45, resample=Image.BILINEAR, expand=True)
        side = grad.size[0]
        grad = grad.crop((side // 4, side // 4, side * 3 // 4, side * 3 // 4)).resize((bw, bh), Image.BILINEAR)
        hi = Image.new("RGB", (bw, bh), lighter(base, 0.3))
        lo = Image.new("RGB", (bw, bh), darker(base, 0.2))
        layer = Image.composite(lo, hi, grad).convert("RGBA")
        if outline:
            # Erode with a border of empty pixels around the crop, so that the
            # outline also runs along the bounding box's edges.
            pad = OUTLINE * self.ss
            padded = Image.new("L", (bw + 2 * pad, bh + 2 * pad), 0)
            padded.paste(m, (pad, pad))
            inner = padded.filter(ImageFilter.MinFilter(2 * pad + 1)).crop((pad, pad, pad + bw, pad + bh))
            ring = ImageChops.subtract(m, inner)
            layer.paste(outline_colour(base) + (255,), (0, 0), ring)
        layer.putalpha(m)
        self.image.alpha_composite(layer, bbox[:2])

    def flat(self, mask, colour):
        # Only the mask's bounding box changes: outside it the layer is
        # fully transparent, which compositing leaves as it was.
        bbox = mask.getbbox()
        if not bbox:
            return
        m = mask.crop(bbox)
        layer = Image.new("RGBA", m.size, colour if len(colour) == 4 else colour + (255,))
        alpha = ImageChops.multiply(layer.getchannel("A"), m)
        layer.putalpha(alpha)
        self.image.alpha_composite(layer, bbox[:2])

    def ellipse(self, box, base, outline=True):
        m = self.mask()
        self.mask_draw(m).ellipse(self.box(*box), fill=255)
        self.shaded(m, base, outline)

    def rounded(self, box, radius, base, outline=True):
        m = self.mask()
        self.mask_draw(m).rounded_rectangle(self.box(*box), radius=radius * self.ss, fill=255)
        self.shaded(m, base, outline)

    def polygon(self, points, base, outline=True):
        m = self.mask()
        self.mask_draw(m).polygon([(x * self.ss, y * self.ss) for x, y in points], fill=255)
        self.shaded(m, base, outline)

    def text_mask(self, xy, text, font):
        """Mask of text drawn with a PIL font made at SS times its size."""
        m = self.mask()
        self.mask_draw(m).text((xy[0] * self.ss, xy[1] * self.ss), text, font=font, fill=255)
        return m

    def result(self):
        return self.image.resize((self.w, self.h), Image.LANCZOS)


def clear_border(image, x, y, w, h, width=1):
    """Makes a frame cell's outer ring of pixels fully transparent: areas are
    cut edge to edge and filtered, so a cell must not bleed into its
    neighbour."""
    px = image.load()
    for i in range(w):
        for k in range(width):
            px[x + i, y + k] = (0, 0, 0, 0)
            px[x + i, y + h - 1 - k] = (0, 0, 0, 0)
    for j in range(h):
        for k in range(width):
            px[x + k, y + j] = (0, 0, 0, 0)
            px[x + w - 1 - k, y + j] = (0, 0, 0, 0)
