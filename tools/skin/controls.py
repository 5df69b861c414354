"""Button faces, two-state boxes, slider tracks and thumbs, small dashboard
pictures. Every function returns a dict name -> PIL image."""
import math

from draw import (ACCENT, ACCENT_DEEP, AMBER, BODY, BTN_BOT, BTN_DN_BOT, BTN_DN_TOP,
                  BTN_OFF, BTN_TOP, GREEN, LCD, LCD_DARK, LCD_MID, PANEL, PANEL_EDGE,
                  RED, RED_DEEP, RIM, TEXT, TEXT_DIM, TEXT_OFF, WELL, Canvas, font, lerp,
                  text, text_shadowed)

# Colour under every push button: buttons are cut to rectangles, so their
# rounded corners must blend with what the faces paint beneath them.
UNDER = PANEL


def _button_body(c, w, h, state, r=5, under=UNDER):
    c.rect(0, 0, w, h, under)
    if state == "UP":
        c.gradient_rrect(0, 0, w, h, r, PANEL_EDGE, PANEL_EDGE)
        c.gradient_rrect(1, 1, w - 2, h - 2, r - 1, lerp(BTN_TOP, (255, 255, 255), 0.10),
                         BTN_BOT)
        c.gradient_rrect(2, 2, w - 4, h - 3, r - 1, BTN_TOP, BTN_BOT)
    elif state == "DOWN":
        c.gradient_rrect(0, 0, w, h, r, PANEL_EDGE, PANEL_EDGE)
        c.gradient_rrect(1, 1, w - 2, h - 2, r - 1, BTN_DN_TOP, BTN_DN_BOT)
    else:
        c.gradient_rrect(0, 0, w, h, r, lerp(PANEL_EDGE, PANEL, 0.5), lerp(PANEL_EDGE, PANEL, 0.5))
        c.gradient_rrect(1, 1, w - 2, h - 2, r - 1, BTN_OFF, BTN_OFF)


