"""Drawing kit shared by the skin generator: one palette, supersampled shapes,
crisp text and the few building blocks (panels, wells, LEDs) every face uses.

Shapes are drawn four times larger and scaled down, which gives smooth edges
without any anti-aliasing support in the drawing calls themselves; text is
drawn afterwards at the final size so it stays sharp.
"""
from PIL import Image, ImageDraw, ImageFont, ImageFilter

SS = 4

# One palette for the whole program: graphite body, cool grey controls, the
# cyan readout colour the dashboard fills with, and a few signal colours.
BODY = (36, 40, 47)
BODY_HI = (46, 51, 60)
PANEL = (44, 49, 57)
PANEL_EDGE = (24, 27, 32)
RIM = (70, 77, 88)
WELL = (26, 29, 34)
TEXT = (228, 233, 240)
TEXT_DIM = (150, 159, 172)
TEXT_OFF = (98, 106, 117)
LCD = (28, 210, 252)          # face readout colour the code fills with
LCD_DARK = (7, 46, 58)
LCD_MID = (17, 150, 184)
ACCENT = (28, 210, 252)
ACCENT_DEEP = (12, 130, 170)
RED = (232, 72, 77)
RED_DEEP = (150, 28, 36)
GREEN = (61, 214, 140)
AMBER = (245, 165, 36)
BTN_TOP = (82, 90, 102)
BTN_BOT = (58, 64, 74)
BTN_DN_TOP = (30, 34, 40)
BTN_DN_BOT = (42, 47, 55)
BTN_OFF = (48, 52, 59)

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"


def font(size, bold=False, cond=False, mono=False):
    if mono:
        name = "DejaVuSansMono-Bold.ttf" if bold else "DejaVuSansMono.ttf"
    elif cond:
        name = "DejaVuSansCondensed-Bold.ttf" if bold else "DejaVuSansCondensed.ttf"
    else:
        name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(FONT_DIR + name, size)


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Canvas:
    """A picture drawn at SS times its size; `image()` gives the final one."""

    def __init__(self, w, h, bg=BODY):
        self.w, self.h = w, h
        self.big = Image.new("RGB", (w * SS, h * SS), bg)
        self.d = ImageDraw.Draw(self.big)

    @staticmethod
    def _box(x, y, w, h):
        return [x * SS, y * SS, (x + w) * SS - 1, (y + h) * SS - 1]

    def rect(self, x, y, w, h, fill):
        self.d.rectangle(self._box(x, y, w, h), fill=fill)

    def rrect(self, x, y, w, h, r, fill=None, outline=None, width=1):
        self.d.rounded_rectangle(self._box(x, y, w, h), radius=r * SS, fill=fill,
                                 outline=outline, width=int(width * SS))

    def gradient_rrect(self, x, y, w, h, r, top, bottom, outline=None):
        """A rounded rectangle filled with a vertical gradient."""
        grad = Image.new("RGB", (1, max(2, h * SS)))
        for i in range(h * SS):
            grad.putpixel((0, i), lerp(top, bottom, i / max(1, h * SS - 1)))
        grad = grad.resize((w * SS, h * SS))
        mask = Image.new("L", (w * SS, h * SS), 0)
        ImageDraw.Draw(mask).rounded_rectangle([0, 0, w * SS - 1, h * SS - 1],
                                               radius=r * SS, fill=255)
        self.big.paste(grad, (x * SS, y * SS), mask)
        if outline:
            self.rrect(x, y, w, h, r, outline=outline)

    def ellipse(self, cx, cy, rx, ry, fill=None, outline=None, width=1):
        self.d.ellipse([(cx - rx) * SS, (cy - ry) * SS, (cx + rx) * SS, (cy + ry) * SS],
                       fill=fill, outline=outline, width=int(width * SS))

    def polygon(self, pts, fill):
        self.d.polygon([(px * SS, py * SS) for px, py in pts], fill=fill)

    def line(self, pts, fill, width=1):
        self.d.line([(px * SS, py * SS) for px, py in pts], fill=fill, width=int(width * SS),
                    joint="curve")

    def glow(self, cx, cy, r, colour, strength=0.6):
        """A soft halo, used for lit LEDs and the armed record button."""
        layer = Image.new("RGB", self.big.size, (0, 0, 0))
        mask = Image.new("L", self.big.size, 0)
        ImageDraw.Draw(mask).ellipse([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS,
                                      (cy + r) * SS], fill=int(255 * strength))
        mask = mask.filter(ImageFilter.GaussianBlur(r * SS / 2.5))
        layer.paste(colour, (0, 0, *self.big.size))
        self.big.paste(layer, (0, 0), mask)

    def image(self):
        return self.big.resize((self.w, self.h), Image.LANCZOS)


def text(img, x, y, s, f, fill=TEXT, anchor="la"):
    ImageDraw.Draw(img).text((x, y), s, font=f, fill=fill, anchor=anchor)


def text_shadowed(img, x, y, s, f, fill=TEXT, anchor="la", shadow=(16, 18, 22)):
    d = ImageDraw.Draw(img)
    d.text((x, y + 1), s, font=f, fill=shadow, anchor=anchor)
    d.text((x, y), s, font=f, fill=fill, anchor=anchor)


def well(c, x, y, w, h, r=3, fill=WELL):
    """A recessed field: where edits, lists and readouts sit."""
    c.rrect(x - 1, y - 1, w + 2, h + 2, r + 1, fill=PANEL_EDGE)
    c.rrect(x, y, w, h, r, fill=fill)
    c.rect(x + r, y + h - 1, w - 2 * r, 1, lerp(fill, RIM, 0.5))


def panel(c, x, y, w, h, r=6, fill=PANEL):
    """A raised group panel with a light top rim and a dark outline."""
    c.rrect(x, y, w, h, r, fill=PANEL_EDGE)
    c.rrect(x + 1, y + 1, w - 2, h - 2, r - 1, fill=lerp(fill, RIM, 0.45))
    c.rrect(x + 1, y + 2, w - 2, h - 3, r - 1, fill=fill)


def lcd(c, x, y, w, h, r=4):
    """The cyan readout window the dashboard texts are written into. Flat:
    the readouts refill their own rectangles with this exact colour."""
    c.rrect(x - 2, y - 2, w + 4, h + 4, r + 2, fill=PANEL_EDGE)
    c.rrect(x, y, w, h, r, fill=LCD)
