"""The main window's four cursors (resources 129-132), 32 x 32, drawn in
the skin's palette: a pointing hand with sound waves over the line rows of
the audio-line box, a plain pointing hand over its buttons, and two more
the start-up loads beside them (hand with a record dot, arrow with waves).
Written as classic .cur files (32-bit BGRA plus AND mask)."""
import struct

from PIL import Image, ImageDraw, ImageFilter

from draw import ACCENT, RED

SIZE = 32
SS = 4


def _scaled(pts):
    return [(x * SS, y * SS) for x, y in pts]


def _hand_mask():
    m = Image.new("L", (SIZE * SS, SIZE * SS), 0)
    d = ImageDraw.Draw(m)

    def rr(x, y, w, h, r):
        d.rounded_rectangle([x * SS, y * SS, (x + w) * SS - 1, (y + h) * SS - 1],
                            radius=r * SS, fill=255)
    rr(9, 1, 5, 17, 2.5)      # the pointing finger
    rr(13, 9, 4.5, 10, 2.2)   # three folded fingers
    rr(17, 10, 4.5, 10, 2.2)
    rr(21, 12, 4, 9, 2)
    rr(8, 15, 17.5, 12, 3.5)  # palm
    d.polygon(_scaled([(9, 17), (4.5, 13.5), (2.5, 15), (3, 17.5), (8.5, 25), (10, 20)]),
              fill=255)       # thumb
    rr(9, 24, 15, 6, 2)       # wrist
    return m


def _arrow_mask():
    m = Image.new("L", (SIZE * SS, SIZE * SS), 0)
    ImageDraw.Draw(m).polygon(_scaled([(1, 1), (1, 22), (6, 17.5), (9.5, 26), (12.5, 25),
                                       (9, 16.5), (15.5, 16.5)]), fill=255)
    return m


def _compose(mask, extra=None):
    """White shape with a black rim, optional accents, shrunk to 32 x 32."""
    rim = mask.filter(ImageFilter.MaxFilter(2 * SS + 1))
    img = Image.new("RGBA", mask.size, (0, 0, 0, 0))
    img.paste((16, 18, 22, 255), (0, 0), rim)
    img.paste((250, 251, 253, 255), (0, 0), mask)
    if extra:
        extra(ImageDraw.Draw(img))
    return img.resize((SIZE, SIZE), Image.LANCZOS)


def _waves(d, cx, cy):
    for r in (3, 6):
        d.arc([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], -60, 60,
              fill=ACCENT + (255,), width=int(1.6 * SS))


def _dot(d, cx, cy):
    d.ellipse([(cx - 3) * SS, (cy - 3) * SS, (cx + 3) * SS, (cy + 3) * SS],
              fill=RED + (255,), outline=(16, 18, 22, 255), width=SS)


def cursors():
    """(resource id, image, hotspot) of the four cursors."""
    return [
        (129, _compose(_hand_mask(), lambda d: _waves(d, 22, 6)), (11, 1)),
        (130, _compose(_hand_mask()), (11, 1)),
        (131, _compose(_hand_mask(), lambda d: _dot(d, 25, 5)), (11, 1)),
        (132, _compose(_arrow_mask(), lambda d: _waves(d, 19, 7)), (1, 1)),
    ]


def write_cur(path, img, hotspot):
    px = img.load()
    xor = bytearray()
    andm = bytearray()
    row = ((SIZE + 31) // 32) * 4
    for y in range(SIZE - 1, -1, -1):
        bits = bytearray(row)
        for x in range(SIZE):
            r, g, b, a = px[x, y]
            if a < 128:
                a = 0
                bits[x // 8] |= 0x80 >> (x % 8)
            xor += bytes((b, g, r, a))
        andm += bits
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(andm),
                         0, 0, 0, 0)
    blob = header + bytes(xor) + bytes(andm)
    out = struct.pack("<HHH", 0, 2, 1)
    out += struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hotspot[0], hotspot[1], len(blob), 22)
    with open(path, "wb") as f:
        f.write(out + blob)
