"""Window faces: the main window, its audio-line box and history panel, and
every skinned dialog. Positions follow the controls the windows place on
them, so labels sit beside their boxes and buttons stand on panels of the
colour their faces were drawn for."""
from draw import (ACCENT, BODY, BODY_HI, LCD, LCD_DARK, PANEL, PANEL_EDGE, RED, RIM, TEXT,
                  TEXT_DIM, WELL, Canvas, font, lcd, lerp, panel, text, text_shadowed, well)
import controls
from PIL import Image, ImageDraw


def _logo(c, x, y, r=7):
    c.ellipse(x, y, r + 1.5, r + 1.5, fill=PANEL_EDGE)
    c.ellipse(x, y, r, r, fill=RED)
    c.ellipse(x - r * 0.3, y - r * 0.35, r * 0.35, r * 0.25, fill=lerp(RED, (255, 255, 255), 0.45))


def _frame(c, w, h, title_h=28, r=10):
    c.rect(0, 0, w, h, PANEL_EDGE)
    c.gradient_rrect(0, 0, w, h, r, PANEL_EDGE, PANEL_EDGE)
    c.gradient_rrect(1, 1, w - 2, h - 2, r - 1, lerp(BODY, RIM, 0.5), BODY)
    c.gradient_rrect(1, 2, w - 2, h - 3, r - 1, BODY, BODY)
    c.gradient_rrect(1, 2, w - 2, title_h, r - 1, BODY_HI, BODY)
    c.rect(10, title_h + 1, w - 20, 1, PANEL_EDGE)


def _title(img, x, y, s):
    text_shadowed(img, x, y, s, font(12, bold=True), TEXT, anchor="lm")


def _label(img, x, y, s, dim=False, size=10, bold=False, anchor="lm"):
    text(img, x, y, s, font(size, bold=bold), TEXT_DIM if dim else TEXT, anchor=anchor)


def _caption(img, x, y, s):
    text(img, x, y, s.upper(), font(8, bold=True), lerp(TEXT_DIM, ACCENT, 0.35), anchor="lm")


# ----- main window ---------------------------------------------------------

RATES = ("8k", "11k", "12k", "16k", "22k", "24k", "32k", "44k", "48k")


def main_face():
    w, h = 592, 392
    c = Canvas(w, h, PANEL_EDGE)
    _frame(c, 588, 392)
    # The right rim where the audio-line strip docks.
    c.gradient_rrect(560, 38, 32, 308, 6, BODY_HI, BODY)
    _logo(c, 20, 14)
    # Format column, rate and volume, output options, mixing, filters.
    panel(c, 16, 31, 92, 129)
    panel(c, 112, 26, 130, 149)
    panel(c, 16, 180, 226, 66)
    panel(c, 16, 248, 270, 34)
    panel(c, 16, 286, 270, 78)
    # Dashboard readout and the slider strip below it.
    lcd(c, 252, 28, 300, 124)
    panel(c, 249, 154, 306, 33, r=5)
    # Rate and volume tracks (the sliders draw only their thumbs).
    vt = controls.v_track(fill=PANEL)
    # Clock readout.
    lcd(c, 20, 163, 50, 14, r=3)
    # Settings group and the format radios.
    panel(c, 290, 246, 262, 118)
    img = c.image()
    img.paste(vt, (123, 29))
    img.paste(vt, (200, 29))
    _title(img, 34, 14, "Brindle")
    _label(img, 96, 15, "Sound Recorder", dim=True, size=9)
    f8 = font(8)
    for i, r in enumerate(RATES):
        text(img, 154, 36 + 14 * i, r, f8, TEXT_DIM, anchor="lm")
    text(img, 230, 38, "+", font(9, bold=True), TEXT_DIM, anchor="lm")
    text(img, 231, 148, "-", font(9, bold=True), TEXT_DIM, anchor="lm")
    _caption(img, 121, 167, "Rate")
    _caption(img, 196, 167, "Volume")
    _label(img, 46, 194, "Monitor input", size=9)
    _label(img, 46, 213, "Multiple files", size=9)
    _label(img, 46, 232, "Time-stamped names", size=9)
    _caption(img, 24, 265, "Background")
    _caption(img, 24, 302, "Noise & filters")
    _label(img, 168, 314, "Noise gate", size=9)
    _label(img, 168, 333, "Low-pass filter", size=9)
    _label(img, 168, 352, "High-pass filter", size=9)
    _caption(img, 298, 263, "Voice")
    _caption(img, 298, 292, "Timer")
    _caption(img, 298, 320, "Encoder")
    _caption(img, 298, 351, "Format")
    for x, s in ((354, "WAV"), (422, "MP3"), (489, "WMA")):
        _label(img, x + 21, 351, s, size=9, bold=True)
    _caption(img, 96, 382, "")
    return img


