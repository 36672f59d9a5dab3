#!/usr/bin/python3
"""Compares an area of the screen, or of a screenshot, with a picture.

  area_matches.py still SHOT X Y REFERENCE [options]
      Compares the area of SHOT whose top-left corner is (X, Y) with REFERENCE (or with
      the part of it that --from and --size choose). Exit 0 when enough pixels match.

  area_matches.py watch X Y NAME=REFERENCE... --duration SECS --out PREFIX [options]
      Grabs the area at (X, Y) of the current X display again and again for SECS
      seconds and compares every grab with each reference (all of the same size). For
      each NAME it prints when the area first matched it, in milliseconds from the
      start, and saves that grab as PREFIX-NAME.png (or the grab that came closest,
      when it never matched). Touches the file given with --ready once it grabs, so a
      caller can start the action to be watched only then. Exit 0 when every reference
      was matched at least once. With --in-order a reference counts only once the one
      before it has matched (the card back, then the new face).

Options:
  --from RX RY      the part of the reference to compare starts at (RX, RY); default 0 0
  --size W H        the size of the compared area; default: the reference's size
  --exclude X Y W H a rectangle (in the coordinates of X and Y) left out of the
                    comparison, such as the spot where sparkles are drawn; repeatable
  --min-share S     the share of compared pixels that must match; default 0.97
  --stop-after-all  (watch) ends as soon as every reference has matched
  --in-order        (watch) see above
  --tolerance T     the largest difference per channel of a matching pixel; default 24,
                    which absorbs JPEG decoders' rounding but not a shifted or scaled
                    picture

  area_matches.py shape SHOT X Y MASK [--like BEFORE] [options]
      The window's shape in a screenshot: the window's top-left corner is at (X, Y) and
      MASK is its shape picture (white inside, black outside). Every point outside the
      shape must show the white screen behind the window (--min-share of them); with
      --like, the points inside must look as they did in the screenshot BEFORE (the
      same share), with --exclude rectangles left out.

  area_matches.py sky PICTURE X Y W H
      A starry sky: in that area most pixels are black, a few per cent are stars.
      Prints the shares; exit 0 when black pixels are 85 to 99 per cent of the area.

References are any picture Pillow reads (the runner hands over PPM files decoded by
ImageMagick's convert).
"""
import argparse
import os
import sys
import time

import numpy as np
from PIL import Image


def load_rgb(path):
    return np.asarray(Image.open(path).convert("RGB"), dtype=np.int16)


def make_mask(width, height, x, y, excludes):
    mask = np.ones((height, width), dtype=bool)
    for ex, ey, ew, eh in excludes:
        left, top = max(ex - x, 0), max(ey - y, 0)
        right, bottom = min(ex - x + ew, width), min(ey - y + eh, height)
        if left < right and top < bottom:
            mask[top:bottom, left:right] = False
    return mask


def share_matching(area, reference, mask, tolerance):
    close = np.all(np.abs(area - reference) <= tolerance, axis=2)
    compared = int(mask.sum())
    return float((close & mask).sum()) / compared if compared else 0.0


def cut_reference(path, args):
    ref = load_rgb(path)
    rx, ry = args.ref_from
    if args.size:
        w, h = args.size
    else:
        h, w = ref.shape[0] - ry, ref.shape[1] - rx
    part = ref[ry:ry + h, rx:rx + w]
    if part.shape[:2] != (h, w):
        sys.exit("%s: the part %dx%d at (%d, %d) lies outside the picture" % (path, w, h, rx, ry))
    return part


def run_still(args):
    ref = cut_reference(args.reference, args)
    h, w = ref.shape[:2]
    shot = load_rgb(args.shot)
    area = shot[args.y:args.y + h, args.x:args.x + w]
    if area.shape[:2] != (h, w):
        sys.exit("the area %dx%d at (%d, %d) lies outside %s" % (w, h, args.x, args.y, args.shot))
    mask = make_mask(w, h, args.x, args.y, args.exclude)
    share = share_matching(area, ref, mask, args.tolerance)
    print("%.1f%% of %d pixels match" % (100 * share, int(mask.sum())))
    return 0 if share >= args.min_share else 1


