"""Window art: the outline mask, the decorated background, the backdrop behind
the card, the button sheet, the card frame strips and the sparkle sprite."""
import math
import random

import cairo
import numpy as np
from PIL import Image

from art_common import (PANEL, GOLD, GOLD_LIGHT, GOLD_DARK, IVORY, SANS_JP, SERIF_LATIN,
                        src, new_surface, surface_to_array, array_to_surface, star_path,
                        sparkle_path, heart_path, crescent_path, rounded_rect, glow_dot,
                        text_centered, distance_inside, mix)

W, H = 737, 584
PICTURE = (32, 44, 348, 508)

# name: (x, y, width, height, sheet x, sheet y, number of states)
BUTTONS = {
    "WishCaption": (552, 60, 51, 19, 310, 113, 2),
    "ExplanationCaption": (559, 374, 36, 19, 310, 132, 2),
    "Close": (703, 1, 33, 33, 118, 0, 3),
    "Minimise": (674, 11, 23, 23, 118, 33, 3),
    "Prev": (535, 2, 39, 37, 0, 0, 3),
    "Next": (580, 2, 39, 37, 0, 37, 3),
    "Fortune": (471, 233, 103, 39, 0, 74, 3),
    "Random": (580, 233, 103, 39, 0, 113, 3),
    "Creator": (457, 549, 150, 35, 0, 152, 3),
    "Homepage": (613, 549, 106, 35, 0, 187, 3),
    "Heart": (686, 232, 47, 40, 218, 0, 4),
}

LABELS = {
    "LabelNo": (445, 290, 50, 12),
    "LabelTittle": (439, 303, 276, 24),
    "LabelCreator": (463, 378, 228, 12),
    "LabelKaisetu": (463, 398, 228, 121),
    "Memo1": (463, 82, 228, 121),
    "IndexArea": (458, 63, 238, 142),
    "IndexStrip": (458, 410, 238, 71),
}

# Flat panels in the label colour, as unions of rounded rectangles (x, y, w, h, r).
PANELS = [
    [(452, 55, 250, 156, 5)],                                # wish box / card index
    [(438, 282, 64, 24, 4), (432, 296, 290, 38, 4)],         # card number tab + title
    [(452, 368, 250, 157, 5)],                               # creator line + explanation
]

INDEX_FRAME_Y = 58
INDEX_FRAME_X = (118, 134)       # resting look, active look
INDEX_FRAME_RGB = ((214, 172, 64), (255, 244, 196))

MASK_RUNS = 602


# ---------------------------------------------------------------- outline

def _bump(y, period, phase):
    t = ((y + phase) % period) / float(period)
    return 1.0 - math.sqrt(max(0.0, 1.0 - (2 * t - 1) ** 2))


def _circle_dx(r, dy):
    return math.sqrt(max(0.0, r * r - dy * dy))


def mask_runs():
    """Per row, the list of [start, end) runs of the window outline."""
    rows = []
    for y in range(H):
        runs = []
        if 8 <= y <= 25:
            # the title plate rising above the body
            left = 96.0
            if y < 16:
                left = 104 - _circle_dx(8, 16 - y)
            if y >= 20:
                left = 90 + _circle_dx(6, y - 20) if y < 26 else 90
                left = min(left, 96.0)
            right = 2 * 206 - left
            runs.append((int(math.ceil(left)), int(math.floor(right))))
        if y <= 25:
            # the crown holding the triangle, minimise and close buttons
            left = 527.0
            if y < 8:
                left = 535 - _circle_dx(8, 8 - y)
            if y >= 18:
                left = 519 + _circle_dx(8, y - 18)
            right = 737.0
            if y < 3:
                right = 734 + _circle_dx(3, 3 - y)
            runs.append((int(math.ceil(left)), min(737, int(math.floor(right)))))
        else:
            left = 3 + 7 * _bump(y, 46, 7)
            if y < 50:
                left = max(left, 27 - _circle_dx(24, 50 - y))
            if y > 552:
                left = max(left, 23 - _circle_dx(20, y - 552))
            if y > 572:
                left = 446.0
                if y > 575:
                    left = 454 - _circle_dx(8, y - 575)
            right = 737 - 4 * _bump(y, 38, 11)
            if y < 46 or 222 <= y <= 282:
                right = 737.0
            if y > 567:
                right = min(right, 721 + _circle_dx(16, y - 567))
            runs.append((int(math.ceil(left)), min(737, int(math.floor(right)))))
        rows.append(runs)
    return rows


