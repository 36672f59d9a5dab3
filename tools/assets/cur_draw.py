"""Drawings of Sablewick's eight mouse pointers, 32 x 32 pixels each.

A drawing is a 32 x 32 numpy array of pixel codes: CLEAR (the desktop shows
through), BLACK and WHITE. Shapes are laid out in continuous coordinates,
filled with 8x supersampling and thresholded; then every shape gets a
one-pixel outline of the opposite colour so that it shows on light and dark
backgrounds alike, and fine details (the quill's shaft, the barbs, finger
lines) are drawn in the outline colour.
"""

import math

import numpy as np
from PIL import Image, ImageDraw

SIZE = 32
CLEAR, BLACK, WHITE = 0, 1, 2
SUPER = 8


def fill_polygons(polygons, threshold=0.5):
    """Boolean coverage of the given polygons (lists of (x, y) in pixel units)."""
    img = Image.new("L", (SIZE * SUPER, SIZE * SUPER), 0)
    draw = ImageDraw.Draw(img)
    for poly in polygons:
        draw.polygon([(x * SUPER, y * SUPER) for x, y in poly], fill=255)
    return _coverage(img) >= threshold


def fill_strokes(strokes, threshold=0.5):
    """Coverage of round-capped strokes: (x0, y0, x1, y1, width)."""
    img = Image.new("L", (SIZE * SUPER, SIZE * SUPER), 0)
    draw = ImageDraw.Draw(img)
    for x0, y0, x1, y1, width in strokes:
        w = width * SUPER
        draw.line([(x0 * SUPER, y0 * SUPER), (x1 * SUPER, y1 * SUPER)], fill=255, width=int(w))
        for x, y in ((x0, y0), (x1, y1)):
            r = w / 2
            draw.ellipse([x * SUPER - r, y * SUPER - r, x * SUPER + r, y * SUPER + r], fill=255)
    return _coverage(img) >= threshold


def fill_ellipses(ellipses, threshold=0.5):
    """Coverage of axis-aligned ellipses: (cx, cy, rx, ry)."""
    img = Image.new("L", (SIZE * SUPER, SIZE * SUPER), 0)
    draw = ImageDraw.Draw(img)
    for cx, cy, rx, ry in ellipses:
        draw.ellipse([(cx - rx) * SUPER, (cy - ry) * SUPER, (cx + rx) * SUPER, (cy + ry) * SUPER],
                     fill=255)
    return _coverage(img) >= threshold


def _coverage(img):
    a = np.asarray(img, dtype=float) / 255.0
    return a.reshape(SIZE, SUPER, SIZE, SUPER).mean(axis=(1, 3))


def line_pixels(x0, y0, x1, y1):
    """Pixels of a one-pixel line between two pixel positions (inclusive)."""
    steps = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
    pts = []
    for i in range(steps):
        t = i / max(steps - 1, 1)
        p = (int(round(x0 + (x1 - x0) * t)), int(round(y0 + (y1 - y0) * t)))
        if not pts or pts[-1] != p:
            pts.append(p)
    return pts


def dilate(mask):
    """Eight-neighbour dilation inside the 32 x 32 square."""
    out = mask.copy()
    p = np.pad(mask, 1)
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            out |= p[1 + dy:1 + dy + SIZE, 1 + dx:1 + dx + SIZE]
    return out


def compose(body, body_colour, details=()):
    """Body in its colour, a one-pixel outline of the other colour around it,
    and detail pixels (inside the body) in the outline colour."""
    edge_colour = WHITE if body_colour == BLACK else BLACK
    img = np.full((SIZE, SIZE), CLEAR, dtype=np.uint8)
    img[dilate(body)] = edge_colour
    img[body] = body_colour
    for x, y in details:
        if 0 <= x < SIZE and 0 <= y < SIZE and body[y, x]:
            img[y, x] = edge_colour
    return img


def invert(img):
    """Swap black and white, keep the clear pixels."""
    out = img.copy()
    out[img == BLACK] = WHITE
    out[img == WHITE] = BLACK
    return out


