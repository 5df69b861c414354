"""The web recorder control's skin: the transport, setup and upload button
faces (UP, DOWN, DISABLED), the browser buttons (with HOVER), the trackbar
pieces, the panel background and the animated background shown in the
picture area before any advertisement. The program's palette, drawn small."""
import math

from PIL import Image, ImageDraw

from controls import _button_body, _icon
from draw import (ACCENT, ACCENT_DEEP, BODY, BTN_OFF, LCD, PANEL, PANEL_EDGE, RED, RED_DEEP,
                  RIM, TEXT, TEXT_OFF, WELL, Canvas, font, lerp, panel, text)

STATES = ("UP", "DOWN", "DISABLED")


def _glyph(c, kind, cx, cy, colour, s=1.0):
    """Icons of the control's own buttons; the transport ones are the program's."""
    if kind in ("STOP", "PAUSE", "PLAY", "RECORD"):
        _icon(c, kind, cx, cy, colour)
    elif kind == "SETUP":  # three mixer faders
        for i, knob in enumerate((0.3, 0.7, 0.45)):
            x = cx - 6 + 6 * i
            c.rect(x - 0.5, cy - 8, 1.2, 16, colour)
            c.rrect(x - 2.5, cy - 8 + 16 * knob - 1.5, 5.2, 3.5, 1, fill=colour)
    elif kind == "UPLOAD":
        c.polygon([(cx - 7, cy - 1), (cx + 7, cy - 1), (cx, cy - 9)], fill=colour)
        c.rect(cx - 2.5, cy - 2, 5, 7, colour)
        c.rrect(cx - 8, cy + 6, 16, 2.5, 1, fill=colour)
    elif kind in ("BACKWARD", "FORWARD"):
        d = -1 if kind == "BACKWARD" else 1
        c.polygon([(cx + d * 6 * s, cy), (cx - d * 1 * s, cy - 6 * s), (cx - d * 1 * s, cy + 6 * s)],
                  fill=colour)
        c.rect(cx - 6 * s if d > 0 else cx, cy - 2 * s, 6 * s, 4 * s, colour)
    elif kind == "GO":
        c.polygon([(cx + 5 * s, cy), (cx - 1 * s, cy - 5 * s), (cx - 1 * s, cy + 5 * s)],
                  fill=colour)
        c.rect(cx - 5 * s, cy - 1.5 * s, 5 * s, 3 * s, colour)
    elif kind == "REFRESH":
        c.d.arc([(cx - 5) * 4, (cy - 5) * 4, (cx + 5) * 4, (cy + 5) * 4], 40, 330,
                fill=colour, width=8)
        c.polygon([(cx + 6.5, cy - 5.5), (cx + 6.5, cy + 0.5), (cx + 1, cy - 2.5)], fill=colour)
    elif kind == "BROWSERSTOP":
        c.line([(cx - 4.5, cy - 4.5), (cx + 4.5, cy + 4.5)], colour, 2.2)
        c.line([(cx - 4.5, cy + 4.5), (cx + 4.5, cy - 4.5)], colour, 2.2)
    elif kind == "HISTORY":
        c.ellipse(cx, cy, 6, 6, outline=colour, width=1.6)
        c.line([(cx, cy - 3.5), (cx, cy), (cx + 3, cy + 1.5)], colour, 1.4)


def button(kind, w, h, states=STATES, r=5):
    out = {}
    for state in states:
        c = Canvas(w, h, PANEL)
        body = {"UP": "UP", "HOVER": "UP", "DOWN": "DOWN"}.get(state, "X")
        _button_body(c, w, h, body, r=r, under=PANEL)
        if state == "HOVER":
            c.rrect(1, 1, w - 2, h - 2, r - 1, outline=ACCENT_DEEP)
        if kind == "RECORD":
            colour = {"DOWN": RED, "DISABLED": lerp(RED_DEEP, BTN_OFF, 0.4)}.get(state, RED)
            if state == "DOWN":
                c.glow(w / 2, h / 2, 11, RED, 0.45)
        else:
            colour = {"DOWN": ACCENT, "DISABLED": TEXT_OFF, "HOVER": ACCENT}.get(state, TEXT)
        scale = min(w, h) / 28.0
        _glyph(c, kind, w / 2, h / 2 + (0.5 if state == "DOWN" else 0), colour, scale)
        out["IDR_BTN%s%s" % (kind, state)] = c.image()
    return out