def make_mask():
    m = np.zeros((H, W), dtype=bool)
    for y, runs in enumerate(mask_runs()):
        for a, b in runs:
            m[y, a:b] = True
    return m


def count_runs(mask):
    """Scans rows like the window-shape builder: (total runs, largest runs in a row)."""
    total, most = 0, 0
    for row in mask:
        r = row.astype(np.int8)
        starts = int(np.count_nonzero(np.diff(np.concatenate(([0], r))) == 1))
        total += starts
        most = max(most, starts)
    return total, most


# ---------------------------------------------------------------- backdrop

def make_nami():
    w, h = 348, 508
    rng = random.Random(348508)
    surf, ctx = new_surface(w, h)
    g = cairo.LinearGradient(0, 0, 0, h)
    g.add_color_stop_rgb(0.0, 10 / 255., 9 / 255., 32 / 255.)
    g.add_color_stop_rgb(0.55, 26 / 255., 24 / 255., 70 / 255.)
    g.add_color_stop_rgb(1.0, 38 / 255., 40 / 255., 98 / 255.)
    ctx.set_source(g)
    ctx.paint()
    # mist
    for i in range(9):
        x, y = rng.uniform(0, w), rng.uniform(h * 0.15, h * 0.75)
        glow_dot(ctx, x, y, rng.uniform(60, 130), (100, 96, 180), 0.16)
    # stars
    for i in range(170):
        x, y = rng.uniform(0, w), rng.uniform(0, h * 0.72)
        r = rng.choice([0.5, 0.6, 0.7, 0.8, 1.0, 1.3])
        src(ctx, (230, 230, 255), rng.uniform(0.35, 0.95))
        ctx.arc(x, y, r, 0, 2 * math.pi)
        ctx.fill()
    for i in range(9):
        x, y = rng.uniform(10, w - 10), rng.uniform(10, h * 0.6)
        glow_dot(ctx, x, y, 7, (200, 200, 255), 0.35)
        src(ctx, (255, 250, 225), 0.95)
        sparkle_path(ctx, x, y, rng.uniform(3.5, 6.5))
        ctx.fill()
    # waves, back to front
    layers = 7
    for i in range(layers):
        t = i / float(layers - 1)
        base = h * (0.58 + 0.06 * i)
        amp = 6 + 4 * t
        freq = 2 * math.pi / (70 + 25 * (1 - t))
        phase = rng.uniform(0, 2 * math.pi)
        fill = mix((28, 30, 84), (14, 13, 44), t)
        ctx.move_to(0, h)
        pts = []
        for x in range(0, w + 3, 3):
            y = base + amp * math.sin(x * freq + phase) + amp * 0.4 * math.sin(x * freq * 2.3 + phase * 1.7)
            pts.append((x, y))
            ctx.line_to(x, y)
        ctx.line_to(w, h)
        ctx.close_path()
        src(ctx, fill)
        ctx.fill()
        ctx.set_line_width(1.2)
        for k, (x, y) in enumerate(pts):
            if k == 0:
                ctx.move_to(x, y)
            else:
                ctx.line_to(x, y)
        src(ctx, mix((150, 160, 235), (212, 175, 90), t), 0.45 + 0.3 * t)
        ctx.stroke()
        # foam specks on the crests
        for x, y in pts[::5]:
            if rng.random() < 0.35:
                src(ctx, (220, 225, 255), 0.5)
                ctx.arc(x + rng.uniform(-1, 1), y - 2, 0.8, 0, 2 * math.pi)
                ctx.fill()
    return Image.fromarray(surface_to_array(surf), "RGB")


