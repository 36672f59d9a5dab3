"""Shared drawing and file helpers for the Sablewick picture generators.

Everything here is deterministic: no clocks, no unseeded randomness, and the
JPEG/BMP writers set every option explicitly so a second run gives the same
bytes.
"""
import math
import struct

import cairo
import numpy as np
from PIL import Image

PANEL = (118, 132, 207)          # label and wish-box background of the window
INDIGO = (30, 27, 58)
INDIGO_DEEP = (17, 15, 38)
GOLD = (212, 175, 55)
GOLD_LIGHT = (250, 228, 150)
GOLD_DARK = (120, 88, 30)
IVORY = (245, 239, 224)

SANS_JP = "Noto Sans CJK JP"
SERIF_JP = "Noto Serif CJK JP"
SERIF_LATIN = "DejaVu Serif"


def hexrgb(h):
    h = h.lstrip("#")
    return tuple(int(h[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def src(ctx, rgb, alpha=1.0):
    ctx.set_source_rgba(rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0, alpha)


def new_surface(w, h):
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    ctx = cairo.Context(surf)
    ctx.set_antialias(cairo.ANTIALIAS_BEST)
    return surf, ctx


def surface_to_array(surf):
    """RGB uint8 array (h, w, 3) of a cairo RGB24/ARGB32 surface."""
    surf.flush()
    w, h, stride = surf.get_width(), surf.get_height(), surf.get_stride()
    buf = np.frombuffer(surf.get_data(), dtype=np.uint8).reshape(h, stride)
    px = buf[:, :w * 4].reshape(h, w, 4)
    return np.ascontiguousarray(px[:, :, [2, 1, 0]])


def surface_to_image(surf):
    return Image.fromarray(surface_to_array(surf), "RGB")


def array_to_surface(arr):
    """Cairo RGB24 surface holding an (h, w, 3) uint8 array."""
    h, w = arr.shape[:2]
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    stride = surf.get_stride()
    data = np.zeros((h, stride), dtype=np.uint8)
    view = data[:, :w * 4].reshape(h, w, 4)
    view[:, :, 0] = arr[:, :, 2]
    view[:, :, 1] = arr[:, :, 1]
    view[:, :, 2] = arr[:, :, 0]
    view[:, :, 3] = 255
    surf.get_data()[:] = data.tobytes()
    surf.mark_dirty()
    return surf


def save_jpeg(img, path, progressive=False, quality=92):
    """JFIF, three components, no chroma subsampling, no metadata."""
    img = img.convert("RGB")
    img.save(path, "JPEG", quality=quality, subsampling=0, progressive=progressive,
             optimize=False, dpi=(72, 72))


def write_bmp(path, indices, palette, bits):
    """Bottom-up BMP with BITMAPINFOHEADER.

    indices: 2-D array (h, w) of palette indices; palette: list of RGB tuples.
    """
    indices = np.asarray(indices, dtype=np.uint8)
    h, w = indices.shape
    assert bits in (1, 4, 8) and len(palette) <= (1 << bits)
    assert int(indices.max()) < len(palette)
    row_bytes = ((w * bits + 31) // 32) * 4
    rows = []
    for y in range(h - 1, -1, -1):
        row = indices[y]
        acc = bytearray(row_bytes)
        per = 8 // bits
        for x in range(w):
            shift = 8 - bits * (x % per + 1)
            acc[x // per] |= int(row[x]) << shift
        rows.append(bytes(acc))
    pixels = b"".join(rows)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    off = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", off + len(pixels), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(pixels), 2835, 2835,
                       len(palette), 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + pixels)


def read_bmp_indices(path):
    """Reads back a BMP written by write_bmp: (indices, palette, bits, top_down)."""
    data = open(path, "rb").read()
    assert data[:2] == b"BM"
    off = struct.unpack_from("<I", data, 10)[0]
    size, w, h, planes, bits = struct.unpack_from("<IiiHH", data, 14)
    assert size == 40
    ncol = struct.unpack_from("<I", data, 46)[0] or (1 << bits)
    pal = [tuple(data[54 + 4 * i + k] for k in (2, 1, 0)) for i in range(ncol)]
    row_bytes = ((w * bits + 31) // 32) * 4
    out = np.zeros((abs(h), w), dtype=np.uint8)
    per = 8 // bits
    for r in range(abs(h)):
        y = abs(h) - 1 - r if h > 0 else r
        row = data[off + r * row_bytes: off + (r + 1) * row_bytes]
        for x in range(w):
            shift = 8 - bits * (x % per + 1)
            out[y, x] = (row[x // per] >> shift) & ((1 << bits) - 1)
    return out, pal, bits, h < 0


# ---------------------------------------------------------------- shapes

def star_path(ctx, x, y, r_out, r_in, points=5, rot=-math.pi / 2):
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = rot + i * math.pi / points
        px, py = x + r * math.cos(a), y + r * math.sin(a)
        if i == 0:
            ctx.move_to(px, py)
        else:
            ctx.line_to(px, py)
    ctx.close_path()


def sparkle_path(ctx, x, y, r, thin=0.18):
    """Four-point twinkle."""
    star_path(ctx, x, y, r, r * thin, 4, -math.pi / 2)


def heart_path(ctx, x, y, s):
    """Heart centred on (x, y) with total height about 2*s."""
    ctx.move_to(x, y + s * 0.95)
    ctx.curve_to(x - s * 0.35, y + s * 0.6, x - s * 1.05, y + s * 0.15, x - s * 1.0, y - s * 0.35)
    ctx.curve_to(x - s * 0.95, y - s * 0.95, x - s * 0.2, y - s * 1.05, x, y - s * 0.5)
    ctx.curve_to(x + s * 0.2, y - s * 1.05, x + s * 0.95, y - s * 0.95, x + s * 1.0, y - s * 0.35)
    ctx.curve_to(x + s * 1.05, y + s * 0.15, x + s * 0.35, y + s * 0.6, x, y + s * 0.95)
    ctx.close_path()


def crescent_path(ctx, x, y, r, phase=0.45, tilt=0.0):
    """Crescent: disc of radius r minus a disc shifted by phase*r*2 (towards +x after tilt)."""
    d = phase * r * 2
    # intersection of circles |p|=r and |p-(d,0)|=r
    ix = d / 2.0
    iy = math.sqrt(max(r * r - ix * ix, 0.0))
    a1 = math.atan2(iy, ix)
    ctx.save()
    ctx.translate(x, y)
    ctx.rotate(tilt)
    ctx.new_sub_path()
    ctx.arc(0, 0, r, a1, 2 * math.pi - a1)
    b1 = math.atan2(-iy, ix - d)
    b2 = math.atan2(iy, ix - d)
    ctx.arc_negative(d, 0, r, b1, b2)
    ctx.close_path()
    ctx.restore()


def rounded_rect(ctx, x, y, w, h, r):
    r = min(r, w / 2.0, h / 2.0)
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


def scroll_curl(ctx, x, y, size, direction=1, turns=1.4):
    """A filigree curl: a spiral of decreasing radius starting at (x, y)."""
    steps = 40
    a0 = 0.0
    for i in range(steps + 1):
        t = i / float(steps)
        a = a0 + direction * t * turns * 2 * math.pi
        r = size * (1 - 0.8 * t)
        px = x + direction * r * math.sin(a)
        py = y - r * (1 - math.cos(a)) * 0.5 - r * 0.0
        if i == 0:
            ctx.move_to(px, py)
        else:
            ctx.line_to(px, py)


def spiral(ctx, cx, cy, r0, r1, turns, a0=0.0, direction=1, steps=120):
    for i in range(steps + 1):
        t = i / float(steps)
        r = r0 + (r1 - r0) * t
        a = a0 + direction * t * turns * 2 * math.pi
        px, py = cx + r * math.cos(a), cy + r * math.sin(a)
        if i == 0:
            ctx.move_to(px, py)
        else:
            ctx.line_to(px, py)


def glow_dot(ctx, x, y, r, rgb, alpha=1.0):
    g = cairo.RadialGradient(x, y, 0, x, y, r)
    g.add_color_stop_rgba(0, rgb[0] / 255., rgb[1] / 255., rgb[2] / 255., alpha)
    g.add_color_stop_rgba(1, rgb[0] / 255., rgb[1] / 255., rgb[2] / 255., 0)
    ctx.set_source(g)
    ctx.arc(x, y, r, 0, 2 * math.pi)
    ctx.fill()


def text_centered(ctx, text, x, y, size, family=SANS_JP, bold=True, rgb=(255, 255, 255),
                  alpha=1.0, slant=cairo.FONT_SLANT_NORMAL):
    """Draws text with its ink box centred on (x, y); returns the ink extents."""
    ctx.select_font_face(family, slant,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    xb, yb, tw, th, xa, ya = ctx.text_extents(text)
    ctx.move_to(x - tw / 2.0 - xb, y - th / 2.0 - yb)
    src(ctx, rgb, alpha)
    ctx.show_text(text)
    return tw, th


def text_path_centered(ctx, text, x, y, size, family=SANS_JP, bold=True,
                       slant=cairo.FONT_SLANT_NORMAL):
    ctx.select_font_face(family, slant,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    xb, yb, tw, th, xa, ya = ctx.text_extents(text)
    ctx.move_to(x - tw / 2.0 - xb, y - th / 2.0 - yb)
    ctx.text_path(text)
    return tw, th


def roman(n):
    if n == 0:
        return "0"
    vals = [(40, "XL"), (10, "X"), (9, "IX"), (5, "V"), (4, "IV"), (1, "I")]
    out = ""
    for v, s in vals:
        while n >= v:
            out += s
            n -= v
    return out


def distance_inside(mask, radius):
    """Euclidean distance (pixels) from each inside pixel to the nearest outside
    pixel, capped at radius; the image border counts as outside."""
    h, w = mask.shape
    pad = radius + 1
    outside = np.ones((h + 2 * pad, w + 2 * pad), dtype=bool)
    outside[pad:pad + h, pad:pad + w] = ~mask
    dist = np.full((h, w), float(radius), dtype=np.float32)
    for dy in range(-radius, radius + 1):
        for dx in range(-radius, radius + 1):
            d = math.hypot(dx, dy)
            if d == 0 or d > radius:
                continue
            sub = outside[pad + dy:pad + dy + h, pad + dx:pad + dx + w]
            np.minimum(dist, np.where(sub, d, radius), out=dist)
    dist[~mask] = 0.0
    return dist
