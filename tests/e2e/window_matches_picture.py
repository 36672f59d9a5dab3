#!/usr/bin/python3
"""Compares the window's area of a screenshot with the background picture.

usage: window_matches_picture.py SHOT.ppm PICTURE.ppm MASK.ppm [--behind R,G,B]

All three are binary PPM files of the window's size (the screenshot already cropped to
the window). Points of a coarse grid inside the window shape (white in the mask) are
compared; the card, buttons and labels cover part of the background, so the test asks
for most points, not all, to match within a tolerance that absorbs JPEG decoders'
rounding. Outside the shape the screen behind the window must show: white, the test
server's root, or the colour given with --behind (a compositor's desktop). Prints the
shares and exits 1 when too few points inside match or when points outside show anything
but the screen behind (the shape was not applied, or the window's outside is opaque).
"""
import sys

STEP = 8
TOLERANCE = 24
MIN_INSIDE_SHARE = 0.55
MIN_OUTSIDE_SHARE = 0.95


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            while data[pos:pos + 1] not in (b"\n", b""):
                pos += 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P6" or int(fields[3]) != 255:
        sys.exit("%s: not an 8-bit binary PPM" % path)
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


def main():
    shot, pic, mask = (read_ppm(p) for p in sys.argv[1:4])
    behind = None
    if len(sys.argv) > 5 and sys.argv[4] == "--behind":
        behind = [int(v) for v in sys.argv[5].split(",")]
    width, height = pic[0], pic[1]
    if shot[:2] != (width, height) or mask[:2] != (width, height):
        sys.exit("sizes differ: shot %dx%d, picture %dx%d, mask %dx%d"
                 % (shot[0], shot[1], width, height, mask[0], mask[1]))
    inside = matched = outside = outside_like = 0
    for y in range(STEP // 2, height, STEP):
        for x in range(STEP // 2, width, STEP):
            i = 3 * (y * width + x)
            a = shot[2][i:i + 3]
            b = pic[2][i:i + 3]
            close = all(abs(a[k] - b[k]) <= TOLERANCE for k in range(3))
            if mask[2][i] > 127:
                inside += 1
                matched += close
            else:
                outside += 1
                if behind is None:
                    outside_like += min(a) >= 240
                else:
                    outside_like += all(abs(a[k] - behind[k]) <= TOLERANCE for k in range(3))
    share = matched / inside if inside else 0.0
    outside_share = outside_like / outside if outside else 1.0
    print("inside the shape %d of %d grid points match the picture (%.0f%%), "
          "outside it %d of %d show the screen behind (%.0f%%)"
          % (matched, inside, 100 * share, outside_like, outside, 100 * outside_share))
    if share < MIN_INSIDE_SHARE or outside_share < MIN_OUTSIDE_SHARE:
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
