#!/usr/bin/python3
"""Renders docs/contact-sheet.png from the generated resources, for review:
every card with the back and the alternates, the index pages, the button
sheet at twice its size, the window as the program first composes it with
the outline of its mask, and a card framed at full and at narrowed width.

Run from the repository root after make_art.py:
    /usr/bin/python3 tools/assets/make_contact_sheet.py
"""
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import art_window as aw                       # noqa: E402
from art_common import read_bmp_indices       # noqa: E402

RES = "resources"
OUT = os.path.join("docs", "contact-sheet.png")
BG = (40, 38, 58)
FONT = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 12)
FONT_BIG = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 18)

# states each button shows right after start-up
START_STATES = {"WishCaption": 0, "ExplanationCaption": 0, "Close": 1, "Minimise": 1, "Prev": 1,
                "Next": 1, "Fortune": 0, "Random": 1, "Creator": 1, "Homepage": 1, "Heart": 0}


def load(name, ext=".jpg"):
    return Image.open(os.path.join(RES, name + ext)).convert("RGB")


def load_mask():
    idx, pal, _, _ = read_bmp_indices(os.path.join(RES, "BASEMSK.bmp"))
    return np.array([sum(pal[i]) > 0 for i in range(len(pal))])[idx]


def compose_window(card_no=0):
    """The window right after start-up: background, card in its frame, buttons."""
    base = np.array(load("BASE"))
    sheet = np.asarray(load("BUTTON"))
    framed = aw.compose_frame(np.asarray(load("C%03d" % card_no)), 100, np.asarray(load("NAMI")))
    px, py, pw, ph = aw.PICTURE
    base[py:py + ph, px:px + pw] = framed
    for name, (x, y, w, h, sx, sy, n) in aw.BUTTONS.items():
        s = START_STATES[name]
        base[y:y + h, x:x + w] = sheet[sy:sy + h, sx + s * w:sx + (s + 1) * w]
    return base


def outline(arr, mask, rgb=(255, 60, 60)):
    out = arr.copy()
    edge = np.zeros_like(mask)
    edge[:, 1:] |= mask[:, 1:] != mask[:, :-1]
    edge[1:, :] |= mask[1:, :] != mask[:-1, :]
    out[edge] = rgb
    return out


def main():
    os.makedirs("docs", exist_ok=True)
    thumb_w, thumb_h, gap = 112, 165, 10
    per_row = 14
    names = ["C%03d" % n for n in range(50)] + ["C999", "HC000", "HC005"]
    card_rows = (len(names) + per_row - 1) // per_row
    width = max(30 + per_row * (thumb_w + gap), 780 + 900 + 20)
    y_cards = 44
    y_index = y_cards + card_rows * (thumb_h + 26) + 30
    y_window = y_index + 142 + 60
    height = y_window + 584 + 40 + 508 + 60
    sheet = Image.new("RGB", (width, height), BG)
    d = ImageDraw.Draw(sheet)
    d.text((20, 12), "Sablewick - generated pictures", font=FONT_BIG, fill=(240, 230, 200))

    for i, name in enumerate(names):
        img = load(name)
        w, h = img.size
        k = min(thumb_w / float(w), thumb_h / float(h))
        t = img.resize((max(1, int(w * k)), max(1, int(h * k))), Image.LANCZOS)
        x = 20 + (i % per_row) * (thumb_w + gap)
        y = y_cards + (i // per_row) * (thumb_h + 26)
        sheet.paste(t, (x + (thumb_w - t.width) // 2, y + (thumb_h - t.height) // 2))
        d.text((x, y + thumb_h + 4), "%s %dx%d" % (name, w, h), font=FONT, fill=(220, 220, 230))

    d.text((20, y_index - 22), "Index pages INDEX00-04 and QUEST", font=FONT, fill=(240, 230, 200))
    for p in range(5):
        sheet.paste(load("INDEX%02d" % p), (20 + p * 248, y_index))
    sheet.paste(load("QUEST"), (20 + 5 * 248, y_index))

    d.text((20, y_window - 22), "Window after start-up (mask outline in red)", font=FONT, fill=(240, 230, 200))
    win = outline(compose_window(0), load_mask())
    sheet.paste(Image.fromarray(win), (20, y_window))
    d.text((780, y_window - 22), "BUTTON at 2x", font=FONT, fill=(240, 230, 200))
    sheet.paste(load("BUTTON").resize((900, 444), Image.NEAREST), (780, y_window))

    y_frame = y_window + 584 + 40
    d.text((20, y_frame - 22), "Card area: C001 at 100%, C041 (310 wide), C048 (404 high), C000 at 60%, back at 35%",
           font=FONT, fill=(240, 230, 200))
    nami = np.asarray(load("NAMI"))
    shots = [("C001", 100), ("C041", 100), ("C048", 100), ("C000", 60), ("C999", 35)]
    for i, (name, pct) in enumerate(shots):
        framed = aw.compose_frame(np.asarray(load(name)), pct, nami)
        sheet.paste(Image.fromarray(framed), (20 + i * 362, y_frame))
    sheet.save(OUT, "PNG", optimize=False)
    print("wrote", OUT, sheet.size)


if __name__ == "__main__":
    main()