# ------------------------------------------------------------------- quill
# The quill is laid out on the diagonal grid: a = x + y runs from the nib
# along the shaft, b = x - y across it (b > 0 is the upper right side). On
# that grid a 45-degree pen gets clean stair-step edges and a crisp shaft line.

QUILL_END = 48          # a at the feather's far end
VANE_FROM = 10          # a where the broad vane begins
LOWER_FROM = 16         # a where the narrow vane begins (the lower quill is bare)
VANE_WIDE, VANE_NARROW = 6.5, 3.0   # greatest half widths, in units of b
BEND = -1.0              # how far (in b) the feather's end curves away


def _bend(a):
    u = max(0.0, (a - VANE_FROM) / (QUILL_END - VANE_FROM))
    return BEND * u * u


def _vane(a, start, peak):
    """Half width of one vane: swelling from its start, rounding off at the end."""
    u = (a - start) / (QUILL_END - start)
    if u < 0 or u > 1:
        return 0.0
    return peak * (u ** 0.55 * (1 - u) ** 0.4) / (0.579 ** 0.55 * 0.421 ** 0.4)


def quill_up(body_colour):
    """A feather quill with its nib at the top left; the outline pixel at (0, 0)
    is the very point of the nib."""
    body = np.zeros((SIZE, SIZE), dtype=bool)
    for y in range(SIZE):
        for x in range(SIZE):
            a, b = x + y, x - y
            if a < 2 or a > QUILL_END:
                continue
            # the nib and the bare barrel: a ribbon two pixels thick
            lo, hi = 0, (1 if a >= 3 else 0)
            if a >= VANE_FROM:
                lo = min(lo if a < LOWER_FROM + 2 else 99,
                         -_vane(a, LOWER_FROM, VANE_NARROW) + _bend(a))
                hi = max(hi if a < VANE_FROM + 3 else -99,
                         _vane(a, VANE_FROM, VANE_WIDE) + _bend(a))
            if lo - 0.01 <= b <= hi + 0.01:
                body[y, x] = True
    details = []
    # the shaft runs up the middle of the feather and stops short of its tip
    pts = [((a + _bend(a)) / 2, (a - _bend(a)) / 2) for a in np.arange(LOWER_FROM + 3.0, 42.1, 0.25)]
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        details += line_pixels(int(round(x0)), int(round(y0)), int(round(x1)), int(round(y1)))
    # splits where the barbs part: on the broad side they run level from the
    # edge, on the narrow side straight up, both leaning back towards the nib
    for a0, side, length in ((22, +1, 3), (32, +1, 2), (27, -1, 2), (36, -1, 2)):
        edge = (_vane(a0, VANE_FROM, VANE_WIDE) if side > 0
                else -_vane(a0, LOWER_FROM, VANE_NARROW)) + _bend(a0)
        b = int(math.floor(edge)) if side > 0 else int(math.ceil(edge))
        if (a0 + b) % 2:
            b -= side
        x, y = (a0 + b) // 2, (a0 - b) // 2
        for k in range(length):
            details.append((x - k, y) if side > 0 else (x, y - k))
    return compose(body, body_colour, details)


def quill_down(body_colour):
    """The same quill turned to point down: nib at the bottom left, at (4, 31)."""
    up = quill_up(body_colour)
    assert not np.any(up[:, SIZE - 4:]), "the quill is too wide to be turned down"
    down = np.full((SIZE, SIZE), CLEAR, dtype=np.uint8)
    down[:, 4:] = up[::-1, :SIZE - 4]
    return down


# -------------------------------------------------------------------- hand

