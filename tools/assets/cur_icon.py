"""The application icon: a small tarot card in deep blue and gold, a crescent
moon and a star on its face. Painted with cairo at each size separately so
that the small sizes stay crisp instead of being shrunk from a large one.
"""

import math

import cairo
import numpy as np

SIZES = (16, 32, 48)
BLUE_DEEP = (0.16, 0.19, 0.45)
BLUE_LIGHT = (118 / 255, 132 / 255, 207 / 255)
GOLD = (0.93, 0.76, 0.30)
GOLD_DARK = (0.62, 0.46, 0.12)


def _rounded_rect(cr, x, y, w, h, r):
    cr.new_sub_path()
    cr.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    cr.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    cr.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    cr.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    cr.close_path()


def _star(cr, cx, cy, outer, inner, points=4, turn=0.0):
    for k in range(points * 2):
        r = outer if k % 2 == 0 else inner
        a = turn + k * math.pi / points - math.pi / 2
        x, y = cx + r * math.cos(a), cy + r * math.sin(a)
        if k == 0:
            cr.move_to(x, y)
        else:
            cr.line_to(x, y)
    cr.close_path()


def paint(size):
    """RGBA pixels (straight alpha, uint8, rows top-down) of the icon at one size."""
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    cr = cairo.Context(surf)
    s = size / 48.0
    # card geometry on whole pixels so the border lands on pixel edges
    h = size - (1 if size <= 16 else round(4 * s))
    w = int(round(h * (0.72 if size <= 16 else 0.66)))
    x0 = (size - w) // 2
    y0 = (size - h) // 2
    radius = max(1.5, 4.0 * s)
    border = 1.0 if size <= 32 else 2.0

    # gold card edge
    _rounded_rect(cr, x0, y0, w, h, radius)
    cr.set_source_rgb(*GOLD_DARK)
    cr.fill()
    _rounded_rect(cr, x0 + border * 0.5, y0 + border * 0.5, w - border, h - border, radius)
    cr.set_source_rgb(*GOLD)
    cr.fill()
    # blue face, lighter towards the bottom like a night sky near the horizon
    inset = border
    grad = cairo.LinearGradient(0, y0, 0, y0 + h)
    grad.add_color_stop_rgb(0.0, *BLUE_DEEP)
    grad.add_color_stop_rgb(1.0, *BLUE_LIGHT)
    _rounded_rect(cr, x0 + inset, y0 + inset, w - 2 * inset, h - 2 * inset,
                  max(0.8, radius - inset))
    cr.set_source(grad)
    cr.fill()
    if size >= 32:
        # a thin inner gold frame, as printed cards have
        gap = 2.0 * s + 1.0
        cr.set_line_width(1.0)
        cr.rectangle(x0 + inset + gap + 0.5, y0 + inset + gap + 0.5,
                     w - 2 * (inset + gap) - 1, h - 2 * (inset + gap) - 1)
        cr.set_source_rgba(*GOLD, 0.75)
        cr.stroke()

    cx = x0 + w / 2.0
    cy = y0 + h * (0.42 if size >= 32 else 0.45)
    # crescent: a gold disc with a bite taken out towards the upper right
    r = w * (0.30 if size >= 32 else 0.34)
    cr.push_group()
    cr.arc(cx, cy, r, 0, 2 * math.pi)
    cr.set_source_rgb(*GOLD)
    cr.fill()
    cr.set_operator(cairo.OPERATOR_CLEAR)
    cr.arc(cx + r * 0.45, cy - r * 0.28, r * 0.82, 0, 2 * math.pi)
    cr.fill()
    cr.pop_group_to_source()
    cr.paint()
    # a four-pointed star in the crescent's hollow
    star_r = max(1.6, r * 0.55)
    _star(cr, cx + r * 0.55, cy - r * 0.15, star_r, star_r * 0.3)
    cr.set_source_rgb(1.0, 0.93, 0.65)
    cr.fill()
    if size >= 32:
        # small stars in the sky and a gold base line like a card's title plate
        for fx, fy, fr in ((0.26, 0.16, 1.3), (0.74, 0.18, 1.0), (0.22, 0.70, 1.0),
                           (0.78, 0.66, 1.2)):
            _star(cr, x0 + w * fx, y0 + h * fy, fr * s * 2.0, fr * s * 0.6)
            cr.set_source_rgba(1.0, 0.93, 0.7, 0.9)
            cr.fill()
        py = y0 + h * 0.80
        cr.rectangle(x0 + w * 0.28, round(py), w * 0.44, max(1.0, round(1.5 * s)))
        cr.set_source_rgb(*GOLD)
        cr.fill()
    surf.flush()
    buf = np.frombuffer(surf.get_data(), dtype=np.uint8).reshape(size, surf.get_stride() // 4, 4)
    bgra = buf[:, :size, :].astype(float)
    alpha = bgra[:, :, 3:4]
    with np.errstate(divide="ignore", invalid="ignore"):
        rgb = np.where(alpha > 0, bgra[:, :, :3] * 255.0 / alpha, 0.0)
    rgba = np.concatenate([rgb[:, :, ::-1], alpha], axis=2)
    return np.clip(np.round(rgba), 0, 255).astype(np.uint8)