# ---------------------------------------------------------------- background

def _band_colour(dist):
    """Colour and opacity of the gold edge that follows the outline."""
    stops = [
        (0.0, (8, 6, 20), 1.0), (1.2, (8, 6, 20), 1.0),
        (1.9, (150, 108, 40), 1.0), (2.7, (236, 204, 116), 1.0), (3.5, (170, 128, 48), 1.0),
        (4.3, (24, 18, 40), 1.0), (5.2, (24, 18, 40), 0.0),
        (6.0, (212, 175, 80), 0.0), (6.6, (212, 175, 80), 0.75), (7.4, (212, 175, 80), 0.0),
    ]
    d = np.asarray(dist)
    rgb = np.zeros(d.shape + (3,), dtype=np.float32)
    alpha = np.zeros(d.shape, dtype=np.float32)
    ds = [s[0] for s in stops]
    for c in range(3):
        rgb[..., c] = np.interp(d, ds, [s[1][c] for s in stops])
    alpha[...] = np.interp(d, ds, [s[2] for s in stops])
    alpha[d >= 7.4] = 0.0
    return rgb, alpha


def _filigree_scroll(ctx, x, y, length, flip=1, rgb=GOLD, width=1.3):
    """A horizontal vine: a gentle S with a curl at its end and two leaves."""
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(flip, 1)
    ctx.move_to(0, 0)
    ctx.curve_to(length * 0.3, -6, length * 0.55, 6, length * 0.82, 0)
    ctx.curve_to(length * 0.95, -4, length * 0.98, -10, length * 0.9, -11)
    ctx.curve_to(length * 0.84, -12, length * 0.8, -7, length * 0.86, -5)
    src(ctx, rgb)
    ctx.set_line_width(width)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.stroke()
    for t, s in ((0.35, -1), (0.6, 1)):
        lx = length * t
        ctx.move_to(lx, 0)
        ctx.curve_to(lx + 3, s * 6, lx + 9, s * 6, lx + 11, s * 2)
        ctx.curve_to(lx + 7, s * 2, lx + 4, s * 1, lx, 0)
        src(ctx, rgb, 0.9)
        ctx.fill()
    ctx.restore()


def _eight_star(ctx, x, y, r, rgb=GOLD_LIGHT, alpha=1.0):
    star_path(ctx, x, y, r, r * 0.42, 8, -math.pi / 2)
    src(ctx, rgb, alpha)
    ctx.fill()


def _panel_layers(ctx, shapes):
    for grow, rgb in ((5, (196, 162, 82)), (4, (26, 24, 60)), (3, (46, 50, 110)),
                      (2, (66, 74, 146)), (1, (90, 102, 178))):
        for (x, y, w, h, r) in shapes:
            rounded_rect(ctx, x - grow, y - grow, w + 2 * grow, h + 2 * grow, r + grow)
            src(ctx, rgb)
            ctx.fill()
    for (x, y, w, h, r) in shapes:
        rounded_rect(ctx, x, y, w, h, r)
        src(ctx, PANEL)
        ctx.fill()