def push_button(label, w=72, h=24, under=UNDER):
    """UP, DOWN and DISABLE faces of a labelled push button."""
    out = {}
    f = font(10, bold=True)
    for state in ("UP", "DOWN", "DISABLE"):
        c = Canvas(w, h, under)
        _button_body(c, w, h, state, under=under)
        if state == "DOWN":
            c.rect(6, h - 4, w - 12, 1.5, ACCENT)
        img = c.image()
        dy = 1 if state == "DOWN" else 0
        colour = {"UP": TEXT, "DOWN": ACCENT, "DISABLE": TEXT_OFF}[state]
        if state == "UP":
            text_shadowed(img, w // 2, h // 2 + dy, label, f, colour, anchor="mm")
        else:
            text(img, w // 2, h // 2 + dy, label, f, colour, anchor="mm")
        out[state] = img
    return out


def toggle_button(label, w=72, h=24, under=UNDER):
    """Two-state push button: UP is off, DOWN is latched on with a lit LED."""
    out = {}
    f = font(10, bold=True)
    for state in ("UP", "DOWN", "DISABLE"):
        c = Canvas(w, h, under)
        _button_body(c, w, h, "UP" if state == "UP" else ("DOWN" if state == "DOWN" else "X"),
                     under=under)
        led = {"UP": (40, 44, 50), "DOWN": ACCENT, "DISABLE": (52, 56, 62)}[state]
        if state == "DOWN":
            c.glow(10.5, h / 2, 6, ACCENT, 0.5)
        c.ellipse(10.5, h / 2, 3, 3, fill=PANEL_EDGE)
        c.ellipse(10.5, h / 2, 2.2, 2.2, fill=led)
        img = c.image()
        colour = {"UP": TEXT_DIM, "DOWN": TEXT, "DISABLE": TEXT_OFF}[state]
        text(img, (w + 14) // 2, h // 2 + (1 if state == "DOWN" else 0), label, f, colour,
             anchor="mm")
        out[state] = img
    return out


def check_box(w=17, h=12, under=UNDER):
    """Check-box faces: UP unchecked, DOWN checked, DISABLE greyed."""
    out = {}
    for state in ("UP", "DOWN", "DISABLE"):
        c = Canvas(w, h, under)
        s = 11
        x, y = 3, (h - s) / 2
        if state == "DOWN":
            c.rrect(x, y, s, s, 2.5, fill=ACCENT_DEEP)
            c.rrect(x + 0.5, y + 0.5, s - 1, s - 1, 2.2, fill=ACCENT)
            c.line([(x + 2.6, y + 5.6), (x + 4.6, y + 7.8), (x + 8.6, y + 3.2)], LCD_DARK, 1.6)
        else:
            c.rrect(x, y, s, s, 2.5, fill=PANEL_EDGE)
            c.rrect(x + 1, y + 1, s - 2, s - 2, 1.8,
                    fill=WELL if state == "UP" else (50, 54, 61))
        out[state] = c.image()
    return out


def list_check_boxes():
    """The track list's own 13 x 13 boxes (checked, unchecked, disabled)."""
    boxes = check_box(13, 13)
    return {"IDR_CHECKBOXUNCHECKED": boxes["UP"], "IDR_CHECKBOXCHECKED": boxes["DOWN"],
            "IDR_CHECKBOXDISABLED": boxes["DISABLE"]}


def radio(w=19, h=19, under=UNDER):
    out = {}
    for state in ("UP", "DOWN", "DISABLE"):
        c = Canvas(w, h, under)
        cx, cy = w / 2, h / 2
        c.ellipse(cx, cy, 7, 7, fill=PANEL_EDGE)
        c.ellipse(cx, cy, 6, 6, fill=WELL if state != "DISABLE" else (50, 54, 61))
        if state == "DOWN":
            c.glow(cx, cy, 6, ACCENT, 0.35)
            c.ellipse(cx, cy, 3.4, 3.4, fill=ACCENT)
        out[state] = c.image()
    return out


# ----- transport -------------------------------------------------------------

def _icon(c, kind, cx, cy, colour):
    if kind == "STOP":
        c.rrect(cx - 7.5, cy - 7.5, 15, 15, 2.5, fill=colour)
    elif kind == "PAUSE":
        c.rrect(cx - 7, cy - 8, 5, 16, 1.5, fill=colour)
        c.rrect(cx + 2, cy - 8, 5, 16, 1.5, fill=colour)
    elif kind == "PLAY":
        c.polygon([(cx - 5.5, cy - 9), (cx - 5.5, cy + 9), (cx + 9, cy)], fill=colour)
    elif kind == "RECORD":
        c.ellipse(cx, cy, 8.5, 8.5, fill=colour)
    elif kind == "EJECT":
        c.polygon([(cx - 9, cy + 1), (cx + 9, cy + 1), (cx, cy - 9)], fill=colour)
        c.rrect(cx - 9, cy + 4, 18, 3.5, 1, fill=colour)


TRANSPORT_CAPTIONS = {"STOP": "STOP", "PAUSE": "PAUSE", "PLAY": "PLAY", "RECORD": "REC",
                      "EJECT": "OPEN"}


def transport(kind, w=60, h=55):
    out = {}
    f = font(8, bold=True)
    for state in ("UP", "DOWN", "DISABLE"):
        c = Canvas(w, h, BODY)
        _button_body(c, w, h, "UP" if state != "DOWN" else "DOWN", r=8, under=BODY)
        if state == "DISABLE":
            c.gradient_rrect(1, 1, w - 2, h - 2, 7, BTN_OFF, BTN_OFF)
        base = RED if kind == "RECORD" else TEXT
        if state == "DISABLE":
            colour = TEXT_OFF if kind != "RECORD" else lerp(RED_DEEP, BTN_OFF, 0.4)
        elif state == "DOWN":
            colour = RED if kind == "RECORD" else ACCENT
            c.glow(w / 2, 22, 14, colour, 0.45)
        else:
            colour = base
        _icon(c, kind, w / 2, 22, colour)
        if state == "DOWN":
            c.rrect(w / 2 - 12, h - 7, 24, 2, 1, fill=colour)
        img = c.image()
        cap = {"UP": TEXT_DIM, "DOWN": TEXT, "DISABLE": TEXT_OFF}[state]
        text(img, w // 2, 42 + (1 if state == "DOWN" else 0), TRANSPORT_CAPTIONS[kind], f, cap,
             anchor="mm")
        out[state] = img
    return out


def title_button(kind, w=23, h=24):
    """Minimise, close, help and to-tray buttons of the face's title bar."""
    out = {}
    for state in ("UP", "DOWN", "DISABLE"):
        c = Canvas(w, h, BODY)
        cx, cy = w / 2, h / 2
        if state == "DOWN":
            fill = RED if kind == "CLOSE" else (64, 72, 84)
            c.ellipse(cx, cy, 9, 9, fill=fill)
        else:
            c.ellipse(cx, cy, 9, 9, fill=PANEL_EDGE)
            c.ellipse(cx, cy, 8, 8, fill=(52, 58, 67) if state == "UP" else (44, 48, 55))
        g = TEXT if state != "DISABLE" else TEXT_OFF
        if kind == "MIN":
            c.rrect(cx - 4, cy + 1.2, 8, 1.8, 0.8, fill=g)
        elif kind == "CLOSE":
            c.line([(cx - 3.5, cy - 3.5), (cx + 3.5, cy + 3.5)], g, 1.7)
            c.line([(cx - 3.5, cy + 3.5), (cx + 3.5, cy - 3.5)], g, 1.7)
        elif kind == "TRAY":
            c.line([(cx - 3.5, cy - 1.5), (cx, cy + 2), (cx + 3.5, cy - 1.5)], g, 1.7)
            c.rrect(cx - 4, cy + 3.4, 8, 1.5, 0.6, fill=g)
        c_img = c.image()
        if kind == "HELP":
            text(c_img, int(cx), int(cy) + 1, "?", font(11, bold=True), g, anchor="mm")
        out[state] = c_img
    return out


def tab_button(label, w, h, arrow=None, under=PANEL):
    """Flat tab-like buttons (history, upload, help book)."""
    out = {}
    f = font(9, bold=True)
    for state in ("UP", "DOWN", "DISABLE"):
        c = Canvas(w, h, under)
        _button_body(c, w, h, "UP" if state == "UP" else ("DOWN" if state == "DOWN" else "X"),
                     r=4, under=under)
        colour = {"UP": TEXT, "DOWN": ACCENT, "DISABLE": TEXT_OFF}[state]
        if arrow:
            ax, ay = w - 12, h / 2
            if arrow == "down":
                c.polygon([(ax - 4, ay - 2), (ax + 4, ay - 2), (ax, ay + 2.5)], colour)
            else:
                c.polygon([(ax - 4, ay + 2), (ax + 4, ay + 2), (ax, ay - 2.5)], colour)
        img = c.image()
        text(img, (w - (10 if arrow else 0)) // 2, h // 2 + (1 if state == "DOWN" else 0), label,
             f, colour, anchor="mm")
        out[state] = img
    return out


def detect_strip(w=22, h=330):
    """The strip at the face's right edge that opens the audio-line box."""
    out = {}
    f = font(9, bold=True)
    for state in ("UP", "DOWN", "DISABLE"):
        c = Canvas(w, h, BODY)
        top = {"UP": (60, 67, 78), "DOWN": (30, 34, 40), "DISABLE": (42, 46, 53)}[state]
        bot = {"UP": (48, 54, 63), "DOWN": (40, 45, 52), "DISABLE": (42, 46, 53)}[state]
        c.gradient_rrect(0, 0, w, h, 6, PANEL_EDGE, PANEL_EDGE)
        c.gradient_rrect(1, 1, w - 2, h - 2, 5, top, bot)
        colour = {"UP": TEXT_DIM, "DOWN": ACCENT, "DISABLE": TEXT_OFF}[state]
        for ay in (40, h - 40):
            c.polygon([(8, ay - 5), (8, ay + 5), (14, ay)], colour)
        img = c.image()
        from PIL import Image, ImageDraw
        label = Image.new("RGB", (200, w), top)
        ImageDraw.Draw(label).text((100, w // 2), "AUDIO  LINES", font=f, fill=colour,
                                   anchor="mm")
        label = label.rotate(90, expand=True)
        img.paste(label.crop((0, 0, w, 200)).crop((2, 0, w - 2, 200)), (2, h // 2 - 100))
        out[state] = img
    return out


def show_switch(w=28, h=60):
    out = {}
    for state in ("UP", "DOWN", "DISABLE"):
        c = Canvas(w, h, LCD)
        c.rrect(0, 0, w, h, 5, fill=LCD_MID if state != "DISABLE" else (120, 190, 206))
        c.rrect(2, 2, w - 4, h - 4, 4, fill=LCD_DARK if state == "DOWN" else LCD)
        bar = LCD if state == "DOWN" else LCD_DARK
        for i, bh in enumerate((10, 22, 16, 30, 12)):
            c.rect(5 + i * 4, h - 6 - bh, 2.5, bh, bar)
        out[state] = c.image()
    return out


# ----- sliders -------------------------------------------------------------

def h_track(w, h, ticks=0, labels=None, lo=4, hi=4, fill=PANEL):
    """Horizontal track: a groove near the bottom (the thumb stands on the
    bottom edge), with optional ticks and scale labels above it."""
    c = Canvas(w, h, fill)
    gy = h - 9
    c.rrect(lo - 2, gy - 2, w - lo - hi + 4, 5, 2.5, fill=PANEL_EDGE)
    c.rrect(lo - 1, gy - 1, w - lo - hi + 2, 3, 1.5, fill=WELL)
    if ticks > 1:
        for i in range(ticks):
            x = lo + (w - lo - hi - 1) * i / (ticks - 1)
            major = labels is not None and i in labels
            c.rect(x - 0.5, gy - (7 if major else 5), 1, 3 if major else 2,
                   TEXT_DIM if major else RIM)
    img = c.image()
    if labels:
        f = font(8)
        for i, s in labels.items():
            x = lo + (w - lo - hi - 1) * i / (ticks - 1)
            # An end label centred on its tick would be cut by the bitmap's edge.
            half = f.getlength(s) / 2
            x = min(max(x, half), w - 1 - half)
            text(img, int(round(x)), gy - 9, s, f, TEXT_DIM, anchor="ms")
    return img


def v_track(w=27, h=131, lo=7, hi=10, ticks=9, lit=None, fill=PANEL):
    """Vertical groove with ticks on both sides; `lit` picks one tick to
    highlight (the sample-rate selector faces)."""
    c = Canvas(w, h, fill)
    cx = w / 2
    c.rrect(cx - 2.5, lo - 3, 5, h - lo - hi + 6, 2.5, fill=PANEL_EDGE)
    c.rrect(cx - 1.5, lo - 2, 3, h - lo - hi + 4, 1.5, fill=WELL)
    for i in range(ticks):
        y = lo + (h - lo - hi) * i / (ticks - 1)
        on = lit is not None and i == lit
        col = ACCENT if on else RIM
        ln = 5 if on else 3
        c.rect(cx - 7.5 - ln + 3, y - 0.5, ln, 1 if not on else 1.5, col)
        c.rect(cx + 5.5, y - 0.5, ln, 1 if not on else 1.5, col)
        if on:
            c.glow(cx, y, 6, ACCENT, 0.35)
    return c.image()


def thumb_v(w=14, h=16):
    c = Canvas(w, h, PANEL)
    c.gradient_rrect(0, 0, w, h, 3, PANEL_EDGE, PANEL_EDGE)
    c.gradient_rrect(1, 1, w - 2, h - 2, 2.5, (214, 220, 228), (150, 158, 170))
    c.rect(2.5, h / 2 - 0.75, w - 5, 1.5, ACCENT_DEEP)
    return c.image()


def thumb_h(w, h, under=PANEL):
    """Upright thumb that stands on the track's bottom edge."""
    c = Canvas(w, h, under)
    c.gradient_rrect(0, 0, w, h, min(3, w / 2 - 0.5), PANEL_EDGE, PANEL_EDGE)
    c.gradient_rrect(1, 1, w - 2, h - 2, min(2.5, w / 2 - 1), (220, 226, 234), (150, 158, 170))
    c.rect(w / 2 - 0.6, 3, 1.2, h - 6, ACCENT_DEEP)
    return c.image()


def thumb_play(w=17, h=18):
    c = Canvas(w, h, PANEL)
    c.polygon([(0.5, 0.5), (w - 0.5, 0.5), (w - 0.5, h - 6), (w / 2, h - 0.5), (0.5, h - 6)],
              PANEL_EDGE)
    c.polygon([(1.5, 1.5), (w - 1.5, 1.5), (w - 1.5, h - 6.5), (w / 2, h - 2), (1.5, h - 6.5)],
              (200, 208, 218))
    c.rect(w / 2 - 0.75, 3.5, 1.5, h - 9, ACCENT_DEEP)
    return c.image()


def sliders():
    out = {}
    out["IDR_SLIDERVOLUM"] = v_track()
    out["IDR_SLIDERRATE"] = v_track()
    for i, name in enumerate(("IDR_F8k", "IDR_F11k", "IDR_F12k", "IDR_F16k", "IDR_F22k",
                              "IDR_F24k", "IDR_F32k", "IDR_F44k", "IDR_F48k")):
        # The rate slider keeps 8000 Hz at the top (value grows downward).
        out[name] = v_track(lo=7, hi=11, lit=i)
    out["IDR_SLIDERBALANCE"] = h_track(61, 18, ticks=3, lo=4, hi=4)
    out["IDR_SLIDERPLAY"] = h_track(300, 18, lo=8, hi=9)
    out["IDR_SLIDERTHRESHOLD2"] = h_track(211, 30, ticks=48, lo=12, hi=10,
                                          labels={0: "-48", 12: "-36", 24: "-24", 36: "-12",
                                                  47: "-1"})
    out["IDR_SLIDERHOUR"] = h_track(186, 30, ticks=24, lo=4, hi=22,
                                    labels={0: "0", 6: "6", 12: "12", 18: "18", 23: "23"})
    out["IDR_SLIDERMINSEC"] = h_track(186, 30, ticks=60, lo=4, hi=5,
                                      labels={0: "0", 15: "15", 30: "30", 45: "45", 59: "59"})
    out["IDR_SLIDERDELAY"] = h_track(211, 30, ticks=26, lo=4, hi=6,
                                     labels={0: "0", 5: "5", 10: "10", 15: "15", 20: "20",
                                             25: "25"})
    # The low pass runs from 10 to 20 kHz; the unit stands by the edits.
    out["IDR_SLIDERLOWPASS"] = h_track(211, 30, ticks=11, lo=4, hi=6,
                                       labels={0: "10k", 5: "15k", 10: "20k"})
    out["IDR_SLIDERHIGHPASS"] = h_track(211, 30, ticks=11, lo=4, hi=6,
                                        labels={0: "0", 5: "5k", 10: "10k"})
    out["IDR_SLIDERCHANNEL"] = h_track(61, 18, ticks=3)
    out["IDR_THUMB"] = thumb_v()
    out["IDR_THUMB2"] = thumb_h(7, 12)
    out["IDR_THUMB_TIME"] = thumb_h(7, 16)
    out["IDR_THUMBPLAY"] = thumb_play()
    return out


# ----- dashboard pieces ----------------------------------------------------

def wave_meter(w=152, h=21):
    """Background of the two level meters: a dB scale on the readout colour."""
    c = Canvas(w, h, LCD)
    for k in range(0, 49, 6):
        x = 1 + 3 * k
        c.rect(x, 0, 1, 2, LCD_MID)
        c.rect(x, h - 2, 1, 2, LCD_MID)
    return c.image()


def info_line(w=200, h=26):
    c = Canvas(w, h, LCD)
    return c.image()


def scale_name(label, w, h):
    img = Canvas(w, h, PANEL).image()
    text(img, 2, h // 2 + 1, label, font(8, bold=True), TEXT_DIM, anchor="lm")
    return img


def socket_row(state, w=45, h=22):
    """A line row of the audio-line box: a jack socket with a state LED."""
    c = Canvas(w, h, PANEL)
    fill = {"UP": (58, 65, 75), "DOWN": ACCENT_DEEP, "DISABLE": (24, 104, 128),
            "HOVER": (74, 83, 96)}[state]
    c.rrect(0, 0, w, h, 4, fill=PANEL_EDGE)
    c.gradient_rrect(1, 1, w - 2, h - 2, 3, lerp(fill, (255, 255, 255), 0.08), fill)
    led = {"UP": (40, 44, 50), "DOWN": AMBER, "DISABLE": GREEN, "HOVER": (96, 104, 116)}[state]
    if state in ("DOWN", "DISABLE"):
        c.glow(9, h / 2, 5, led, 0.45)
    c.ellipse(9, h / 2, 3.2, 3.2, fill=PANEL_EDGE)
    c.ellipse(9, h / 2, 2.4, 2.4, fill=led)
    # The jack: a ring with its dark hole.
    c.ellipse(28, h / 2, 7, 7, fill=PANEL_EDGE)
    c.ellipse(28, h / 2, 6, 6, fill=(176, 184, 196))
    c.ellipse(28, h / 2, 3, 3, fill=WELL)
    return c.image()


def device_row(state, w=203, h=23):
    """A device row of the device dialog; its name is written on it in black."""
    c = Canvas(w, h, PANEL)
    top, bot = ((226, 231, 238), (200, 207, 216)) if state == "UP" else (
        lerp(LCD, (255, 255, 255), 0.2), LCD)
    c.rrect(0, 0, w, h, 4, fill=PANEL_EDGE)
    c.gradient_rrect(1, 1, w - 2, h - 2, 3, top, bot)
    return c.image()


def dashboard_pieces():
    out = {"IDR_DASHBOARDWAVEMETER": wave_meter(), "IDR_DASHBOARDINFOLINE": info_line(),
           "IDR_SCALEBACKGROUNDNAME": scale_name("BACKGROUND", 113, 18),
           "IDR_SCALERECORDINGNAME": scale_name("VOICE", 57, 18)}
    for s in ("UP", "DOWN", "DISABLE", "HOVER"):
        out["IDR_BTNSOCKET" + s] = socket_row(s)
    mic = push_button("HOLD MIC", 59, 20)
    out["IDR_BTNMICUP"], out["IDR_BTNMICDOWN"] = mic["UP"], mic["DOWN"]
    out["IDR_BTNDEVICENAMEUP"] = device_row("UP")
    out["IDR_BTNDEVICENAMEDOWN"] = device_row("DOWN")
    sock = Canvas(18, 20, PANEL)
    sock.rrect(1, 1, 16, 18, 4, fill=PANEL_EDGE)
    sock.rrect(2, 2, 14, 16, 3, fill=(60, 67, 78))
    sock.ellipse(9, 10, 4, 4, fill=WELL)
    sock.ellipse(9, 10, 1.5, 1.5, fill=ACCENT)
    out["IDR_DEVICESOCKET"] = sock.image()
    g = Canvas(8, 8, (28, 64, 44))
    g.rect(0, 0, 4, 4, (32, 72, 50))
    g.rect(4, 4, 4, 4, (32, 72, 50))
    out["IDR_GREENBACKGROUNDBMP"] = g.image()
    return out


def all_buttons():
    out = {}

    def put(base, faces):
        for state, img in faces.items():
            out[base + state] = img

    for base, label in (("IDR_BTNOK", "OK"), ("IDR_BTNCANCEL", "Cancel"),
                        ("IDR_BTNSETTING", "Settings"), ("IDR_BTNMP3SET", "MP3 Set"),
                        ("IDR_BTNWMASET", "WMA Set"), ("IDR_BTNDEVICE", "Device"),
                        ("IDR_BTNAUTODETECT", "Auto Detect"), ("IDR_BTNCLOSEAUDIOBOX", "Close"),
                        ("IDR_BTNRECORDINGCTRL", "Rec Control"),
                        ("IDR_BTNEDITID3TAG", "Edit Tag"), ("IDR_BTNBROWSE", "Browse"),
                        ("IDR_BTNHELP", "Help"), ("IDR_BTNEXIT", "Exit"),
                        ("IDR_BTNCONTINUE", "Continue"), ("IDR_BTNADD", "Add"),
                        ("IDR_BTNCHANGE", "Change"), ("IDR_BTNDELETE", "Delete")):
        put(base, push_button(label))
    for base, label in (("IDR_BTN16BIT", "16 Bit"), ("IDR_BTN8BIT", "8 Bit"),
                        ("IDR_BTNSTEREO", "Stereo"), ("IDR_BTNMONO", "Mono"),
                        ("IDR_BTNTRACKSTART", "Voice"), ("IDR_BTNSCHEDULESTART", "Timer"),
                        ("IDR_BTNAPPLY", "Mix On"), ("IDR_BTNABSOLUTE", "Absolute"),
                        ("IDR_BTNRELATIVE", "Relative"), ("IDR_BTNNEWFILE", "New File"),
                        ("IDR_BTNTRACKSPLITTERPAUSE", "Pause"),
                        ("IDR_BTNTRACKSPLITTERSTOP", "Stop")):
        put(base, toggle_button(label))
    put("IDR_BTNCHECKBOX", check_box())
    put("IDR_BTNRADIO", radio())
    for kind in ("STOP", "PAUSE", "PLAY", "RECORD", "EJECT"):
        put("IDR_BTN" + kind, transport(kind))
    for kind in ("MIN", "CLOSE", "HELP", "TRAY"):
        put("IDR_BTNSYS" + kind, title_button(kind))
    put("IDR_BTNDETECT", detect_strip())
    put("IDR_BTNSHOWSWITCH", show_switch())
    put("IDR_BTNHELPBOOK", tab_button("HELP", 45, 15, under=LCD))
    put("IDR_BTNARCHIVE", tab_button("HISTORY", 101, 20, "down", under=BODY))
    put("IDR_BTNARCHIVECLOSE", tab_button("HISTORY", 101, 20, "up", under=BODY))
    put("IDR_BTNUPLOAD", tab_button("UPLOAD", 101, 20, "up", under=BODY))
    out.update(list_check_boxes())
    return out
