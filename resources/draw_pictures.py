#!/usr/bin/python3
"""Draws the program's pictures: the two backgrounds, the three button strips and the icon.

Run through ./draw-pictures, which installs the Debian packages this needs. Writes 24-bit BMPs
(and app.ico) next to this file. The backgrounds are filled with the mask colour outside the
window outline, and the outline is laid down exactly from the stored rectangles, so scanning the
Chinese picture gives the stored region back.
"""
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 813, 553
MASK = (245, 255, 255)

FONT_DIR = "/usr/share/fonts/truetype"
CJK = f"{FONT_DIR}/wqy/wqy-microhei.ttc"
SANS = f"{FONT_DIR}/dejavu/DejaVuSans.ttf"
SANS_BOLD = f"{FONT_DIR}/dejavu/DejaVuSans-Bold.ttf"
COND_BOLD = f"{FONT_DIR}/dejavu/DejaVuSansCondensed-Bold.ttf"
COND_BOLD_OBLIQUE = f"{FONT_DIR}/dejavu/DejaVuSansCondensed-BoldOblique.ttf"
SANS_BOLD_OBLIQUE = f"{FONT_DIR}/dejavu/DejaVuSans-BoldOblique.ttf"

# Palette: gunmetal blacks, steel greys, one racing red.
INK = (9, 10, 12)
PANEL = (19, 21, 25)
PANEL_HI = (30, 33, 38)
STEEL = (70, 76, 86)
STEEL_HI = (128, 136, 148)
TEXT = (196, 200, 208)
TEXT_DIM = (140, 146, 156)
RED = (226, 28, 36)
RED_HI = (255, 70, 64)
RED_DARK = (120, 10, 16)
YELLOW = (255, 252, 0)

# The stored window outline: {left, top, right, bottom}, right and bottom excluded.
OUTLINE = [
    (274, 2, 535, 4), (273, 4, 536, 5), (272, 5, 537, 6), (271, 6, 538, 7), (270, 7, 538, 8),
    (270, 8, 539, 9), (269, 9, 540, 10), (268, 10, 541, 11), (267, 11, 542, 13), (266, 13, 543, 14),
    (265, 14, 544, 15), (264, 15, 545, 17), (263, 17, 546, 18), (262, 18, 547, 19), (261, 19, 548, 20),
    (260, 20, 548, 21), (260, 21, 549, 22), (259, 22, 550, 23), (258, 23, 551, 24), (257, 24, 551, 25),
    (257, 25, 552, 26),
    (15, 26, 100, 27), (256, 26, 553, 27), (713, 26, 798, 27),
    (14, 27, 101, 28), (255, 27, 554, 28), (712, 27, 799, 28),
    (12, 28, 102, 29), (254, 28, 555, 29), (711, 28, 800, 29),
    (11, 29, 103, 30), (254, 29, 555, 30), (709, 29, 802, 30),
    (9, 30, 104, 31), (253, 30, 556, 31), (708, 30, 803, 31),
    (8, 31, 105, 32), (252, 31, 557, 32), (707, 31, 805, 32),
    (6, 32, 107, 33), (251, 32, 558, 33), (706, 32, 806, 33),
    (5, 33, 108, 34), (250, 33, 558, 34), (705, 33, 808, 34),
    (3, 34, 109, 35), (250, 34, 559, 35), (703, 34, 809, 35),
    (2, 35, 110, 36), (249, 35, 560, 36), (702, 35, 811, 36),
    (0, 36, 111, 37), (248, 36, 561, 37), (701, 36, 812, 37),
    (0, 37, 812, 553),
]

