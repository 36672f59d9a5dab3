#!/usr/bin/python3
"""Writes Sablewick's eight mouse pointers (resources/CR1.cur .. CR8.cur) and
its application icon (resources/MAINICON.ico), then re-reads them and checks
them, and saves an enlarged preview to /tmp/cursor_preview.png for review.

Pointers are classic 32 x 32 monochrome cursors: an XOR mask and an AND mask
of one bit per pixel. A clear pixel is AND 1, XOR 0; black is AND 0, XOR 0;
white is AND 0, XOR 1. The icon holds 16, 32 and 48 pixel images, each a
32-bit BGRA bitmap with its AND mask (no PNG entries, which older resource
compilers do not take).

Run from the repository root:  /usr/bin/python3 tools/assets/make_cursors.py
"""

import os
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw

import cur_check
import cur_draw
import cur_icon

OUT_DIR = "resources"
PREVIEW = "/tmp/cursor_preview.png"
ZOOM = 8


def masks(img):
    """XOR and AND bit planes (True = bit set) of a pointer drawing."""
    xor = img == cur_draw.WHITE
    and_ = img == cur_draw.CLEAR
    return xor, and_


def pack_rows(bits, width):
    """One-bit rows, bottom row first, most significant bit leftmost, each row
    padded to a multiple of four bytes."""
    stride = ((width + 31) // 32) * 4
    out = bytearray()
    for row in bits[::-1]:
        packed = np.packbits(row.astype(np.uint8)).tobytes()
        out += packed + bytes(stride - len(packed))
    return bytes(out)


def cur_bytes(img, hotspot):
    size = img.shape[0]
    xor, and_ = masks(img)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    dib = header + palette + pack_rows(xor, size) + pack_rows(and_, size)
    icondir = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hotspot[0], hotspot[1], len(dib), 6 + 16)
    return icondir + entry + dib


def ico_bytes(images):
    """images: RGBA arrays (straight alpha), one per size."""
    dibs = []
    for rgba in images:
        size = rgba.shape[0]
        clear = rgba[:, :, 3] == 0
        bgra = rgba[:, :, [2, 1, 0, 3]].copy()
        bgra[clear] = 0
        pixels = bgra[::-1].tobytes()
        and_mask = pack_rows(clear, size)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                             len(pixels) + len(and_mask), 0, 0, 0, 0)
        dibs.append(header + pixels + and_mask)
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rgba, dib in zip(images, dibs):
        size = rgba.shape[0]
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(dib), offset)
        offset += len(dib)
    return out + b"".join(dibs)


def preview(pointers, icons, path):
    """Every pointer enlarged on a light and a dark ground, hot spot ringed in red,
    then the icon at its three sizes on a checkerboard."""
    cell = 32 * ZOOM
    pad = 12
    width = pad + len(pointers) * (cell + pad)
    height = pad + 2 * (cell + pad) + 48 * ZOOM + 2 * pad
    sheet = Image.new("RGB", (width, height), (128, 128, 128))
    draw = ImageDraw.Draw(sheet)
    for col, (name, img, (hx, hy)) in enumerate(pointers):
        for row, ground in enumerate(((236, 232, 222), (38, 40, 64))):
            x0, y0 = pad + col * (cell + pad), pad + row * (cell + pad)
            tile = np.zeros((32, 32, 3), dtype=np.uint8)
            tile[:] = ground
            tile[img == cur_draw.BLACK] = (0, 0, 0)
            tile[img == cur_draw.WHITE] = (255, 255, 255)
            sheet.paste(Image.fromarray(tile).resize((cell, cell), Image.NEAREST), (x0, y0))
            draw.rectangle([x0 + hx * ZOOM, y0 + hy * ZOOM, x0 + hx * ZOOM + ZOOM - 1,
                            y0 + hy * ZOOM + ZOOM - 1], outline=(230, 30, 30))
            draw.text((x0 + 3, y0 + cell - 12), name, fill=(200, 40, 40))
    x = pad
    y0 = pad + 2 * (cell + pad)
    for rgba in icons:
        size = rgba.shape[0]
        board = np.zeros((size, size, 3), dtype=float)
        yy, xx = np.mgrid[0:size, 0:size]
        board[:] = np.where(((xx // 4 + yy // 4) % 2 == 0)[:, :, None], 200.0, 150.0)
        a = rgba[:, :, 3:4] / 255.0
        comp = rgba[:, :, :3] * a + board * (1 - a)
        big = Image.fromarray(np.round(comp).astype(np.uint8)).resize((size * ZOOM, size * ZOOM),
                                                                     Image.NEAREST)
        sheet.paste(big, (x, y0))
        x += size * ZOOM + pad
        # the icon at its real size too, as it shows in a title bar
        sheet.paste(Image.fromarray(np.round(comp).astype(np.uint8)), (x, y0))
        x += size + pad
    sheet.save(path)


def main():
    if not os.path.isdir(OUT_DIR):
        sys.exit("run from the repository root (no %s/ here)" % OUT_DIR)
    cur_check.self_test(cur_bytes)
    drawn = []
    for name, draw_fn, hotspot in cur_draw.POINTERS:
        img = draw_fn()
        drawn.append((name, img, hotspot))
        with open(os.path.join(OUT_DIR, name + ".cur"), "wb") as fh:
            fh.write(cur_bytes(img, hotspot))
    icons = [cur_icon.paint(size) for size in cur_icon.SIZES]
    with open(os.path.join(OUT_DIR, "MAINICON.ico"), "wb") as fh:
        fh.write(ico_bytes(icons))
    preview(drawn, icons, PREVIEW)
    cur_check.check_pointers(OUT_DIR, {name: (img, hs) for name, img, hs in drawn})
    cur_check.check_icon(os.path.join(OUT_DIR, "MAINICON.ico"), icons)
    for name, img, hotspot in drawn:
        print("%s.cur  32x32  hot spot %2d,%2d  %3d black %3d white" % (
            name, hotspot[0], hotspot[1], np.sum(img == cur_draw.BLACK),
            np.sum(img == cur_draw.WHITE)))
    print("MAINICON.ico  %s" % ", ".join("%dx%d" % (s, s) for s in cur_icon.SIZES))
    print("preview: %s" % PREVIEW)


if __name__ == "__main__":
    main()