def run_shape(args):
    shot = load_rgb(args.shot)
    mask = load_rgb(args.mask)[:, :, 0] > 127
    h, w = mask.shape
    area = shot[args.y:args.y + h, args.x:args.x + w]
    if area.shape[:2] != (h, w):
        sys.exit("the window %dx%d at (%d, %d) lies outside %s" % (w, h, args.x, args.y, args.shot))
    outside = ~mask
    desktop = np.all(area >= 240, axis=2)
    outside_share = float((desktop & outside).sum()) / max(int(outside.sum()), 1)
    line = "outside the shape %.1f%% of %d pixels show the screen behind" % (
        100 * outside_share, int(outside.sum()))
    ok = outside_share >= args.min_share
    if args.like:
        before = load_rgb(args.like)[args.y:args.y + h, args.x:args.x + w]
        inside = mask & make_mask(w, h, args.x, args.y, args.exclude)
        inside_share = share_matching(area, before, inside, args.tolerance)
        line += ", inside it %.1f%% of %d look as before" % (100 * inside_share, int(inside.sum()))
        ok = ok and inside_share >= args.min_share
    print(line)
    return 0 if ok else 1


def run_sky(args):
    picture = load_rgb(args.shot)
    area = picture[args.y:args.y + args.h, args.x:args.x + args.w]
    if area.shape[:2] != (args.h, args.w):
        sys.exit("the area lies outside %s" % args.shot)
    black = float(np.all(area == 0, axis=2).mean())
    bright = int(np.any(area > 200, axis=2).sum())
    print("black %.1f%%, bright star pixels %d" % (100 * black, bright))
    return 0 if 0.85 <= black <= 0.99 and bright > 0 else 1


def run_watch(args):
    from PIL import ImageGrab

    refs = []
    for item in args.references:
        name, _, path = item.partition("=")
        if not path:
            sys.exit("a reference is NAME=FILE, not %r" % item)
        refs.append((name, cut_reference(path, args)))
    h, w = refs[0][1].shape[:2]
    if any(r.shape[:2] != (h, w) for _, r in refs):
        sys.exit("the references differ in size")
    mask = make_mask(w, h, args.x, args.y, args.exclude)
    bbox = (args.x, args.y, args.x + w, args.y + h)
    display = os.environ.get("DISPLAY")

    first = {name: None for name, _ in refs}
    best = {name: (-1.0, None) for name, _ in refs}
    grabs = 0
    start = time.monotonic()
    if args.ready:
        open(args.ready, "w").close()
    while time.monotonic() - start < args.duration:
        grab = ImageGrab.grab(bbox=bbox, xdisplay=display).convert("RGB")
        when = int(1000 * (time.monotonic() - start))
        area = np.asarray(grab, dtype=np.int16)
        grabs += 1
        waiting = True  # every reference before this one has matched
        for name, ref in refs:
            share = share_matching(area, ref, mask, args.tolerance)
            if share > best[name][0]:
                best[name] = (share, grab)
            eligible = waiting or not args.in_order
            waiting = waiting and first[name] is not None
            if eligible and first[name] is None and share >= args.min_share:
                first[name] = when
                grab.save("%s-%s.png" % (args.out, name))
        if args.stop_after_all and all(t is not None for t in first.values()):
            break
    status = 0
    for name, _ in refs:
        share, grab = best[name]
        if first[name] is None:
            status = 1
            if grab is not None:
                grab.save("%s-%s.png" % (args.out, name))
            print("%s never (best %.1f%%)" % (name, 100 * share))
        else:
            print("%s %d ms (best %.1f%%)" % (name, first[name], 100 * share))
    print("grabs %d" % grabs)
    return status


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("mode", choices=("still", "watch", "shape", "sky"))
    parser.add_argument("rest", nargs="+")
    parser.add_argument("--from", dest="ref_from", nargs=2, type=int, default=(0, 0))
    parser.add_argument("--size", nargs=2, type=int)
    parser.add_argument("--exclude", nargs=4, type=int, action="append", default=[])
    parser.add_argument("--min-share", type=float, default=0.97)
    parser.add_argument("--tolerance", type=int, default=24)
    parser.add_argument("--duration", type=float, default=3.0)
    parser.add_argument("--out", default="watch")
    parser.add_argument("--ready")
    parser.add_argument("--stop-after-all", action="store_true")
    parser.add_argument("--in-order", action="store_true")
    parser.add_argument("--like")
    args = parser.parse_args()
    try:
        if args.mode == "still":
            args.shot, x, y, args.reference = args.rest
            args.x, args.y = int(x), int(y)
            return run_still(args)
        if args.mode == "shape":
            args.shot, x, y, args.mask = args.rest
            args.x, args.y = int(x), int(y)
            return run_shape(args)
        if args.mode == "sky":
            args.shot, *numbers = args.rest
            args.x, args.y, args.w, args.h = (int(v) for v in numbers)
            return run_sky(args)
        x, y, *args.references = args.rest
        args.x, args.y = int(x), int(y)
        if not args.references:
            parser.error("watch needs at least one NAME=REFERENCE")
        return run_watch(args)
    except ValueError as e:
        parser.error(str(e))
    return 2


if __name__ == "__main__":
    sys.exit(main())