def make_base(mask, nami):
    """The window background without any button sprite on it."""
    rng = random.Random(737584)
    yy, xx = np.mgrid[0:H, 0:W].astype(np.float32)
    top = np.array((30, 27, 66), dtype=np.float32)
    bottom = np.array((18, 16, 44), dtype=np.float32)
    t = (yy / (H - 1))[..., None]
    arr = top * (1 - t) + bottom * t
    # soft light behind the right-hand panels
    glow = np.exp(-(((xx - 580) / 190.0) ** 2 + ((yy - 300) / 260.0) ** 2))[..., None]
    arr = arr + glow * np.array((16, 18, 40), dtype=np.float32)
    dist = distance_inside(mask, 8)
    band, alpha = _band_colour(dist)
    a = alpha[..., None]
    arr = arr * (1 - a) + band * a
    arr = np.clip(arr + 0.5, 0, 255).astype(np.uint8)

    surf = array_to_surface(arr)
    ctx = cairo.Context(surf)
    ctx.set_antialias(cairo.ANTIALIAS_BEST)

    # star dust over the body
    for i in range(260):
        x, y = rng.uniform(10, W - 10), rng.uniform(30, H - 10)
        src(ctx, (200, 200, 255), rng.uniform(0.12, 0.35))
        ctx.arc(x, y, rng.choice([0.6, 0.8, 1.0]), 0, 2 * math.pi)
        ctx.fill()

    # frame around the picture area
    px, py, pw, ph = PICTURE
    for off, rgb, lw in ((0.5, (10, 8, 24), 1), (2.5, GOLD, 3), (4.5, (60, 44, 24), 1), (7.5, (212, 175, 80), 1)):
        ctx.rectangle(px - off, py - off, pw + 2 * off, ph + 2 * off)
        src(ctx, rgb)
        ctx.set_line_width(lw)
        ctx.stroke()
    ctx.rectangle(px - 2, py - 2, pw + 4, ph + 4)
    src(ctx, GOLD_LIGHT, 0.7)
    ctx.set_line_width(0.8)
    ctx.stroke()
    for cx, cy in ((px - 8, py - 8), (px + pw + 7, py - 8), (px - 8, py + ph + 7), (px + pw + 7, py + ph + 7)):
        ctx.save()
        ctx.translate(cx, cy)
        ctx.rotate(math.pi / 4)
        ctx.rectangle(-4, -4, 8, 8)
        src(ctx, GOLD)
        ctx.fill()
        ctx.rectangle(-2, -2, 4, 4)
        src(ctx, (40, 30, 70))
        ctx.fill()
        ctx.restore()
    # small diamonds along the long sides of the picture frame
    for k in range(1, 12):
        y = py + ph * k / 12.0
        for x in (px - 8, px + pw + 7):
            ctx.save()
            ctx.translate(x, y)
            ctx.rotate(math.pi / 4)
            ctx.rectangle(-1.8, -1.8, 3.6, 3.6)
            src(ctx, GOLD, 0.9)
            ctx.fill()
            ctx.restore()

    # vertical ornament between the picture and the panels
    cx = 412
    src(ctx, GOLD, 0.8)
    ctx.set_line_width(1)
    for x in (cx - 4.5, cx + 4.5):
        ctx.move_to(x, 70)
        ctx.line_to(x, 270)
        ctx.move_to(x, 340)
        ctx.line_to(x, 530)
    ctx.stroke()
    for y in range(84, 270, 26):
        _eight_star(ctx, cx, y, 3.5, GOLD)
    for y in range(352, 530, 26):
        _eight_star(ctx, cx, y, 3.5, GOLD)
    glow_dot(ctx, cx - 3, 305, 24, (140, 140, 230), 0.35)
    crescent_path(ctx, cx - 3, 305, 13, 0.42, -0.5)
    src(ctx, GOLD_LIGHT)
    ctx.fill()
    _eight_star(ctx, cx + 4, 297, 3.2, IVORY)
    for y, flip in ((64, 1), (536, -1)):
        ctx.save()
        ctx.translate(cx, y)
        ctx.scale(1, flip)
        ctx.move_to(-10, 6)
        ctx.curve_to(-10, -2, -3, -6, 0, -10)
        ctx.curve_to(3, -6, 10, -2, 10, 6)
        src(ctx, GOLD)
        ctx.set_line_width(1.2)
        ctx.stroke()
        ctx.restore()

    # crown ornament between the triangle buttons and the round ones
    glow_dot(ctx, 646, 20, 16, (150, 150, 240), 0.35)
    _eight_star(ctx, 646, 20, 9, GOLD)
    _eight_star(ctx, 646, 20, 4, IVORY)

    # dividers in the panel column
    src(ctx, GOLD, 0.85)
    ctx.set_line_width(1)
    ctx.move_to(470, 220.5)
    ctx.line_to(684, 220.5)
    ctx.stroke()
    for x in (470, 577, 684):
        _eight_star(ctx, x, 220.5, 3, GOLD_LIGHT)
    _filigree_scroll(ctx, 562, 352, 100, -1)
    _filigree_scroll(ctx, 592, 352, 100, 1)
    _eight_star(ctx, 577, 351, 8, GOLD)
    _eight_star(ctx, 577, 351, 3.5, IVORY)
    src(ctx, GOLD, 0.85)
    ctx.move_to(470, 537.5)
    ctx.line_to(560, 537.5)
    ctx.move_to(594, 537.5)
    ctx.line_to(684, 537.5)
    ctx.stroke()
    _eight_star(ctx, 577, 537.5, 5, GOLD)
    _filigree_scroll(ctx, 470, 44, 60, 1)
    _eight_star(ctx, 446, 44, 4, GOLD)

    # the picture area shows the backdrop until the program paints a card
    surf.flush()
    arr = surface_to_array(surf)
    arr[py:py + ph, px:px + pw] = np.asarray(nami)
    surf = array_to_surface(arr)
    ctx = cairo.Context(surf)
    ctx.set_antialias(cairo.ANTIALIAS_BEST)

    # the title plate on its ear above the picture
    rounded_rect(ctx, 100, 9, 212, 31, 9)
    g = cairo.LinearGradient(0, 9, 0, 40)
    g.add_color_stop_rgb(0, 52 / 255., 44 / 255., 110 / 255.)
    g.add_color_stop_rgb(1, 24 / 255., 20 / 255., 60 / 255.)
    ctx.set_source(g)
    ctx.fill_preserve()
    src(ctx, GOLD)
    ctx.set_line_width(2)
    ctx.stroke()
    rounded_rect(ctx, 104, 13, 204, 23, 6)
    src(ctx, GOLD_LIGHT, 0.6)
    ctx.set_line_width(0.8)
    ctx.stroke()
    text_centered(ctx, "Sablewick", 207, 25.5, 19, SERIF_LATIN, True, (20, 14, 40), 0.8,
                  cairo.FONT_SLANT_ITALIC)
    text_centered(ctx, "Sablewick", 206, 24.5, 19, SERIF_LATIN, True, GOLD_LIGHT, 1.0,
                  cairo.FONT_SLANT_ITALIC)
    crescent_path(ctx, 124, 24.5, 7, 0.45, -0.4)
    src(ctx, GOLD_LIGHT)
    ctx.fill()
    _eight_star(ctx, 288, 24.5, 6, GOLD_LIGHT)

    # flat label panels, each with its border just outside
    for shapes in PANELS:
        _panel_layers(ctx, shapes)

    arr = surface_to_array(surf)
    arr[~mask] = 0
    return Image.fromarray(arr, "RGB")


