#!/usr/bin/env python3
"""Generates the program's skin at build time: every face, button, slider and
dashboard bitmap (24-bit BMP), the program icon and cursors, the line-test
sound clips, and the resource scripts that embed them.

usage: generate.py OUTDIR [--preview]
  OUTDIR/bmp/*.bmp, OUTDIR/brindle.ico, OUTDIR/sound/*.wav,
  OUTDIR/cursor/*.cur, OUTDIR/skin.rc (type "BMP" and "SOUND" by name),
  OUTDIR/skin-icon.rc (icon 128, cursors 129-132)
  OUTDIR/sablet-skin.rc (the web recorder control's BITMAPs and its GIF)
  --preview also writes OUTDIR/preview/*.png with buttons placed on faces.
"""
import math
import os
import struct
import sys
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from PIL import Image  # noqa: E402

import controls  # noqa: E402
import cursors  # noqa: E402
import faces  # noqa: E402
import sablet  # noqa: E402
from draw import ACCENT, BODY, PANEL_EDGE, RED, TEXT, Canvas, lerp  # noqa: E402


# ----- icon ----------------------------------------------------------------

def icon_image(size):
    """A rounded graphite tile with a red record dot and a cyan level arc."""
    c = Canvas(size, size, (0, 0, 0))
    s = size / 32.0
    c.rrect(1 * s, 1 * s, 30 * s, 30 * s, 7 * s, fill=PANEL_EDGE)
    c.gradient_rrect(int(2 * s), int(2 * s), int(round(28 * s)), int(round(28 * s)), 6 * s,
                     (70, 77, 88), BODY)
    c.ellipse(16 * s, 16 * s, 8.5 * s, 8.5 * s, fill=(120, 24, 30))
    c.ellipse(16 * s, 16 * s, 7 * s, 7 * s, fill=RED)
    c.ellipse(13.6 * s, 13.4 * s, 2.4 * s, 1.7 * s, fill=lerp(RED, (255, 255, 255), 0.5))
    for i, hgt in enumerate((3, 6, 4)):
        c.rrect((22.6 + i * 2.4) * s, (27 - hgt) * s, 1.6 * s, hgt * s, 0.6 * s, fill=ACCENT)
    img = c.image().convert("RGBA")
    # Transparent outside the tile: mask from a supersampled rounded square.
    mask = Canvas(size, size, (0, 0, 0))
    mask.rrect(1 * s, 1 * s, 30 * s, 30 * s, 7 * s, fill=(255, 255, 255))
    img.putalpha(mask.image().convert("L"))
    return img


def write_ico(path, sizes=(16, 24, 32, 48)):
    """Classic DIB icon entries (32-bit BGRA plus AND mask): every loader,
    Wine's included, reads these."""
    entries, blobs = [], []
    for n in sizes:
        img = icon_image(n)
        px = img.load()
        xor = bytearray()
        for y in range(n - 1, -1, -1):
            for x in range(n):
                r, g, b, a = px[x, y]
                xor += bytes((b, g, r, a))
        row = ((n + 31) // 32) * 4
        andm = bytearray()
        for y in range(n - 1, -1, -1):
            bits = bytearray(row)
            for x in range(n):
                if px[x, y][3] < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            andm += bits
        header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, len(xor) + len(andm),
                             0, 0, 0, 0)
        blobs.append(header + bytes(xor) + bytes(andm))
    offset = 6 + 16 * len(sizes)
    out = bytearray(struct.pack("<HHH", 0, 1, len(sizes)))
    for n, blob in zip(sizes, blobs):
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


# ----- line-test clips -----------------------------------------------------

def write_clip(path, number, rate=11025, seconds=1.6):
    """A short two-note chime, different for every line so a listener can
    tell which line is playing; loud enough to lift a one-second test
    recording well above the silence level."""
    base = 330.0 * (2 ** ((number - 1) / 12.0))
    n = int(rate * seconds)
    frames = bytearray()
    for i in range(n):
        t = i / rate
        freq = base if t < seconds / 2 else base * 1.5
        env = min(1.0, t / 0.02, (seconds - t) / 0.05)
        v = 0.55 * env * (math.sin(2 * math.pi * freq * t) +
                          0.25 * math.sin(4 * math.pi * freq * t)) / 1.25
        frames += struct.pack("<h", int(max(-1.0, min(1.0, v)) * 32767))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


# ----- previews ------------------------------------------------------------