TEXTS = {
    "zh": {
        "title": "雙鼠對擊  按鍵擊發速度測試",
        "subtitle": "SARNEVO  CLICK  RACE",
        "paragraph": [
            "哪一顆微動開關先觸發？把兩隻滑鼠接上同一台電腦，一擊定勝負。",
            "每一次對擊都以高精度計時器記錄，判定到 0.1 毫秒。",
        ],
        "panel_left": "對擊方式",
        "panel_centre": "測試說明",
        "panel_right": "測試結果",
        "steps": [
            ("1", "將滑鼠 A 與滑鼠 B 接到", "同一台電腦的 USB 埠。"),
            ("2", "以 A 的左鍵對擊 B 的右鍵，", "或反過來，一擊同時按下。"),
        ],
        "step3": ("3", "每一擊的勝方與差距", "都列在右側的表格中。"),
        "hints": [("F1键：开始测试", YELLOW), ("F2键：停止测试", (255, 0, 0)), ("ESC键：离开测试程式", YELLOW)],
        "headings": ["次數", "勝方", "差距(ms)"],
        "gauge": "精度 0.1 ms",
        "left_key": "左鍵",
        "blow": "兩鍵對擊  一擊定勝負",
        "right_key": "右鍵",
        "exit": "離開",
    },
    "en": {
        "title": "DUAL MOUSE CLICK RACE",
        "subtitle": "SARNEVO  SWITCH  TIMING  TEST",
        "paragraph": [
            "Which switch fires first? Plug two mice into one computer and settle it in one blow.",
            "Every strike is stamped by the high-resolution counter and judged to 0.1 ms.",
        ],
        "panel_left": "HOW TO STRIKE",
        "panel_centre": "INSTRUCTIONS",
        "panel_right": "RESULTS",
        "steps": [
            ("1", "Plug mouse A and mouse B", "into the same computer."),
            ("2", "Strike A's left button against", "B's right button, or the reverse."),
        ],
        "step3": ("3", "The winner of every strike is", "listed in the table on the right."),
        "hints": [("F1: Start", YELLOW), ("F2: Stop", (255, 0, 0)), ("ESC: Exit Software", YELLOW)],
        "headings": ["No.", "Winner", "Margin ms"],
        "gauge": "RESOLUTION 0.1 ms",
        "left_key": "LEFT",
        "blow": "ONE BLOW  -  TWO BUTTONS",
        "right_key": "RIGHT",
        "exit": "EXIT",
    },
}

WEB_ADDRESS = "www.sarnevo.example"


def font(path, size, index=0):
    return ImageFont.truetype(path, size, index=index)


def text_font(lang, size, bold=False):
    if lang == "zh":
        return font(CJK, size)
    return font(SANS_BOLD if bold else SANS, size)


def outline_mask():
    inside = np.zeros((H, W), dtype=bool)
    for left, top, right, bottom in OUTLINE:
        inside[top:bottom, left:right] = True
    return inside


def vertical_gradient(size, top, bottom):
    w, h = size
    t = np.linspace(0.0, 1.0, h)[:, None, None]
    a = np.array(top, dtype=float)[None, None, :]
    b = np.array(bottom, dtype=float)[None, None, :]
    rows = a + (b - a) * t
    return Image.fromarray(np.repeat(rows, w, axis=1).astype(np.uint8), "RGB")