def slider_pieces():
    """Pattern-brush tiles: the channel (5 px high), the part left of the
    thumb, and the thumb (15 px wide) for a trackbar up to 24 px high."""
    out = {}
    for suffix, lit, thumb_top, thumb_bottom in (
            ("", ACCENT, (220, 226, 234), (150, 158, 170)),
            ("DISABLED", RIM, (120, 126, 134), (92, 98, 108))):
        ch = Image.new("RGB", (8, 5), WELL)
        ImageDraw.Draw(ch).line([(0, 0), (7, 0)], fill=PANEL_EDGE)
        out["IDR_SLIDERCHANNEL" + suffix] = ch
        left = Image.new("RGB", (8, 5), lerp(lit, WELL, 0.35))
        ImageDraw.Draw(left).line([(0, 1), (7, 1)], fill=lit)
        out["IDR_SLIDERCHANNELLEFT" + suffix] = left
        c = Canvas(15, 24, PANEL)
        c.gradient_rrect(1, 2, 13, 20, 3, PANEL_EDGE, PANEL_EDGE)
        c.gradient_rrect(2, 3, 11, 18, 2.5, thumb_top, thumb_bottom)
        c.rect(7, 6, 1.2, 12, ACCENT_DEEP if not suffix else RIM)
        out["IDR_SLIDERCHANNELTHUMB" + suffix] = c.image()
    return out


def background(w=474, h=159):
    """The panel: a raised body with the picture area's well at the top and
    the time readout's cyan window at the right of the transport row."""
    c = Canvas(w, h, BODY)
    panel(c, 0, 0, w, h, r=6, fill=PANEL)
    c.rrect(2, 2, 470, 62, 3, fill=PANEL_EDGE)
    c.rect(3, 3, 468, 60, WELL)
    c.rect(6, 80, w - 12, 1, lerp(PANEL, RIM, 0.6))
    c.rrect(331, 87, 140, 30, 4, fill=PANEL_EDGE)
    c.rrect(333, 89, 136, 26, 3, fill=LCD)
    img = c.image()
    text(img, 7, 156, "Sablet", font(8), lerp(TEXT, PANEL, 0.55), anchor="ls")
    return img


def web_background_gif(path, w=468, h=60, frames=12):
    """A slow level-meter sweep over the well colour, looping."""
    f = font(16, bold=True)
    images = []
    for i in range(frames):
        img = Image.new("RGB", (w, h), WELL)
        d = ImageDraw.Draw(img)
        bars = 46
        for b in range(bars):
            phase = 2 * math.pi * (b / bars * 2 + i / frames)
            level = 0.5 + 0.4 * math.sin(phase) * math.cos(phase / 3)
            bh = int(6 + level * (h - 18))
            x = 8 + b * 10
            colour = lerp(ACCENT_DEEP, LCD, level)
            d.rectangle([x, h - 6 - bh, x + 6, h - 6], fill=colour)
        d.text((w // 2, h // 2), "Sablet recorder", font=f, fill=TEXT, anchor="mm",
               stroke_width=2, stroke_fill=PANEL_EDGE)
        images.append(img.convert("P", palette=Image.ADAPTIVE, colors=32))
    images[0].save(path, "GIF", save_all=True, append_images=images[1:], duration=120, loop=0,
                   disposal=1)


TOOLBOX_BACK = (192, 192, 192)  # a design tool's palette grey, shown around the tile


def toolbox_bitmap(w=16, h=15):
    """The picture a design tool shows for the control in its toolbox: the
    panel's graphite tile with the red record dot and a cyan level."""
    c = Canvas(w, h, TOOLBOX_BACK)
    c.rrect(0, 0, w, h, 3, fill=PANEL_EDGE)
    c.gradient_rrect(1, 1, w - 2, h - 2, 2.5, RIM, PANEL)
    c.ellipse(5, 7.5, 3.2, 3.2, fill=RED)
    for i, level in enumerate((5, 9, 6)):
        c.rect(9 + 2 * i, 12 - level, 1, level, ACCENT)
    return c.image()


def all_pictures():
    out = {}
    for kind in ("PLAY", "PAUSE", "STOP", "RECORD", "SETUP", "UPLOAD"):
        out.update(button(kind, 34, 35))
    for kind in ("BACKWARD", "FORWARD"):
        out.update(button(kind, 28, 28, STATES + ("HOVER",), r=4))
    for kind in ("GO", "REFRESH", "BROWSERSTOP"):
        out.update(button(kind, 22, 22, STATES + ("HOVER",), r=4))
    out.update(button("HISTORY", 22, 22, r=4))
    out.update(slider_pieces())
    out["IDR_BACKGROUND"] = background()
    return out