MAIN_BUTTONS = [
    ("IDR_BTN16BIT", 26, 35), ("IDR_BTN8BIT", 26, 63), ("IDR_BTNSTEREO", 26, 105),
    ("IDR_BTNMONO", 26, 132), ("IDR_BTNSETTING", 119, 252), ("IDR_BTNMP3SET", 386, 308),
    ("IDR_BTNWMASET", 469, 308), ("IDR_BTNSETTING", 386, 251), ("IDR_BTNSETTING", 386, 280),
    ("IDR_BTNTRACKSTART", 469, 251), ("IDR_BTNSCHEDULESTART", 469, 280),
    ("IDR_BTNSETTING", 42, 322), ("IDR_BTNAPPLY", 207, 252),
    ("IDR_BTNCHECKBOX", 26, 207), ("IDR_BTNCHECKBOX", 26, 226), ("IDR_BTNCHECKBOX", 26, 188),
    ("IDR_BTNCHECKBOX", 148, 308), ("IDR_BTNCHECKBOX", 148, 327), ("IDR_BTNCHECKBOX", 148, 346),
    ("IDR_BTNRADIO", 422, 342), ("IDR_BTNRADIO", 354, 342), ("IDR_BTNRADIO", 489, 342),
    ("IDR_BTNSTOP", 253, 187), ("IDR_BTNPAUSE", 313, 187), ("IDR_BTNPLAY", 373, 187),
    ("IDR_BTNRECORD", 433, 187), ("IDR_BTNEJECT", 493, 187), ("IDR_BTNDETECT", 571, 30),
    ("IDR_BTNSYSMIN", 504, 2), ("IDR_BTNSYSCLOSE", 531, 1), ("IDR_BTNSYSHELP", 447, 4),
    ("IDR_BTNSYSTRAY", 476, 4), ("IDR_BTNARCHIVE", 239, 373),
]


def preview(out, pics):
    os.makedirs(os.path.join(out, "preview"), exist_ok=True)
    face = pics["IDR_FACE1"].copy()
    for i, (base, x, y) in enumerate(MAIN_BUTTONS):
        state = "DOWN" if i in (0, 2, 13, 16, 20, 25) else "UP"
        face.paste(pics[base + state], (x, y))
    face.paste(pics["IDR_F44k"], (123, 29))
    face.paste(pics["IDR_THUMB"], (129, 29 + 7 + 14 * 7 - 8))
    face.paste(pics["IDR_THUMB"], (207, 60))
    face.paste(pics["IDR_DASHBOARDWAVEMETER"], (256, 32))
    face.paste(pics["IDR_SLIDERPLAY"], (252, 162))
    face.paste(pics["IDR_THUMBPLAY"], (320, 162))
    face.resize((592 * 2, 392 * 2), Image.NEAREST).save(os.path.join(out, "preview", "main.png"))
    for name, btns in (("IDR_MP3FACE", [("IDR_BTNOK", 271, 296), ("IDR_BTNCANCEL", 381, 296),
                                        ("IDR_BTNCHECKBOX", 57, 102),
                                        ("IDR_BTNCHECKBOX", 173, 102),
                                        ("IDR_BTNCHECKBOX", 263, 102),
                                        ("IDR_BTNCHECKBOX", 361, 102),
                                        ("IDR_BTNCHECKBOX", 57, 131)]),
                       ("IDR_NOISEGATINGFACE", [("IDR_BTNOK", 326, 336),
                                                ("IDR_BTNCANCEL", 464, 336)]),
                       ("IDR_OUTPUTFACE", [("IDR_BTNOK", 271, 296), ("IDR_BTNCANCEL", 381, 296),
                                           ("IDR_BTNBROWSE", 384, 73),
                                           ("IDR_BTNCHECKBOX", 31, 112),
                                           ("IDR_BTNCHECKBOX", 31, 176),
                                           ("IDR_BTNCHECKBOX", 31, 236),
                                           ("IDR_BTNRADIO", 261, 43), ("IDR_BTNRADIO", 330, 43),
                                           ("IDR_BTNRADIO", 396, 43)])):
        img = pics[name].copy()
        for i, (b, x, y) in enumerate(btns):
            img.paste(pics[b + ("DOWN" if i % 3 == 2 else "UP")], (x, y))
        img.save(os.path.join(out, "preview", name.lower() + ".png"))
    for n in ("IDR_BACKGROUND", "IDR_STARTFACE", "IDR_ABOUTFACE", "IDR_SCHEDULEFACE",
              "IDR_TRACKSPLITTERFACE", "IDR_WMAFACE", "IDR_DEVICEFACE", "IDR_AUDIOLINE",
              "IDR_LOGFACE"):
        pics[n].save(os.path.join(out, "preview", n.lower() + ".png"))
    sheet = Image.new("RGB", (640, 200), BODY)
    x = y = 4
    for n in sorted(pics):
        im = pics[n]
        if im.width > 110 or im.height > 60:
            continue
        if x + im.width > 636:
            x, y = 4, y + 62
        if y + im.height > sheet.height:
            sheet = sheet.crop((0, 0, 640, sheet.height + 200))
        sheet.paste(im, (x, y))
        x += im.width + 4
    sheet.resize((sheet.width * 2, sheet.height * 2), Image.NEAREST).save(
        os.path.join(out, "preview", "controls.png"))
    icon_image(48).resize((96, 96), Image.NEAREST).save(os.path.join(out, "preview", "icon.png"))
    strip = Image.new("RGBA", (4 * 36, 36), BODY + (255,))
    for i, (_, img, _) in enumerate(cursors.cursors()):
        strip.alpha_composite(img, (2 + 36 * i, 2))
    strip.resize((strip.width * 3, strip.height * 3), Image.NEAREST).save(
        os.path.join(out, "preview", "cursors.png"))


