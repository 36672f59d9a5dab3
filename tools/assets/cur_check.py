"""Re-reads the written pointers and icon from their bytes and refuses any that
the program could not load or that would be a poor pointer: wrong layout,
wrong size or hot spot, a hot spot off the drawing, a drawing that vanishes on
a light or a dark background, pen variants that do not match, an icon size
missing or its transparency wrong.

Parsing is done here from the raw bytes, independently of the writer.
"""

import os
import struct

import numpy as np

# the program relies on these numbers and hot spots
HOT_SPOTS = {"CR1": (8, 8), "CR2": (0, 0), "CR3": (0, 0), "CR4": (4, 31), "CR5": (4, 31),
             "CR6": (3, 3), "CR7": (3, 3), "CR8": (15, 15)}
WHITE_BODIED = ("CR2", "CR4", "CR6")          # need a dark rim on light grounds
BLACK_BODIED = ("CR1", "CR3", "CR5", "CR7", "CR8")  # need a light rim on dark grounds
SAME_SHAPE = (("CR2", "CR3"), ("CR4", "CR5"), ("CR6", "CR7"))
ICON_SIZES = (16, 32, 48)
CLEAR, BLACK, WHITE = 0, 1, 2


def _bits(blob, offset, size):
    """Unpacks one bottom-up 1-bit plane into a top-down boolean array."""
    stride = ((size + 31) // 32) * 4
    rows = []
    for r in range(size):
        raw = np.frombuffer(blob, dtype=np.uint8, count=stride, offset=offset + r * stride)
        rows.append(np.unpackbits(raw)[:size].astype(bool))
    return np.array(rows[::-1])


def read_cur(path):
    """Returns (pixel codes, hot spot) of a single-image 32 x 32 monochrome cursor."""
    with open(path, "rb") as fh:
        blob = fh.read()
    reserved, kind, count = struct.unpack_from("<HHH", blob, 0)
    assert (reserved, kind, count) == (0, 2, 1), "%s: not a one-image cursor file" % path
    w, h, colours, res, hx, hy, nbytes, offset = struct.unpack_from("<BBBBHHII", blob, 6)
    assert (w, h, colours, res) == (32, 32, 2, 0), "%s: entry says %dx%d, %d colours" % (
        path, w, h, colours)
    assert offset == 22 and nbytes == len(blob) - 22, "%s: entry size/offset wrong" % path
    (hsize, bw, bh, planes, bpp, comp) = struct.unpack_from("<IiiHHI", blob, 22)
    assert (hsize, bw, bh, planes, bpp, comp) == (40, 32, 64, 1, 1, 0), \
        "%s: bitmap header %r" % (path, (hsize, bw, bh, planes, bpp, comp))
    palette = blob[62:70]
    assert palette == bytes([0, 0, 0, 0, 255, 255, 255, 0]), "%s: palette not black/white" % path
    assert len(blob) == 70 + 128 + 128, "%s: %d bytes" % (path, len(blob))
    xor = _bits(blob, 70, 32)
    and_ = _bits(blob, 70 + 128, 32)
    assert not np.any(xor & and_), "%s: has screen-inverting pixels" % path
    img = np.where(and_, CLEAR, np.where(xor, WHITE, BLACK)).astype(np.uint8)
    return img, (hx, hy)


def _touches_clear(img, colour):
    """True if some pixel of the colour has a clear pixel among its eight neighbours."""
    clear = np.pad(img == CLEAR, 1)
    mask = img == colour
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            if np.any(mask & clear[1 + dy:33 + dy, 1 + dx:33 + dx]):
                return True
    return False


def check_pointers(folder, drawn):
    """drawn: name -> (pixel codes, hot spot) as the generator meant them."""
    assert sorted(drawn) == sorted(HOT_SPOTS), "pointer set incomplete"
    read = {}
    for name, (hx, hy) in HOT_SPOTS.items():
        img, hot = read_cur(os.path.join(folder, name + ".cur"))
        assert hot == (hx, hy), "%s: hot spot %r, needs %r" % (name, hot, (hx, hy))
        assert np.array_equal(img, drawn[name][0]), "%s: file differs from its drawing" % name
        assert img[hy, hx] != CLEAR, "%s: the hot spot is not on the drawing" % name
        assert np.sum(img == BLACK) >= 20 and np.sum(img == WHITE) >= 20, \
            "%s: needs both black and white to show on any background" % name
        read[name] = img
    for name in WHITE_BODIED:
        assert not _touches_clear(read[name], WHITE), "%s: white reaches the edge unoutlined" % name
    for name in BLACK_BODIED:
        assert not _touches_clear(read[name], BLACK), "%s: black reaches the edge unoutlined" % name
    for white, black in SAME_SHAPE:
        swapped = read[white].copy()
        swapped[read[white] == WHITE] = BLACK
        swapped[read[white] == BLACK] = WHITE
        assert np.array_equal(swapped, read[black]), "%s is not %s in black" % (black, white)
    # the pens' nibs are their extreme points in the direction they point
    ys, xs = np.nonzero(read["CR2"])
    assert np.min(xs + ys) == 0, "CR2: something lies beyond the nib"
    ys, xs = np.nonzero(read["CR4"])
    reach = 1.5 * ys - xs   # how far a pixel lies down and to the left
    assert np.max(reach) == 1.5 * 31 - 4, "CR4: something lies beyond the nib"
    assert np.max(xs) >= 20 and np.min(ys) <= 10, "CR4: the pen does not rise to the right"
    # the hand and the hourglass fill a good part of the square
    assert np.sum(read["CR6"] != CLEAR) > 250, "CR6: the hand is too small"
    assert np.sum(read["CR8"] != CLEAR) > 200, "CR8: the hourglass is too small"


def check_icon(path, painted):
    """The icon holds every size as a 32-bit image whose AND mask marks exactly
    the clear pixels, in the card's blue and gold."""
    with open(path, "rb") as fh:
        blob = fh.read()
    reserved, kind, count = struct.unpack_from("<HHH", blob, 0)
    assert (reserved, kind, count) == (0, 1, len(ICON_SIZES)), "%s: icon directory" % path
    spans, sizes = [], []
    for i in range(count):
        w, h, colours, res, planes, bpp, nbytes, offset = struct.unpack_from(
            "<BBBBHHII", blob, 6 + 16 * i)
        size = w or 256
        assert w == h and (colours, res, planes, bpp) == (0, 0, 1, 32), "%s: entry %d" % (path, i)
        stride = ((size + 31) // 32) * 4
        assert nbytes == 40 + size * size * 4 + stride * size, "%s: %d bytes for %d" % (
            path, nbytes, size)
        assert offset + nbytes <= len(blob), "%s: image %d runs past the end" % (path, i)
        spans.append((offset, offset + nbytes))
        hsize, bw, bh, pl, bits, comp = struct.unpack_from("<IiiHHI", blob, offset)
        assert (hsize, bw, bh, pl, bits, comp) == (40, size, 2 * size, 1, 32, 0), \
            "%s: bitmap header of %d" % (path, size)
        px = np.frombuffer(blob, dtype=np.uint8, count=size * size * 4, offset=offset + 40)
        bgra = px.reshape(size, size, 4)[::-1]
        clear = _bits(blob, offset + 40 + size * size * 4, size)
        assert np.array_equal(clear, bgra[:, :, 3] == 0), "%s: AND mask of %d" % (path, size)
        rgba = painted[ICON_SIZES.index(size)]
        got = bgra[:, :, [2, 1, 0, 3]]
        assert np.array_equal(got[~clear], rgba[~clear]), "%s: %d differs from painting" % (
            path, size)
        assert clear[0, 0] and clear[-1, -1], "%s: %d has no clear corners" % (path, size)
        solid = got[:, :, 3] > 200
        r, g, b = (got[:, :, k].astype(int) for k in range(3))
        blue = solid & (b > r + 30)
        gold = solid & (r > b + 60) & (g > b + 20)
        assert blue.sum() > 0.18 * size * size, "%s: %d is not a blue card" % (path, size)
        assert gold.sum() > 0.08 * size * size, "%s: %d has too little gold" % (path, size)
        sizes.append(size)
    assert sorted(sizes) == sorted(ICON_SIZES), "%s: sizes %r" % (path, sizes)
    spans.sort()
    assert spans[0][0] == 6 + 16 * count, "%s: gap after the directory" % path
    for (a0, a1), (b0, b1) in zip(spans, spans[1:]):
        assert a1 <= b0, "%s: images overlap" % path


def self_test(write_cur):
    """The checks must be able to fail: a pointer whose white touches the
    background, and a file cut short, are both refused."""
    import tempfile
    img = np.full((32, 32), CLEAR, dtype=np.uint8)
    img[4:10, 4:10] = WHITE
    assert _touches_clear(img, WHITE), "outline check misses a bare white shape"
    img[3:11, 3:11] = BLACK
    img[4:10, 4:10] = WHITE
    assert not _touches_clear(img, WHITE), "outline check refuses an outlined shape"
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "t.cur")
        blob = write_cur(img, (5, 6))
        with open(path, "wb") as fh:
            fh.write(blob)
        got, hot = read_cur(path)
        assert hot == (5, 6) and np.array_equal(got, img), "cursor does not survive a round trip"
        with open(path, "wb") as fh:
            fh.write(blob[:-4])
        try:
            read_cur(path)
        except AssertionError:
            return
    raise AssertionError("a truncated cursor file was accepted")