# ---------------------------------------------------------------- buttons

def _plate(ctx, w, h, state, r=10):
    """Rounded caption plate; state 0 disabled, 1 normal, 2 pressed."""
    inset = 1.5
    rounded_rect(ctx, inset, inset, w - 2 * inset, h - 2 * inset, r)
    if state == 0:
        top, bot, rim = (92, 92, 116), (62, 62, 84), (130, 124, 110)
    elif state == 1:
        top, bot, rim = (96, 84, 178), (44, 36, 104), GOLD
    else:
        top, bot, rim = (34, 28, 80), (62, 52, 140), (170, 132, 50)
    g = cairo.LinearGradient(0, 0, 0, h)
    g.add_color_stop_rgb(0, *[c / 255. for c in top])
    g.add_color_stop_rgb(1, *[c / 255. for c in bot])
    ctx.set_source(g)
    ctx.fill_preserve()
    src(ctx, rim)
    ctx.set_line_width(2)
    ctx.stroke()
    rounded_rect(ctx, inset + 3, inset + 3, w - 2 * inset - 6, h - 2 * inset - 6, max(2, r - 3))
    src(ctx, GOLD_LIGHT if state == 1 else rim, 0.45 if state else 0.3)
    ctx.set_line_width(0.8)
    ctx.stroke()
    if state == 2:
        # inner shadow along the top: the plate is pushed in
        rounded_rect(ctx, inset + 1, inset + 1, w - 2 * inset - 2, h - 2 * inset - 2, r)
        ctx.save()
        ctx.clip()
        g = cairo.LinearGradient(0, inset, 0, inset + 8)
        g.add_color_stop_rgba(0, 0, 0, 0, 0.55)
        g.add_color_stop_rgba(1, 0, 0, 0, 0)
        ctx.set_source(g)
        ctx.paint()
        ctx.restore()
    elif state == 1:
        rounded_rect(ctx, inset + 2, inset + 2, w - 2 * inset - 4, (h - 2 * inset) * 0.45, r - 2)
        src(ctx, (255, 255, 255), 0.08)
        ctx.fill()