def hexagon_pattern(size, cell, colour, width=1, offset=(0, 0)):
    """Transparent layer with a honeycomb of hexagon outlines."""
    w, h = size
    layer = Image.new("RGBA", size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    r = cell
    dx = math.sqrt(3) * r
    dy = 1.5 * r
    row = 0
    y = -r + offset[1]
    while y < h + r:
        x = -dx + (dx / 2 if row % 2 else 0) + offset[0]
        while x < w + dx:
            pts = [(x + r * math.cos(math.radians(60 * i + 30)), y + r * math.sin(math.radians(60 * i + 30)))
                   for i in range(6)]
            d.line(pts + [pts[0]], fill=colour, width=width)
            x += dx
        y += dy
        row += 1
    return layer


def centred_text(d, cx, y, text, fnt, fill, **kw):
    box = d.textbbox((0, 0), text, font=fnt, **kw)
    d.text((cx - (box[2] - box[0]) / 2 - box[0], y), text, font=fnt, fill=fill, **kw)


def glow_text(img, xy, text, fnt, fill, glow, radius=4, anchor="la"):
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ImageDraw.Draw(layer).text(xy, text, font=fnt, fill=glow + (255,), anchor=anchor)
    layer = layer.filter(ImageFilter.GaussianBlur(radius))
    img.alpha_composite(layer)
    img.alpha_composite(layer)
    ImageDraw.Draw(img).text(xy, text, font=fnt, fill=fill, anchor=anchor)


def panel(img, box, title, lang):
    """A bevelled dark panel with a header strip and a red marker."""
    d = ImageDraw.Draw(img)
    x0, y0, x1, y1 = box
    img.alpha_composite(vertical_gradient((x1 - x0, y1 - y0), (24, 26, 31), (13, 14, 17)).convert("RGBA"), (x0, y0))
    d.rectangle(box, outline=(52, 56, 64))
    d.line([(x0 + 1, y0 + 1), (x1 - 1, y0 + 1)], fill=(72, 78, 88))
    # Header strip with a slanted red tab.
    d.rectangle((x0 + 1, y0 + 1, x1 - 1, y0 + 24), fill=(28, 31, 36))
    d.line([(x0 + 1, y0 + 25), (x1 - 1, y0 + 25)], fill=(50, 54, 62))
    d.polygon([(x0 + 1, y0 + 1), (x0 + 9, y0 + 1), (x0 + 5, y0 + 25), (x0 + 1, y0 + 25)], fill=RED)
    fnt = font(CJK, 14) if lang == "zh" else font(COND_BOLD, 13)
    d.text((x0 + 16, y0 + 13), title, font=fnt, fill=(226, 230, 236), anchor="lm")
    # Corner ticks, the kind a machined bezel has.
    for cx, cy, sx, sy in ((x1 - 2, y1 - 2, -1, -1), (x0 + 2, y1 - 2, 1, -1)):
        d.line([(cx, cy), (cx + 10 * sx, cy)], fill=RED, width=2)
        d.line([(cx, cy), (cx, cy + 10 * sy)], fill=RED, width=2)


def draw_mouse(d, cx, cy, s, label, pressed_side, lang):
    """A gaming mouse seen from above, scale s (drawn on a supersampled layer)."""
    w, h = 70 * s, 112 * s
    x0, y0 = cx - w / 2, cy - h / 2
    body = (x0, y0, x0 + w, y0 + h)
    d.rounded_rectangle(body, radius=34 * s, fill=(36, 39, 45), outline=(110, 118, 130), width=int(2 * s))
    # Side grips.
    d.rounded_rectangle((x0 + 3 * s, y0 + 44 * s, x0 + 10 * s, y0 + 92 * s), radius=3 * s, fill=(22, 24, 28))
    d.rounded_rectangle((x0 + w - 10 * s, y0 + 44 * s, x0 + w - 3 * s, y0 + 92 * s), radius=3 * s, fill=(22, 24, 28))
    # Buttons: split line and the two halves.
    split = y0 + 46 * s
    d.line([(cx, y0 + 2 * s), (cx, split)], fill=(10, 10, 12), width=int(2 * s))
    d.line([(x0 + 6 * s, split), (x0 + w - 6 * s, split)], fill=(10, 10, 12), width=int(2 * s))
    hot = RED if pressed_side else None
    if pressed_side == "left":
        d.pieslice((x0 + 2 * s, y0 + 2 * s, x0 + w - 2 * s, y0 + 70 * s), 180, 270, fill=hot)
        d.rectangle((x0 + 4 * s, y0 + 36 * s, cx - 2 * s, split - 2 * s), fill=hot)
    elif pressed_side == "right":
        d.pieslice((x0 + 2 * s, y0 + 2 * s, x0 + w - 2 * s, y0 + 70 * s), 270, 360, fill=hot)
        d.rectangle((cx + 2 * s, y0 + 36 * s, x0 + w - 4 * s, split - 2 * s), fill=hot)
    # Wheel and a red light strip.
    d.rounded_rectangle((cx - 4 * s, y0 + 14 * s, cx + 4 * s, y0 + 32 * s), radius=4 * s, fill=(90, 96, 106),
                        outline=(20, 20, 24), width=int(s))
    d.line([(cx, y0 + 70 * s), (cx, y0 + 98 * s)], fill=RED_DARK, width=int(3 * s))
    # The mouse's letter on the button that is not struck.
    lx = cx + (17 if pressed_side == "left" else -17) * s
    d.text((lx, y0 + 32 * s), label, font=font(SANS_BOLD, int(20 * s)), fill=(235, 238, 242), anchor="mm")


def draw_gripping_hand(d, cx, cy, s, thumb_left):
    """A hand coming from below that grips the rear of a mouse centred at (cx, cy), buttons left free."""
    skin = (226, 182, 152)
    shade = (168, 118, 96)
    sleeve = (26, 28, 33)
    # Sleeve with a red cuff.
    d.rounded_rectangle((cx - 24 * s, cy + 60 * s, cx + 24 * s, cy + 130 * s), radius=6 * s, fill=sleeve,
                        outline=(58, 62, 70), width=int(s))
    d.rectangle((cx - 24 * s, cy + 60 * s, cx + 24 * s, cy + 66 * s), fill=RED)
    # Palm over the rear of the mouse.
    d.rounded_rectangle((cx - 27 * s, cy + 6 * s, cx + 27 * s, cy + 64 * s), radius=20 * s, fill=skin, outline=shade,
                        width=int(s))
    # Thumb along one side, three fingertips curling round the other.
    side = -1 if thumb_left else 1
    tx = cx + side * 30 * s
    d.rounded_rectangle((tx - 7 * s, cy - 14 * s, tx + 7 * s, cy + 30 * s), radius=7 * s, fill=skin, outline=shade,
                        width=int(s))
    for i in range(3):
        fx = cx - side * 31 * s
        fy = cy + (2 + i * 15) * s
        d.rounded_rectangle((fx - 7 * s, fy, fx + 7 * s, fy + 13 * s), radius=6 * s, fill=skin, outline=shade,
                            width=int(s))
    # Knuckle lines.
    for i in range(3):
        kx = cx + (-12 + i * 12) * s
        d.line([(kx, cy + 14 * s), (kx, cy + 22 * s)], fill=shade, width=int(s))


def held_mouse(label, struck_side, s):
    """Mouse pointing up, the struck button lit, gripped from behind; on its own layer for rotating."""
    size = int(300 * s)
    layer = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    cx, cy = 150 * s, 150 * s
    draw_mouse(d, cx, cy, s, label, struck_side, None)
    draw_gripping_hand(d, cx, cy, s, thumb_left=(struck_side == "right"))
    return layer, (cx, cy)


def illustration(lang, size):
    """Two hands strike the left button of mouse A against the right button of mouse B, nose to nose."""
    s = 3
    w, h = size
    big = Image.new("RGBA", (w * s, h * s), (0, 0, 0, 0))
    glow = Image.new("RGBA", big.size, (0, 0, 0, 0))
    ImageDraw.Draw(glow).ellipse((30 * s, 40 * s, (w - 30) * s, 170 * s), fill=(226, 28, 36, 60))
    big.alpha_composite(glow.filter(ImageFilter.GaussianBlur(18 * s)))

    k = 1.0  # mouse scale within the panel
    tilt = 72
    nose = 56 * k
    cy = 122
    contact_x = w / 2
    # Rotated clockwise, mouse A's left button faces up; rotated anticlockwise, B's right button does.
    offset_x = nose * math.sin(math.radians(tilt))
    offset_y = nose * math.cos(math.radians(tilt))
    for label, side, angle, cx in (("A", "left", -tilt, contact_x - offset_x - 2),
                                   ("B", "right", tilt, contact_x + offset_x + 2)):
        layer, centre = held_mouse(label, side, s * k)
        layer = layer.rotate(angle, resample=Image.BICUBIC, center=centre)
        big.alpha_composite(layer, (int(cx * s - centre[0]), int(cy * s - centre[1])))
    small = big.resize(size, Image.LANCZOS)
    sd = ImageDraw.Draw(small)

    # Impact burst where the two struck buttons meet.
    ix, iy = contact_x, cy - offset_y - 14
    for i in range(12):
        a = math.radians(i * 30 + 15)
        r0, r1 = (9, 22) if i % 2 else (9, 16)
        sd.line([(ix + r0 * math.cos(a), iy + r0 * math.sin(a)), (ix + r1 * math.cos(a), iy + r1 * math.sin(a))],
                fill=RED_HI if i % 2 else (255, 220, 120), width=2)
    sd.text((ix, iy - 30), "VS", font=font(COND_BOLD_OBLIQUE, 16), fill=RED_HI, anchor="mm")

    # Badges naming the struck buttons.
    fnt = font(CJK, 13) if lang == "zh" else font(COND_BOLD, 12)
    for text, x in (("A  " + TEXTS[lang]["left_key"], w * 0.25), ("B  " + TEXTS[lang]["right_key"], w * 0.75)):
        box = sd.textbbox((x, 232), text, font=fnt, anchor="mm")
        sd.rounded_rectangle((box[0] - 10, 222, box[2] + 10, 242), radius=3, fill=(32, 35, 40), outline=RED)
        sd.text((x, 232), text, font=fnt, fill=(236, 238, 242), anchor="mm")
    caption = font(CJK, 13) if lang == "zh" else font(COND_BOLD, 11)
    sd.text((w / 2, 272), TEXTS[lang]["blow"], font=caption, fill=TEXT_DIM, anchor="mm")
    return small


def gauge(img, centre, radius, lang):
    d = ImageDraw.Draw(img)
    cx, cy = centre
    d.arc((cx - radius, cy - radius, cx + radius, cy + radius), 150, 390, fill=(60, 64, 72), width=6)
    d.arc((cx - radius, cy - radius, cx + radius, cy + radius), 150, 300, fill=RED, width=6)
    for i in range(13):
        a = math.radians(150 + i * 20)
        r0 = radius - (14 if i % 3 == 0 else 10)
        d.line([(cx + r0 * math.cos(a), cy + r0 * math.sin(a)),
                (cx + (radius - 6) * math.cos(a), cy + (radius - 6) * math.sin(a))],
               fill=STEEL_HI if i % 3 == 0 else STEEL, width=2 if i % 3 == 0 else 1)
    a = math.radians(292)
    d.line([(cx, cy), (cx + (radius - 16) * math.cos(a), cy + (radius - 16) * math.sin(a))], fill=RED_HI, width=3)
    d.ellipse((cx - 6, cy - 6, cx + 6, cy + 6), fill=(40, 44, 50), outline=STEEL_HI)
    d.text((cx, cy + 22), "3.2", font=font(COND_BOLD, 22), fill=(236, 238, 242), anchor="mm")
    d.text((cx, cy + 40), "ms", font=font(COND_BOLD, 11), fill=TEXT_DIM, anchor="mm")
    fnt = font(CJK, 12) if lang == "zh" else font(COND_BOLD, 11)
    d.text((cx, cy + radius + 8), TEXTS[lang]["gauge"], font=fnt, fill=TEXT_DIM, anchor="mm")


def logo_plate(img):
    """The maker's plate in the top tab."""
    d = ImageDraw.Draw(img)
    box = (300, 5, 508, 33)
    d.polygon([(box[0] + 10, box[1]), (box[2] - 10, box[1]), (box[2], box[3]), (box[0], box[3])], fill=(4, 4, 5),
              outline=(90, 96, 106))
    d.line([(box[0] + 11, box[1] + 1), (box[2] - 11, box[1] + 1)], fill=(150, 156, 166))
    # Emblem: a red chevron pair.
    ex, ey = box[0] + 24, 19
    d.polygon([(ex - 9, ey - 8), (ex + 1, ey - 8), (ex + 9, ey), (ex + 1, ey + 8), (ex - 9, ey + 8), (ex - 1, ey)],
              fill=RED)
    d.polygon([(ex + 5, ey - 8), (ex + 9, ey - 8), (ex + 17, ey), (ex + 9, ey + 8), (ex + 5, ey + 8), (ex + 13, ey)],
              fill=RED_HI)
    glow_text(img, (box[0] + 118, 19), "SARNEVO", font(SANS_BOLD_OBLIQUE, 19), (244, 246, 250), (226, 28, 36),
              radius=3, anchor="mm")
    d.text((box[2] - 22, 19), "\u00ae", font=font(SANS, 8), fill=TEXT_DIM, anchor="mm")


def frame_edges(img, inside):
    """Machined edge along the outline: a steel rim inside the border and a red inner line."""
    arr = np.array(img.convert("RGB"))
    edge1 = inside & ~(np.roll(inside, 1, 0) & np.roll(inside, -1, 0) & np.roll(inside, 1, 1) & np.roll(inside, -1, 1))
    grown = edge1.copy()
    for axis, step in ((0, 1), (0, -1), (1, 1), (1, -1)):
        grown |= np.roll(edge1, step, axis)
    edge2 = inside & grown & ~edge1
    arr[edge1] = (118, 124, 134)
    arr[edge2] = (40, 43, 49)
    return Image.fromarray(arr, "RGB")


def button_frame(size, text, state, lang, text_font_obj):
    """One frame of a skinned button: a slanted plate on black (the key), text and a hexagon pattern."""
    w, h = size
    img = Image.new("RGBA", size, (0, 0, 0, 255))
    # Plate gradient, hexagon lines, text: grey on dark, bright red on red, darker red, grey again.
    fills = {
        0: ((40, 43, 49), (22, 24, 28), (64, 68, 76), (176, 180, 188)),
        1: ((58, 12, 16), (30, 6, 9), (170, 24, 32), (255, 64, 56)),
        2: ((40, 6, 10), (20, 3, 5), (112, 14, 20), (196, 28, 34)),
        3: ((30, 32, 36), (22, 23, 26), (44, 46, 52), (118, 122, 128)),
    }
    top, bottom, pattern, ink = fills[state]
    slant = h // 2
    poly = [(slant, 1), (w - 2, 1), (w - 2 - slant, h - 2), (1, h - 2)]
    shape = Image.new("L", size, 0)
    ImageDraw.Draw(shape).polygon(poly, fill=255)
    plate = vertical_gradient(size, top, bottom).convert("RGBA")
    plate.alpha_composite(hexagon_pattern(size, 5, pattern + (255,)))
    # The plate keeps hard edges: the button's shape follows them exactly.
    img.paste(plate, (0, 0), shape)
    d = ImageDraw.Draw(img)
    d.line([poly[0], poly[1]], fill=tuple(min(255, c + 60) for c in top), width=1)
    d.line(poly + [poly[0]], fill=pattern, width=1)
    dy = 1 if state == 2 else 0
    d.text((w / 2, h / 2 + dy), text, font=text_font_obj, fill=ink, anchor="mm", stroke_width=2,
           stroke_fill=(12, 6, 8))
    out = np.array(img.convert("RGB"))
    # Only the key may be pure black: anything drawn that came out black is lifted by one step.
    inside = np.array(shape) > 0
    black = (out == 0).all(axis=2) & inside
    out[black] = (1, 1, 1)
    out[~inside] = 0
    return Image.fromarray(out, "RGB")


def strip(frame_size, text, lang, text_font_obj, extra_columns=0):
    w, h = frame_size
    img = Image.new("RGB", (w * 4 + extra_columns, h), (0, 0, 0))
    for state in range(4):
        img.paste(button_frame(frame_size, text, state, lang, text_font_obj), (state * w, 0))
    return img


def exit_font(lang):
    return font(CJK, 18) if lang == "zh" else font(COND_BOLD_OBLIQUE, 17)


WEB_FONT = None


def web_font():
    return font(COND_BOLD, 13)


def background(lang):
    t = TEXTS[lang]
    inside = outline_mask()
    img = vertical_gradient((W, H), (30, 33, 38), (8, 9, 11)).convert("RGBA")
    img.alpha_composite(hexagon_pattern((W, H), 14, (255, 255, 255, 9)))
    d = ImageDraw.Draw(img)

    # Red sweep behind the title.
    sweep = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    ImageDraw.Draw(sweep).ellipse((156, 20, 656, 120), fill=(226, 28, 36, 60))
    img.alpha_composite(sweep.filter(ImageFilter.GaussianBlur(30)))

    # Tab and shoulders: darker steel with slanted grille slats.
    d.rectangle((248, 0, 561, 37), fill=(24, 26, 30))
    for x0, x1 in ((0, 111), (701, 812)):
        d.rectangle((x0, 24, x1, 37), fill=(24, 26, 30))
        for x in range(x0 + 16, x1 - 8, 9):
            d.polygon([(x, 30), (x + 5, 30), (x + 1, 36), (x - 4, 36)], fill=RED if (x // 9) % 4 == 0 else (58, 62, 70))
    # Red accent line where the body starts.
    d.rectangle((0, 37, 812, 38), fill=RED)
    d.line([(0, 39), (812, 39)], fill=(70, 8, 12))
    logo_plate(img)

    # Title and subtitle.
    title_font = font(CJK, 28) if lang == "zh" else font(SANS_BOLD_OBLIQUE, 28)
    glow_text(img, (406, 66), t["title"], title_font, (246, 248, 252), (226, 28, 36), radius=6, anchor="mm")
    d.text((406, 92), t["subtitle"], font=font(COND_BOLD, 10), fill=RED_HI, anchor="mm")
    d.line([(250, 92), (330, 92)], fill=(90, 20, 24))
    d.line([(482, 92), (562, 92)], fill=(90, 20, 24))

    # Promotional paragraph.
    para_font = font(CJK, 14) if lang == "zh" else font(SANS, 12)
    for i, line in enumerate(t["paragraph"]):
        d.text((406, 118 + i * 20), line, font=para_font, fill=TEXT, anchor="mm")

    # Divider.
    d.line([(40, 156), (772, 156)], fill=(46, 50, 56))
    d.line([(370, 156), (442, 156)], fill=RED, width=1)

    # Three panels.
    panel(img, (14, 168, 264, 508), t["panel_left"], lang)
    panel(img, (270, 168, 544, 508), t["panel_centre"], lang)
    panel(img, (550, 168, 798, 508), t["panel_right"], lang)

    img.alpha_composite(illustration(lang, (246, 300)), (16, 198))

    # Centre: numbered steps, the painted key hints and the last step.
    step_font = font(CJK, 14) if lang == "zh" else font(SANS, 12)
    num_font = font(COND_BOLD_OBLIQUE, 22)

    def step(y, number, lines):
        d.polygon([(284, y), (306, y), (300, y + 26), (278, y + 26)], fill=RED)
        d.text((292, y + 13), number, font=num_font, fill=(250, 250, 250), anchor="mm")
        for i, line in enumerate(lines):
            d.text((314, y + 4 + i * 19), line, font=step_font, fill=TEXT)

    step(206, *(t["steps"][0][0], t["steps"][0][1:]))
    step(262, *(t["steps"][1][0], t["steps"][1][1:]))
    # The key-hint plate (the live black plate and labels lie exactly over it).
    d.rectangle((277, 332, 536, 387), fill=(0, 0, 0))
    hint_font = font(CJK, 13) if lang == "zh" else font(SANS_BOLD, 12)
    (h1, c1), (h2, c2), (h3, c3) = t["hints"]
    d.text((289, 340), h1, font=hint_font, fill=c1)
    d.text((427, 340), h2, font=hint_font, fill=c2)
    d.text((289, 362), h3, font=hint_font, fill=c3)
    step(404, t["step3"][0], t["step3"][1:])
    # Arrow towards the table.
    d.polygon([(470, 466), (520, 466), (520, 458), (536, 472), (520, 486), (520, 478), (470, 478)], fill=RED)
    d.polygon([(452, 466), (462, 466), (462, 478), (452, 478)], fill=RED_DARK)
    d.polygon([(438, 466), (444, 466), (444, 478), (438, 478)], fill=(70, 8, 12))

    # Right: gauge, column headings over the table, table well and scroll track.
    gauge(img, (674, 256), 44, lang)
    head_font = font(CJK, 13) if lang == "zh" else font(COND_BOLD, 12)
    d.rectangle((553, 322, 760, 344), fill=(36, 8, 12))
    d.line([(553, 344), (760, 344)], fill=RED)
    for (x0, width), heading in zip(((553, 71), (624, 73), (697, 65)), t["headings"]):
        d.text((x0 + width / 2, 333), heading, font=head_font, fill=(240, 240, 244), anchor="mm")
    d.line([(624, 325), (624, 341)], fill=(90, 24, 28))
    d.line([(697, 325), (697, 341)], fill=(90, 24, 28))
    d.rectangle((553, 347, 760, 503), fill=(0, 0, 0))
    d.rectangle((552, 346, 761, 504), outline=(46, 50, 56))
    d.rectangle((766, 356, 771, 494), fill=(14, 15, 18), outline=(40, 43, 49))

    # Bottom bar.
    d.rectangle((0, 512, 812, 552), fill=(12, 13, 15))
    d.line([(0, 512), (812, 512)], fill=(60, 64, 72))
    d.line([(0, 513), (812, 513)], fill=(26, 28, 32))
    d.rectangle((30, 527, 150, 546), fill=(20, 22, 26))
    d.polygon([(18, 527), (26, 527), (22, 546), (14, 546)], fill=RED)
    # The web banner and the exit word, under the buttons that cover them.
    img.paste(button_frame((234, 22), WEB_ADDRESS, 0, lang, web_font()), (289, 522))
    exit_frame = button_frame((103, 34), t["exit"], 0, lang, exit_font(lang))
    img.paste(exit_frame.crop((0, 0, W - 712, 34)), (712, 519))
    d.text((560, 533), "\u00a9 Sarnevo", font=font(SANS, 9), fill=(90, 96, 106), anchor="lm")

    out = np.array(frame_edges(img, inside))
    # Inside the outline no pixel may carry the mask colour, or it would be cut out of the window.
    hit = (out == MASK).all(axis=2) & inside
    out[hit] = (MASK[0], MASK[1], MASK[2] - 1)
    out[~inside] = MASK
    return Image.fromarray(out, "RGB")


def icon():
    sizes = [256, 48, 32, 16]
    big = Image.new("RGBA", (256, 256), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    d.rounded_rectangle((8, 8, 248, 248), radius=48, fill=(18, 20, 24), outline=(120, 126, 136), width=6)
    d.rounded_rectangle((20, 20, 236, 236), radius=38, outline=(226, 28, 36), width=6)
    d.polygon([(52, 64), (112, 64), (160, 128), (112, 192), (52, 192), (100, 128)], fill=RED)
    d.polygon([(128, 64), (160, 64), (208, 128), (160, 192), (128, 192), (176, 128)], fill=RED_HI)
    big.save(os.path.join(HERE, "app.ico"), sizes=[(s, s) for s in sizes])


def save_bmp(img, name):
    img.convert("RGB").save(os.path.join(HERE, name + ".bmp"), "BMP")


def main():
    save_bmp(background("zh"), "Bitmap_Chinese")
    save_bmp(background("en"), "Bitmap_English")
    save_bmp(strip((103, 34), TEXTS["zh"]["exit"], "zh", exit_font("zh")), "Bitmap_Cancel")
    save_bmp(strip((103, 34), TEXTS["en"]["exit"], "en", exit_font("en")), "Bitmap_Cancel2")
    # 937 columns: four 234-wide frames and one black column that belongs to none.
    save_bmp(strip((234, 22), WEB_ADDRESS, "en", web_font(), extra_columns=1), "Bitmap_WebIcon")
    icon()
    return 0


if __name__ == "__main__":
    sys.exit(main())