def audio_box():
    """The panel that slides out at the right (window x 571..949): device
    name, the line rows with their microphone markers, level and balance of
    the chosen line, and its four buttons."""
    w, h = 378, 333
    c = Canvas(w, h, PANEL_EDGE)
    c.gradient_rrect(0, 0, w, h, 8, PANEL_EDGE, PANEL_EDGE)
    c.gradient_rrect(0, 1, w - 1, h - 2, 8, BODY_HI, BODY)
    panel(c, 12, 26, 84, 294)
    c.rrect(21, 33, 61, 17, 3, fill=PANEL_EDGE)
    well(c, 110, 15, 184, 22)
    well(c, 102, 54, 262, 234, fill=lerp(WELL, PANEL, 0.35))
    for i in range(10):
        c.rect(108, 61 + 23 * i + 22, 250, 1, lerp(WELL, PANEL, 0.6)) if i < 9 else None
    img = c.image()
    vt = controls.v_track(fill=PANEL)
    img.paste(vt, (38, 59))
    _caption(img, 110, 8, "")
    _caption(img, 16, 12, "Lines")
    _caption(img, 28, 56, "")
    _caption(img, 20, 196, "Level")
    _label(img, 60, 196, "", dim=True)
    text(img, 323, 47, "MIC", font(8, bold=True), TEXT_DIM, anchor="mm")
    return img


def tree_images():
    """Two 16-pixel images of the history tree, a closed and an open
    folder, on pure red: the tree's image list masks that colour out, so
    nothing is smoothed into it."""
    img = Image.new("RGB", (32, 16), (255, 0, 0))
    d = ImageDraw.Draw(img)
    edge, back, front = (120, 84, 20), (214, 160, 48), (246, 204, 92)
    for ox, open_ in ((0, False), (16, True)):
        d.rectangle([ox + 1, 3, ox + 6, 5], fill=back, outline=edge)
        d.rectangle([ox + 1, 5, ox + 14, 13], fill=back, outline=edge)
        if open_:
            d.polygon([(ox + 3, 7), (ox + 15, 7), (ox + 13, 13), (ox + 1, 13)], fill=front, outline=edge)
        else:
            d.line([(ox + 2, 6), (ox + 13, 6)], fill=front)
    return img


def log_face():
    w, h = 588, 234
    c = Canvas(w, h, PANEL_EDGE)
    c.gradient_rrect(0, -10, w, h + 10, 10, PANEL_EDGE, PANEL_EDGE)
    c.gradient_rrect(1, -9, w - 2, h + 8, 9, BODY, lerp(BODY, PANEL_EDGE, 0.3))
    panel(c, 6, 42, 124, 172)
    well(c, 10, 50, 116, 159)
    panel(c, 136, 42, 444, 172)
    # The track list above, the file information (framed by the program)
    # below, dark like the tree's well.
    well(c, 142, 50, 432, 106)
    well(c, 142, 162, 432, 46)
    img = c.image()
    _caption(img, 140, 26, "History")
    return img


# ----- dialogs -------------------------------------------------------------

def dialog(w, h, title, build=None, footer=True):
    c = Canvas(w, h, PANEL_EDGE)
    _frame(c, w, h, title_h=30)
    _logo(c, 20, 16, 6)
    if footer:
        c.rect(10, h - 46, w - 20, 1, PANEL_EDGE)
        c.rect(10, h - 45, w - 20, 1, lerp(BODY, RIM, 0.35))
    labels = []
    if build:
        build(c, labels)
    img = c.image()
    _title(img, 34, 16, title)
    for item in labels:
        kind, x, y, s = item[:4]
        if kind == "cap":
            _caption(img, x, y, s)
        elif kind == "dim":
            _label(img, x, y, s, dim=True, size=9)
        elif kind == "big":
            text_shadowed(img, x, y, s, font(20, bold=True), TEXT, anchor="mm")
        else:
            _label(img, x, y, s, size=9)
    return img


def _edits(c, rects):
    for x, y, w, h in rects:
        well(c, x - 2, y - 2, w + 4, h + 4, fill=(240, 243, 247))