def _caption(ctx, text, w, h, state, size, family=SANS_JP):
    dy = 1 if state == 2 else 0
    if state == 0:
        text_centered(ctx, text, w / 2.0, h / 2.0, size, family, True, (170, 170, 180))
        return
    text_centered(ctx, text, w / 2.0 + 1, h / 2.0 + 1 + dy, size, family, True, (10, 8, 30), 0.7)
    text_centered(ctx, text, w / 2.0, h / 2.0 + dy, size, family, True,
                  IVORY if state == 1 else (220, 206, 170))
    for sx in (11, w - 11):
        _eight_star(ctx, sx, h / 2.0 + dy, 3.2, GOLD_LIGHT if state == 1 else GOLD)


def _triangle(ctx, w, h, state, pointing):
    cx, cy = w / 2.0, h / 2.0 + (1 if state == 2 else 0)
    s = 13.5
    ctx.save()
    ctx.translate(cx, cy)
    if pointing > 0:
        ctx.scale(-1, 1)
    pts = [(-s, 0), (s * 0.75, -s), (s * 0.75, s)]
    ctx.move_to(*pts[0])
    ctx.line_to(*pts[1])
    ctx.line_to(*pts[2])
    ctx.close_path()
    ctx.restore()
    if state == 0:
        fill_a, fill_b, rim = (98, 98, 116), (70, 70, 88), (136, 130, 116)
    elif state == 1:
        fill_a, fill_b, rim = (116, 104, 210), (50, 40, 118), GOLD
    else:
        fill_a, fill_b, rim = (36, 30, 86), (70, 60, 150), (160, 124, 48)
    g = cairo.LinearGradient(0, cy - s, 0, cy + s)
    g.add_color_stop_rgb(0, *[c / 255. for c in fill_a])
    g.add_color_stop_rgb(1, *[c / 255. for c in fill_b])
    ctx.set_source(g)
    ctx.fill_preserve()
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    src(ctx, rim)
    ctx.set_line_width(2.2)
    ctx.stroke()
    if state != 0:
        _eight_star(ctx, cx + (-3 if pointing > 0 else 3), cy, 3.0,
                    GOLD_LIGHT if state == 1 else GOLD)


def _round_button(ctx, w, h, state, glyph):
    cx, cy = w / 2.0, h / 2.0
    r = w / 2.0 - 1.2
    if state == 0:
        a, b, rim = (100, 100, 118), (64, 64, 84), (140, 134, 118)
    elif state == 1:
        a, b, rim = (128, 92, 190), (48, 32, 104), GOLD
    else:
        a, b, rim = (40, 28, 86), (90, 64, 150), (160, 124, 48)
    g = cairo.RadialGradient(cx - r * 0.35, cy - r * 0.4, 1, cx, cy, r)
    g.add_color_stop_rgb(0, *[c / 255. for c in a])
    g.add_color_stop_rgb(1, *[c / 255. for c in b])
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.set_source(g)
    ctx.fill_preserve()
    src(ctx, rim)
    ctx.set_line_width(1.8)
    ctx.stroke()
    ink = IVORY if state == 1 else ((200, 190, 160) if state == 2 else (170, 170, 180))
    d = 1 if state == 2 else 0
    src(ctx, ink)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    if glyph == "cross":
        k = r * 0.42
        ctx.set_line_width(3)
        ctx.move_to(cx - k, cy - k + d)
        ctx.line_to(cx + k, cy + k + d)
        ctx.move_to(cx + k, cy - k + d)
        ctx.line_to(cx - k, cy + k + d)
    else:
        k = r * 0.5
        ctx.set_line_width(2.6)
        ctx.move_to(cx - k, cy + d + 0.5)
        ctx.line_to(cx + k, cy + d + 0.5)
    ctx.stroke()