IDB_HISTORYTREE = 158  # app/resource.h
IDB_SABLET2 = 102  # control/resource.h


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    out = os.path.abspath(sys.argv[1])
    bmp_dir = os.path.join(out, "bmp")
    snd_dir = os.path.join(out, "sound")
    os.makedirs(bmp_dir, exist_ok=True)
    os.makedirs(snd_dir, exist_ok=True)

    pics = {}
    pics.update(controls.all_buttons())
    pics.update(controls.sliders())
    pics.update(controls.dashboard_pieces())
    pics.update(faces.all_faces())

    lines = ["// Generated by tools/skin/generate.py: do not edit.\n"]
    for name in sorted(pics):
        path = os.path.join(bmp_dir, name + ".bmp")
        pics[name].convert("RGB").save(path, "BMP")
        lines.append('%s BMP "%s"\n' % (name, path.replace("\\", "/")))
    # The history tree's image list is a numbered bitmap resource.
    tree = os.path.join(bmp_dir, "history_tree.bmp")
    faces.tree_images().save(tree, "BMP")
    lines.append('%d BITMAP "%s"\n' % (IDB_HISTORYTREE, tree.replace("\\", "/")))
    for i in range(1, 11):
        path = os.path.join(snd_dir, "line%d.wav" % i)
        write_clip(path, i)
        lines.append('IDSOUND_LINE%d SOUND "%s"\n' % (i, path))
    with open(os.path.join(out, "skin.rc"), "w") as f:
        f.writelines(lines)

    ico = os.path.join(out, "brindle.ico")
    write_ico(ico)
    with open(os.path.join(out, "skin-icon.rc"), "w") as f:
        f.write("// Generated by tools/skin/generate.py: do not edit.\n")
        f.write('128 ICON "%s"\n' % ico)
        cur_dir = os.path.join(out, "cursor")
        os.makedirs(cur_dir, exist_ok=True)
        for number, img, hotspot in cursors.cursors():
            path = os.path.join(cur_dir, "cursor%d.cur" % number)
            cursors.write_cur(path, img, hotspot)
            f.write('%d CURSOR "%s"\n' % (number, path))

    ctl_dir = os.path.join(out, "sablet")
    os.makedirs(ctl_dir, exist_ok=True)
    with open(os.path.join(out, "sablet-skin.rc"), "w") as f:
        f.write("// Generated by tools/skin/generate.py: do not edit.\n")
        ctl = sablet.all_pictures()
        for name in sorted(ctl):
            path = os.path.join(ctl_dir, name + ".bmp")
            ctl[name].convert("RGB").save(path, "BMP")
            f.write('%s BITMAP "%s"\n' % (name, path))
        # The toolbox picture the control's registration names as "<dll>, 102".
        toolbox = os.path.join(ctl_dir, "toolbox.bmp")
        sablet.toolbox_bitmap().save(toolbox, "BMP")
        f.write('%d BITMAP "%s"\n' % (IDB_SABLET2, toolbox))
        gif = os.path.join(ctl_dir, "webbackground.gif")
        sablet.web_background_gif(gif)
        f.write('IDR_WEBBACKGROUND GIF "%s"\n' % gif)
        if "--preview" in sys.argv:
            preview_dir = os.path.join(out, "preview")
            os.makedirs(preview_dir, exist_ok=True)
            sheet = Image.new("RGB", (480, 420), (255, 255, 255))
            sheet.paste(ctl["IDR_BACKGROUND"], (0, 0))
            x, y = 0, 170
            for name in sorted(ctl):
                if name == "IDR_BACKGROUND":
                    continue
                img = ctl[name]
                if x + img.width > 480:
                    x, y = 0, y + 38
                sheet.paste(img, (x, y))
                x += img.width + 4
            sheet.save(os.path.join(preview_dir, "sablet.png"))

    if "--preview" in sys.argv:
        preview(out, pics)


if __name__ == "__main__":
    main()