def mp3_face():
    def build(c, L):
        panel(c, 16, 42, 453, 44)
        panel(c, 16, 92, 453, 152)
        _edits(c, [(142, 61, 68, 17), (338, 61, 80, 17), (232, 137, 203, 17),
                   (232, 165, 203, 17), (232, 191, 203, 17), (232, 217, 48, 18),
                   (331, 217, 104, 18)])
        L += [("cap", 26, 54, "Encoding"), ("lbl", 80, 70, "Bitrate"), ("dim", 214, 70, "kbit/s"),
              ("lbl", 250, 70, "Channels"),
              ("lbl", 77, 108, "Generate CRC"), ("lbl", 193, 108, "Original"),
              ("lbl", 283, 108, "Copyright"), ("lbl", 381, 108, "Private"),
              ("lbl", 77, 137, "Enable ID3 tags"), ("lbl", 180, 146, "Artist"),
              ("lbl", 180, 174, "Album"), ("lbl", 180, 200, "Title"),
              ("lbl", 180, 226, "Year"), ("lbl", 290, 226, "Genre")]
    return dialog(485, 332, "Set MP3 parameters", build)


def wma_face():
    def build(c, L):
        panel(c, 16, 40, 453, 186)
        _edits(c, [(100, 52, 133, 17), (295, 52, 163, 17), (100, 89, 133, 17),
                   (295, 89, 163, 17), (100, 126, 133, 17), (316, 126, 142, 17),
                   (100, 163, 358, 17), (100, 200, 358, 17)])
        L += [("lbl", 30, 61, "Artist"), ("lbl", 248, 61, "Title"), ("lbl", 30, 98, "Album"),
              ("lbl", 248, 98, "Genre"), ("lbl", 30, 135, "Composer"),
              ("lbl", 248, 135, "Copyright"), ("lbl", 30, 172, "Description"),
              ("lbl", 30, 209, "Format")]
    return dialog(485, 332, "Set WMA parameters", build)


def output_face():
    def build(c, L):
        panel(c, 16, 36, 453, 66)
        panel(c, 16, 104, 453, 176)
        _edits(c, [(117, 43, 135, 20), (117, 73, 259, 20)])
        L += [("lbl", 28, 53, "File name"), ("lbl", 28, 83, "Folder"),
              ("lbl", 52, 118, "Multiple files"),
              ("dim", 52, 136, "Start a new numbered file for every recording"),
              ("lbl", 52, 182, "Time-stamped names"),
              ("dim", 52, 200, "Name each file after the time it started"),
              ("lbl", 52, 242, "Overwrite alert"),
              ("dim", 52, 260, "Ask before an existing file is replaced"),
              ("lbl", 281, 53, "WAV"), ("lbl", 350, 53, "MP3"), ("lbl", 416, 53, "WMA")]
    return dialog(485, 332, "Output file", build)


def background_face():
    def build(c, L):
        panel(c, 16, 40, 453, 84)
        panel(c, 16, 122, 453, 160)
        _edits(c, [(130, 60, 247, 18)])
        
        L += [("lbl", 26, 69, "Background file"),
              ("lbl", 26, 99, "Scale between Background"), ("lbl", 26, 111, "and Recording"),
              ("cap", 26, 140, "Channel"), ("lbl", 100, 140, "Background"),
              ("lbl", 100, 170, "Recording"),
              ("lbl", 234, 140, "Left"), ("lbl", 304, 140, "Right"), ("lbl", 372, 140, "Left & Right"),
              ("lbl", 234, 170, "Left"), ("lbl", 304, 170, "Right"), ("lbl", 372, 170, "Left & Right"),
              ("dim", 26, 200, "When background finished"),
              ("lbl", 127, 219, "Repeat"), ("lbl", 233, 219, "Stop recording"),
              ("lbl", 372, 219, "Stop background"),
              ("lbl", 46, 250, "Remove human voice from background"),
              ("dim", 26, 272, "Vocal in"), ("lbl", 127, 272, "Left channel"),
              ("lbl", 233, 272, "Right channel"), ("lbl", 372, 272, "Both channels"),
              ("lbl", 46, 306, "Enable background preview")]
    return dialog(485, 332, "Background Music Option", build, footer=False)


def device_face():
    def build(c, L):
        panel(c, 10, 36, 215, 246)
        panel(c, 228, 36, 246, 246)
        L += [("cap", 18, 30, ""), ("cap", 236, 30, "")]
    img = dialog(485, 332, "Capture device", build)
    # Two short lines: the footer's right half belongs to OK and Cancel.
    _caption(img, 18, 300, "Devices on the left,")
    _caption(img, 18, 313, "their recording lines on the right")
    return img


def startup_face():
    def build(c, L):
        well(c, 200, 64, 143, 20, fill=PANEL)
        panel(c, 30, 104, 425, 176)
        L += [("big", 242, 46, ""), ("lbl", 50, 128, "Welcome to Brindle."),
              ("dim", 50, 150, "Brindle records whatever your computer plays or hears."),
              ("dim", 50, 168, "To record sound that is playing, it first finds the"),
              ("dim", 50, 186, "recording line that carries it."),
              ("lbl", 74, 239, "Detect the streaming audio line now"),
              ("lbl", 74, 266, "Do it later")]
    return dialog(485, 332, "Getting started", build)


