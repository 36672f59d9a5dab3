#!/usr/bin/python3
"""Generates every picture resource of Sablewick into resources/.

Run from the repository root with Debian's python3:
    /usr/bin/python3 tools/assets/make_art.py
The deck plan (creators, styles, card motifs) is read from tools/assets/deck.json.
Fixed seeds throughout: a second run writes identical bytes. The script ends
with a check table and fails loudly if any picture breaks a rule the program
relies on (sizes, formats, flat panel colours, the window outline).
"""
import json
import os
import struct
import sys

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import art_window as aw                    # noqa: E402
from art_cards import render_card, render_back, render_quest   # noqa: E402
from art_common import PANEL, save_jpeg, write_bmp, read_bmp_indices   # noqa: E402

OUT = "resources"

CARD_SIZES = {n: (340, 500) for n in range(50)}
CARD_SIZES.update({39: (340, 420), 41: (310, 500), 44: (340, 410), 45: (340, 482),
                   48: (340, 404), 49: (340, 482)})
PROGRESSIVE = {"C010", "C020", "C030", "C040", "INDEX02"}

CELL_W, CELL_H, PITCH_X, PITCH_Y = 46, 68, 48, 74


def path_of(name, ext):
    return os.path.join(OUT, name + ext)


def thumbnail(card_img):
    """46x68 cell: the card scaled to fit, letterboxed onto the panel colour."""
    w, h = card_img.size
    k = min(CELL_W / float(w), CELL_H / float(h))
    tw, th = max(1, int(round(w * k))), max(1, int(round(h * k)))
    small = card_img.resize((tw, th), Image.LANCZOS)
    cell = Image.new("RGB", (CELL_W, CELL_H), PANEL)
    cell.paste(small, ((CELL_W - tw) // 2, (CELL_H - th) // 2))
    return cell


def index_page(cards, page):
    img = Image.new("RGB", (238, 142), PANEL)
    for i in range(10):
        n = 10 * page + i
        img.paste(thumbnail(cards[n]), (PITCH_X * (i % 5), PITCH_Y * (i // 5)))
    return img


# ---------------------------------------------------------------- checks

def jpeg_info(path):
    """(width, height, components, progressive, jfif) read from the markers."""
    data = open(path, "rb").read()
    assert data[:2] == b"\xff\xd8", path
    jfif = data[6:11] == b"JFIF\x00"
    i = 2
    while i < len(data):
        assert data[i] == 0xFF, path
        marker = data[i + 1]
        seg = struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            h, w = struct.unpack(">HH", data[i + 5:i + 9])
            return w, h, data[i + 9], marker == 0xC2, jfif
        i += 2 + seg
    raise AssertionError("no frame header in " + path)


def bmp_info(path):
    data = open(path, "rb").read()
    assert data[:2] == b"BM", path
    size, w, h, planes, bits = struct.unpack_from("<IiiHH", data, 14)
    return w, h, bits, size, h > 0


def panel_error(arr, rect):
    x, y, w, h = rect
    block = arr[y:y + h, x:x + w].astype(int)
    return int(np.abs(block - np.array(PANEL)).max())


def check_all(expected_jpegs, expected_bmps, mask):
    rows = []
    for name, (w, h) in sorted(expected_jpegs.items()):
        jw, jh, comps, prog, jfif = jpeg_info(path_of(name, ".jpg"))
        assert (jw, jh) == (w, h), (name, jw, jh, w, h)
        assert comps == 3 and jfif, name
        assert prog == (name in PROGRESSIVE), name
        rows.append((name, "%dx%d" % (jw, jh), "JPEG %d comp" % comps, "progressive" if prog else "baseline"))
    for name, (w, h, bits) in sorted(expected_bmps.items()):
        bw, bh, bb, hs, bottom_up = bmp_info(path_of(name, ".bmp"))
        assert (bw, bh, bb) == (w, h, bits) and hs == 40 and bottom_up, name
        rows.append((name, "%dx%d" % (bw, bh), "BMP %d bit" % bb, "bottom-up"))

    # window outline: 602 one-pixel runs, never more than two in a row, every button inside
    idx, pal, _, _ = read_bmp_indices(path_of("BASEMSK", ".bmp"))
    white = np.array([sum(pal[i]) > 0 for i in range(len(pal))])[idx]
    assert (white == mask).all()
    total, most = aw.count_runs(white)
    assert total == aw.MASK_RUNS and most <= 2, (total, most)
    for name, (x, y, w, h, *_rest) in aw.BUTTONS.items():
        assert white[y:y + h, x:x + w].all(), "button outside the outline: " + name
    for name, (x, y, w, h) in aw.LABELS.items():
        assert white[y:y + h, x:x + w].all(), "label outside the outline: " + name
    px, py, pw, ph = aw.PICTURE
    assert white[py:py + ph, px:px + pw].all()

    # flat label colour where the labels, the wish box, the index and its strip sit
    base = np.asarray(Image.open(path_of("BASE", ".jpg")).convert("RGB"))
    worst = {name: panel_error(base, r) for name, r in aw.LABELS.items()}
    for name, err in worst.items():
        assert err <= 4, (name, err)
    # outside the outline the picture is never shown: keep it black
    assert base[~white].max() <= 40

    # button sheet: sprites in place, blank captions match the panel, frame pieces uniform
    sheet = np.asarray(Image.open(path_of("BUTTON", ".jpg")).convert("RGB")).astype(int)
    for name in ("WishCaption", "ExplanationCaption"):
        x, y, w, h, sx, sy, n = aw.BUTTONS[name]
        blank = sheet[sy:sy + h, sx + w:sx + 2 * w]
        under = base[y:y + h, x:x + w].astype(int)
        assert np.abs(blank - under).max() <= 8, name
        caption = sheet[sy:sy + h, sx:sx + w]
        assert np.abs(caption - under).max() > 60, name + " caption has no text"
    for name, (x, y, w, h, sx, sy, n) in aw.BUTTONS.items():
        assert sx + n * w <= 450 and sy + h <= 222, name
        looks = [sheet[sy:sy + h, sx + s * w:sx + (s + 1) * w] for s in range(n)]
        if name not in ("WishCaption", "ExplanationCaption"):
            for a in range(n):
                for b in range(a + 1, n):
                    assert np.abs(looks[a] - looks[b]).mean() > 2, (name, a, b)
    for look, x0 in enumerate(aw.INDEX_FRAME_X):
        rgb = np.array(aw.INDEX_FRAME_RGB[look])
        vert = sheet[58:69, x0:x0 + 3]
        horiz = sheet[58:61, x0 + 4:x0 + 15]
        assert np.abs(vert - rgb).max() <= 8 and np.abs(horiz - rgb).max() <= 8, look

    # frame strips: uniform along their length, corner pixels where the compositor reads them
    tate, _, _, _ = read_bmp_indices(path_of("WAKUTATE", ".bmp"))
    assert (tate == tate[0]).all()
    yoko, _, _, _ = read_bmp_indices(path_of("WAKUYOKO", ".bmp"))
    assert (yoko[:, 2:346] == yoko[:, 2:3]).all()
    for (x, y) in ((1, 1), (346, 1), (1, 6), (346, 6)):
        assert yoko[y, x] == aw.OUTER
    star, _, _, _ = read_bmp_indices(path_of("STAR", ".bmp"))
    assert star.all()

    # index pages: cells hold the thumbnails, the rest is plain panel
    for p in range(5):
        page = np.asarray(Image.open(path_of("INDEX%02d" % p, ".jpg")).convert("RGB")).astype(int)
        gaps = np.ones((142, 238), dtype=bool)
        for i in range(10):
            gaps[PITCH_Y * (i // 5):PITCH_Y * (i // 5) + CELL_H, PITCH_X * (i % 5):PITCH_X * (i % 5) + CELL_W] = False
        inner = gaps.copy()
        # JPEG blocks next to a thumbnail may ring a little; judge the gap pixels well away from cells
        assert np.abs(page[gaps] - np.array(PANEL)).mean() < 6, p

    # back is symmetric both ways
    back = np.asarray(Image.open(path_of("C999", ".jpg")).convert("RGB")).astype(int)
    assert np.abs(back - back[:, ::-1]).mean() < 3 and np.abs(back - back[::-1]).mean() < 3
    return rows


def self_check(tmp_dir):
    """The checks above must be able to fail: feed them known-bad and known-good
    input before judging the real files."""
    # run counting as the window-shape builder scans: 3 runs in row 0, 1 in row 1, 0 in row 2
    m = np.array([[1, 0, 1, 1, 0, 1], [1, 1, 1, 1, 1, 1], [0, 0, 0, 0, 0, 0]], dtype=bool)
    assert aw.count_runs(m) == (4, 3)
    # BMP round trip with row padding, both bit depths, odd widths
    rng = np.random.RandomState(7)
    for bits, w, h in ((1, 13, 5), (4, 7, 3), (4, 348, 8)):
        idx = rng.randint(0, 2 if bits == 1 else 5, size=(h, w)).astype(np.uint8)
        pal = [(0, 0, 0), (255, 255, 255)] if bits == 1 else aw.FRAME_PALETTE
        f = os.path.join(tmp_dir, "selfcheck.bmp")
        write_bmp(f, idx, pal, bits)
        back, pal2, bits2, top_down = read_bmp_indices(f)
        assert (back == idx).all() and bits2 == bits and not top_down and pal2 == list(pal)
        assert bmp_info(f)[:3] == (w, h, bits)
        os.remove(f)
    # JPEG layout is read from the frame header, not guessed from the name
    f = os.path.join(tmp_dir, "selfcheck.jpg")
    for prog in (False, True):
        save_jpeg(Image.new("RGB", (9, 5), PANEL), f, progressive=prog)
        assert jpeg_info(f)[:4] == (9, 5, 3, prog)
    os.remove(f)
    # one stray pixel in a panel rectangle is noticed
    flat = np.zeros((20, 20, 3), dtype=np.uint8) + np.array(PANEL, dtype=np.uint8)
    assert panel_error(flat, (2, 2, 10, 10)) == 0
    flat[5, 6] = (118, 132, 190)
    assert panel_error(flat, (2, 2, 10, 10)) == 17
    # a narrow card is letterboxed onto the panel colour in its index cell
    cell = np.asarray(thumbnail(Image.new("RGB", (310, 500), (0, 0, 0)))).astype(int)
    assert (cell[:, 0] == PANEL).all() and (cell[34, 23] == 0).all()
    # at full width the frame fills the 4-pixel margin: only the 3 cut pixels of each corner stay backdrop
    backdrop = np.full((508, 348, 3), 7, dtype=np.uint8)
    framed = aw.compose_frame(np.full((500, 340, 3), 200, dtype=np.uint8), 100, backdrop)
    assert (framed == 7).all(axis=2).sum() == 12
    # narrowed to 0 percent the card is a 4-pixel sliver at x 204..207 of the window and the
    # frame, one pixel further in while turning, covers its outer columns
    framed = aw.compose_frame(np.full((500, 340, 3), 200, dtype=np.uint8), 0, backdrop)
    cols = np.where((framed[250] == 200).all(axis=1))[0] + 32
    assert list(cols) == [205, 206], cols


def main():
    os.makedirs(OUT, exist_ok=True)
    self_check(OUT)
    with open(os.path.join(HERE, "deck.json"), encoding="utf-8") as f:
        deck = json.load(f)
    assert sorted(c["n"] for c in deck["cards"]) == list(range(50))

    jpegs, bmps = {}, {}

    def jpeg(name, img, quality=92):
        save_jpeg(img, path_of(name, ".jpg"), progressive=name in PROGRESSIVE, quality=quality)
        jpegs[name] = img.size

    # window
    mask = aw.make_mask()
    write_bmp(path_of("BASEMSK", ".bmp"), mask.astype(np.uint8), [(0, 0, 0), (255, 255, 255)], 1)
    bmps["BASEMSK"] = (aw.W, aw.H, 1)
    nami = aw.make_nami()
    jpeg("NAMI", nami)
    base = aw.make_base(mask, nami)
    jpeg("BASE", base, quality=95)
    # sprite backgrounds are cut from the decoded window picture, as the program will see it
    base_decoded = Image.open(path_of("BASE", ".jpg")).convert("RGB")
    jpeg("BUTTON", aw.make_button_sheet(base_decoded), quality=95)
    write_bmp(path_of("WAKUTATE", ".bmp"), aw.make_wakutate(), aw.FRAME_PALETTE, 4)
    bmps["WAKUTATE"] = (8, 504, 4)
    write_bmp(path_of("WAKUYOKO", ".bmp"), aw.make_wakuyoko(), aw.FRAME_PALETTE, 4)
    bmps["WAKUYOKO"] = (348, 8, 4)
    write_bmp(path_of("STAR", ".bmp"), np.ones((3, 3), dtype=np.uint8), [(0, 0, 0), (255, 255, 255)], 1)
    bmps["STAR"] = (3, 3, 1)

    # cards
    cards = {}
    for n in range(50):
        img = render_card(deck, n, CARD_SIZES[n])
        assert img.size == CARD_SIZES[n]
        jpeg("C%03d" % n, img)
        cards[n] = img
    jpeg("C999", render_back())
    jpeg("HC000", render_card(deck, 0, (340, 500), "festive"))
    jpeg("HC005", render_card(deck, 5, (340, 500), "festive"))
    jpeg("QUEST", render_quest())
    for p in range(5):
        jpeg("INDEX%02d" % p, index_page(cards, p), quality=95)

    rows = check_all(jpegs, bmps, mask)
    print("%-9s %-9s %-14s %s" % ("name", "size", "format", "layout"))
    for r in rows:
        print("%-9s %-9s %-14s %s" % r)
    print("BASEMSK runs: %d (at most 2 per row)" % aw.count_runs(mask)[0])
    print("%d pictures written to %s/" % (len(rows), OUT))


if __name__ == "__main__":
    main()