def _heart(ctx, w, h, state):
    cx, cy, s = w / 2.0, h / 2.0 + 0.5, 13.5
    if state == 0:
        heart_path(ctx, cx, cy, s)
        src(ctx, (150, 140, 170), 0.35)
        ctx.set_line_width(1.6)
        ctx.stroke()
        return
    if state == 3:
        heart_path(ctx, cx, cy, s)
        src(ctx, (60, 30, 70), 0.6)
        ctx.fill_preserve()
        src(ctx, GOLD_LIGHT)
        ctx.set_line_width(2.2)
        ctx.stroke()
        heart_path(ctx, cx, cy, s - 4)
        src(ctx, GOLD, 0.8)
        ctx.set_line_width(0.9)
        ctx.stroke()
        return
    d = 1 if state == 2 else 0
    if state == 1:
        glow_dot(ctx, cx, cy, 22, (255, 120, 170), 0.55)
    heart_path(ctx, cx, cy + d, s)
    g = cairo.RadialGradient(cx - 4, cy - 5 + d, 1, cx, cy + d, s * 1.3)
    if state == 1:
        g.add_color_stop_rgb(0, 1.0, 0.78, 0.86)
        g.add_color_stop_rgb(1, 0.80, 0.12, 0.36)
    else:
        g.add_color_stop_rgb(0, 0.62, 0.30, 0.42)
        g.add_color_stop_rgb(1, 0.42, 0.06, 0.20)
    ctx.set_source(g)
    ctx.fill_preserve()
    src(ctx, GOLD_LIGHT if state == 1 else GOLD)
    ctx.set_line_width(1.6)
    ctx.stroke()
    if state == 1:
        _eight_star(ctx, cx - 5, cy - 5, 3.0, (255, 255, 255))


def _panel_caption(ctx, text, w, h):
    text_centered(ctx, text, w / 2.0, h / 2.0, 12.5, SANS_JP, True, (34, 36, 80))
    src(ctx, (60, 66, 140), 0.9)
    ctx.set_line_width(1)
    ctx.move_to(3, h - 2.5)
    ctx.line_to(w - 3, h - 2.5)
    ctx.stroke()


def make_button_sheet(base):
    """BUTTON: every sprite drawn over the background it covers in the window."""
    base_arr = np.asarray(base)
    sheet = np.zeros((222, 450, 3), dtype=np.uint8)
    sheet[:, :] = (22, 20, 50)
    captions = {"Fortune": "占い実行", "Random": "ランダム", "Creator": "クリエイター", "Homepage": "HP"}
    for name, (x, y, w, h, sx, sy, states) in BUTTONS.items():
        under = base_arr[y:y + h, x:x + w]
        for s in range(states):
            surf = array_to_surface(np.ascontiguousarray(under))
            ctx = cairo.Context(surf)
            ctx.set_antialias(cairo.ANTIALIAS_BEST)
            if name in captions:
                _plate(ctx, w, h, s)
                size = 16 if name != "Creator" else 15
                _caption(ctx, captions[name], w, h, s, size,
                         SERIF_LATIN if name == "Homepage" else SANS_JP)
            elif name == "Prev":
                _triangle(ctx, w, h, s, -1)
            elif name == "Next":
                _triangle(ctx, w, h, s, 1)
            elif name == "Close":
                _round_button(ctx, w, h, s, "cross")
            elif name == "Minimise":
                _round_button(ctx, w, h, s, "bar")
            elif name == "Heart":
                _heart(ctx, w, h, s)
            elif name == "WishCaption" and s == 0:
                _panel_caption(ctx, "願い事", w, h)
            elif name == "ExplanationCaption" and s == 0:
                _panel_caption(ctx, "解説", w, h)
            sheet[sy:sy + h, sx + s * w: sx + (s + 1) * w] = surface_to_array(surf)
    # the bracket pieces of the index selection frame, resting and active looks
    # each look is laid as a solid block a little larger than the pieces, so the
    # JPEG edge ringing stays outside the pixels the index view reads
    sheet[INDEX_FRAME_Y - 2:INDEX_FRAME_Y + 14, 117:134] = INDEX_FRAME_RGB[0]
    sheet[INDEX_FRAME_Y - 2:INDEX_FRAME_Y + 14, 134:170] = INDEX_FRAME_RGB[1]
    return Image.fromarray(sheet, "RGB")