def about_face():
    def build(c, L):
        _logo(c, 242, 90, 26)
        c.rrect(150, 212, 245, 32, 6, fill=PANEL)
        L += [("big", 242, 150, "Brindle"), ("dim", 176, 180, "Sound Recorder for Windows")]
    return dialog(485, 332, "About", build)


def schedule_face():
    def build(c, L):
        panel(c, 12, 36, 404, 168)
        panel(c, 420, 20, 150, 182)
        panel(c, 12, 204, 556, 34)
        _edits(c, [(185, 46, 26, 16), (185, 96, 26, 16), (185, 146, 26, 16),
                   (384, 46, 26, 16), (384, 96, 26, 16), (384, 146, 26, 16),
                   (128, 210, 272, 18), (485, 210, 26, 18), (21, 264, 345, 136),
                   (428, 47, 134, 16), (435, 176, 121, 17)])
        L += [("cap", 24, 52, "Start"), ("cap", 225, 52, "End"),
              ("dim", 120, 54, "hour"), ("dim", 120, 104, "minute"), ("dim", 120, 154, "second"),
              ("dim", 321, 54, "hour"), ("dim", 321, 104, "minute"), ("dim", 321, 154, "second"),
              ("lbl", 440, 35, "On days"), ("lbl", 455, 97, "Sun"), ("lbl", 513, 97, "Mon"),
              ("lbl", 455, 111, "Tue"), ("lbl", 513, 111, "Wed"), ("lbl", 455, 125, "Thu"),
              ("lbl", 513, 125, "Fri"), ("lbl", 455, 139, "Sat"), ("dim", 435, 166, "or on date"),
              ("lbl", 40, 220, "Open web address"), ("dim", 444, 220, "load (s)"),
              ("cap", 24, 252, "Scheduled recordings")]
    return dialog(578, 431, "Schedule", build, footer=False)


def noise_face():
    def build(c, L):
        panel(c, 36, 36, 236, 176)
        panel(c, 36, 216, 236, 124)
        for y in (54, 107, 159):
            _edits(c, [(235, y, 24, 16)])
        for y in (227, 283):
            _edits(c, [(219, y, 40, 16)])
        L += [("lbl", 48, 62, "Noise gate threshold"), ("dim", 263, 62, "dB"),
              ("lbl", 48, 115, "Release time"), ("lbl", 48, 167, "Attack time"),
              ("lbl", 48, 235, "Low-pass cut-off"), ("dim", 263, 235, "Hz"),
              ("lbl", 48, 291, "High-pass cut-off"), ("dim", 263, 291, "Hz"),
              ("cap", 300, 62, "Noise gate"),
              ("dim", 300, 82, "Sound below the threshold is muted"),
              ("dim", 300, 98, "after the release time; it opens"),
              ("dim", 300, 114, "again after the attack time."),
              ("cap", 300, 236, "Filters"),
              ("dim", 300, 256, "Low pass removes hiss above,"),
              ("dim", 300, 272, "high pass rumble below the cut-off.")]
    return dialog(578, 388, "Noise gate and filters", build, footer=False)


def splitter_face():
    def build(c, L):
        panel(c, 40, 36, 236, 126)
        panel(c, 316, 56, 100, 100)
        _edits(c, [(240, 51, 24, 16), (240, 104, 24, 16)])
        L += [("lbl", 54, 59, "Silence threshold"), ("dim", 268, 59, ""),
              ("lbl", 54, 112, "Delay (seconds)"), ("cap", 322, 66, "On silence"),
              ("dim", 54, 190, "When the sound stays below the threshold for the delay,"),
              ("dim", 54, 206, "the recorder starts a new file, pauses or stops.")]
    return dialog(578, 388, "Track splitter", build, footer=False)


def other_faces():
    """Faces the main window keeps for its settings side."""
    back = dialog(592, 392, "Settings", None, footer=False)
    right = audio_box()
    return {"IDR_BACKFACE": back, "IDR_RIGHTFACE": right}


def all_faces():
    out = {"IDR_FACE1": main_face(), "IDR_AUDIOLINE": audio_box(), "IDR_LOGFACE": log_face(),
           "IDR_MP3FACE": mp3_face(), "IDR_WMAFACE": wma_face(), "IDR_OUTPUTFACE": output_face(),
           "IDR_BACKGROUND": background_face(), "IDR_DEVICEFACE": device_face(),
           "IDR_STARTFACE": startup_face(), "IDR_ABOUTFACE": about_face(),
           "IDR_SCHEDULEFACE": schedule_face(), "IDR_NOISEGATINGFACE": noise_face(),
           "IDR_TRACKSPLITTERFACE": splitter_face()}
    out.update(other_faces())
    return out