def open_hand(body_colour):
    """An open hand, fingers spread, the index finger's tip at the hot spot (3, 3)."""
    palm_c = (17.5, 21.0)
    fingers = [  # base (on the palm) -> tip, width
        ((12.0, 15.5), (4.2, 4.2), 4.3),      # index, leaning out to the top left
        ((16.5, 14.0), (13.2, 2.4), 4.4),     # middle
        ((21.0, 15.0), (21.6, 4.0), 4.2),     # ring
        ((24.6, 17.5), (28.6, 9.4), 3.7),     # little
        ((12.0, 23.5), (4.2, 18.2), 4.4),     # thumb, out to the left
    ]
    strokes = [(b[0], b[1], t[0], t[1], w) for b, t, w in fingers]
    body = fill_strokes(strokes)
    body |= fill_ellipses([(palm_c[0], palm_c[1], 7.6, 7.2), (18.5, 26.0, 6.0, 5.0)])
    body |= fill_polygons([[(13.5, 26.0), (23.5, 26.0), (22.5, 30.5), (14.5, 30.5)]])
    # the wrist leaves the picture at the bottom
    body[31, :] = False
    details = []
    # the thumb's line across the palm
    details += line_pixels(12, 23, 15, 20)
    return compose(body, body_colour, details)


# -------------------------------------------------------- cross and hourglass

def cross_hair():
    """A target cross centred on (8, 8): black lines, a ring, white edging."""
    ink = np.zeros((SIZE, SIZE), dtype=bool)
    for i in range(0, 17):
        if abs(i - 8) >= 3:
            ink[8, i] = True
            ink[i, 8] = True
    ink[8, 8] = True
    # ring of radius 5 around the centre
    for k in range(360):
        t = math.radians(k)
        ink[int(round(8 + 5 * math.sin(t))), int(round(8 + 5 * math.cos(t)))] = True
    img = np.full((SIZE, SIZE), CLEAR, dtype=np.uint8)
    img[dilate(ink)] = WHITE
    img[ink] = BLACK
    return img


def hourglass():
    """An hourglass centred on (15, 15): black caps, a glass outlined in black,
    sand left in the upper bulb, a falling thread and a heap below; the whole
    drawing edged in white."""
    cx, cy = 15, 15
    ink = np.zeros((SIZE, SIZE), dtype=bool)
    glass = np.zeros((SIZE, SIZE), dtype=bool)
    ink[3:5, cx - 8:cx + 9] = True            # top cap
    ink[5, cx - 7:cx + 8] = True
    ink[25, cx - 7:cx + 8] = True             # bottom cap
    ink[26:28, cx - 8:cx + 9] = True
    # half widths of the glass from the cap down to the neck; the lower bulb mirrors it
    half = {6: 6, 7: 6, 8: 6, 9: 5, 10: 4, 11: 3, 12: 2, 13: 1, 14: 1, 15: 1}
    for y in range(6, 25):
        h = half[y if y <= cy else 2 * cy - y]
        ink[y, cx - h] = ink[y, cx + h] = True
        glass[y, cx - h + 1:cx + h] = True
    sand = np.zeros((SIZE, SIZE), dtype=bool)
    sand[10, cx - 2:cx + 3] = True            # what is left above, a little hollowed
    sand[11:15, :] = glass[11:15, :]
    sand[15:21, cx] = True                    # the thread falling through the neck
    sand[20, cx - 1:cx + 2] = True            # the heap below
    sand[21, cx - 2:cx + 3] = True
    sand[22, cx - 4:cx + 5] = True
    sand[23:25, :] = glass[23:25, :]
    sand &= glass
    img = np.full((SIZE, SIZE), CLEAR, dtype=np.uint8)
    img[dilate(ink | glass)] = WHITE
    img[ink] = BLACK
    img[glass] = WHITE
    img[sand] = BLACK
    return img


# ------------------------------------------------------------------ the set

POINTERS = [  # (resource name, drawing function, hot spot)
    ("CR1", cross_hair, (8, 8)),
    ("CR2", lambda: quill_up(WHITE), (0, 0)),
    ("CR3", lambda: quill_up(BLACK), (0, 0)),
    ("CR4", lambda: quill_down(WHITE), (4, 31)),
    ("CR5", lambda: quill_down(BLACK), (4, 31)),
    ("CR6", lambda: open_hand(WHITE), (3, 3)),
    ("CR7", lambda: open_hand(BLACK), (3, 3)),
    ("CR8", hourglass, (15, 15)),
]