# ---------------------------------------------------------------- frame strips

FRAME_PALETTE = [(0, 0, 0), (92, 64, 22), (214, 172, 64), (255, 236, 160), (44, 30, 16)]
OUTER, FGOLD, HIGHLIGHT, INNER = 1, 2, 3, 4


def make_wakutate():
    strip = np.zeros((504, 8), dtype=np.uint8)
    for c, v in enumerate((OUTER, FGOLD, HIGHLIGHT, INNER, INNER, HIGHLIGHT, FGOLD, OUTER)):
        strip[:, c] = v
    return strip


def make_wakuyoko():
    strip = np.zeros((8, 348), dtype=np.uint8)
    for r, v in enumerate((OUTER, FGOLD, HIGHLIGHT, INNER, INNER, HIGHLIGHT, FGOLD, OUTER)):
        strip[r, :] = v
    # the single pixels that close the diagonal step at each corner continue the outer line
    for (x, y) in ((1, 1), (346, 1), (1, 6), (346, 6)):
        strip[y, x] = OUTER
    return strip


def compose_frame(card_rgb, percent=100, backdrop=None):
    """Draws a card into the picture area the way the program does (NAMI, the
    horizontally scaled card, then the ten frame pieces); returns 348x508 RGB."""
    tate = np.array(FRAME_PALETTE, dtype=np.uint8)[make_wakutate()]
    yoko = np.array(FRAME_PALETTE, dtype=np.uint8)[make_wakuyoko()]
    out = np.array(backdrop if backdrop is not None else np.zeros((508, 348, 3), np.uint8))
    card = np.asarray(card_rgb)
    Hc, Wc = card.shape[:2]
    half = Wc // 2
    x0, y = 36 + (340 - Wc) // 2, 48 + (500 - Hc) // 2
    e = 0 if percent == 100 else 1
    h2 = (Wc * percent // 100) // 2
    if h2 < 2:
        h2 = 2
    elif h2 > half:
        h2 = half
    wd = 2 * h2
    xd = 36 + (340 - wd) // 2
    scaled = np.asarray(Image.fromarray(card).resize((wd, Hc), Image.BILINEAR))

    def put(img, sx, sy, w, h, dx, dy):
        out[dy - 44:dy - 44 + h, dx - 32:dx - 32 + w] = img[sy:sy + h, sx:sx + w]

    put(scaled, 0, 0, wd, Hc, xd, y)
    put(tate, 0, 0, 4, Hc + 4, xd + e - 4, y - 2)
    put(tate, 4, 0, 4, Hc + 4, xd + wd - e, y - 2)
    put(yoko, 2, 0, h2 + 2 - e, 4, xd - 2 + e, y - 4)
    put(yoko, 174, 0, h2 + 2 - e, 4, 206, y - 4)
    put(yoko, 1, 1, 1, 1, xd - 3 + e, y - 3)
    put(yoko, 346, 1, 1, 1, xd + wd + 2 - e, y - 3)
    put(yoko, 2, 4, h2 + 2 - e, 4, xd - 2 + e, y + Hc)
    put(yoko, 174, 4, h2 + 2 - e, 4, 206, y + Hc)
    put(yoko, 1, 6, 1, 1, xd - 3 + e, y + Hc + 2)
    put(yoko, 346, 6, 1, 1, xd + wd + 2 - e, y + Hc + 2)
    return out
