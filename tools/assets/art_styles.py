"""The creators' styles: how each one paints backgrounds, fills and lines,
which small motifs recur in their pictures and how they frame a card."""
import math
import random
import re

import cairo

from art_common import (hexrgb, mix, src, star_path, sparkle_path, heart_path, crescent_path,
                        rounded_rect, glow_dot, text_centered, roman, SERIF_LATIN, SANS_JP)

# Fallback palettes, used when the deck plan names fewer colours than a style needs.
DEFAULTS = {
    "00": ["#1E1B3A", "#D4AF37", "#7684CF", "#F5EFE0"],
    "01": ["#1B2A4A", "#3E5C9A", "#C9D6F2", "#F4E3A1"],
    "02": ["#D9452B", "#F2E6C9", "#2B2B2B", "#E8A33D"],
    "03": ["#2F5D3A", "#7FB069", "#E6D8A8", "#5A3E2B"],
    "04": ["#0E6E7E", "#48B8C4", "#F28C7A", "#FFF4E0"],
    "05": ["#111111", "#E8E8E8", "#8A8A8A", "#C0392B"],
    "06": ["#F6C1D1", "#B9A3E3", "#FFF8E7", "#6C4F8C"],
    "07": ["#6B1E2E", "#D4A73A", "#F7E7C1", "#2A1A14"],
    "10": ["#E9F4FB", "#9CC9E3", "#4A7FA7", "#23395B"],
    "11": ["#C8793A", "#F1D29B", "#7A3B1E", "#3A6EA5"],
    "12": ["#7B5EA7", "#C7B4E2", "#4F7D5C", "#F3EEF8"],
    "13": ["#0B0C1A", "#1FD1E0", "#5A2D91", "#E0F7FA"],
    "16": ["#FFCC33", "#FF6B6B", "#4DABF7", "#69DB7C", "#FFFFFF"],
    "17": ["#4B3621", "#A67C52", "#EADBC8", "#7E8C69"],
}


def palette_from(style_text, code):
    found = [hexrgb(h) for h in re.findall(r"#[0-9A-Fa-f]{6}", style_text or "")]
    base = [hexrgb(h) for h in DEFAULTS.get(code, DEFAULTS["00"])]
    return found + base[len(found):] if len(found) < len(base) else found


class Style:
    def __init__(self, code, palette, seed):
        self.code = code
        self.P = palette
        self.rng = random.Random(seed)

    # -- painting a path in the creator's manner --------------------------------
    def _replay(self, ctx, path):
        ctx.new_path()
        ctx.append_path(path)

    def _wobble(self, ctx, path, amount):
        ctx.new_path()
        ctx.append_path(path)
        flat = ctx.copy_path_flat()
        ctx.new_path()
        first = None
        for kind, pts in flat:
            if kind == cairo.PATH_MOVE_TO:
                p = (pts[0] + self.rng.uniform(-amount, amount), pts[1] + self.rng.uniform(-amount, amount))
                ctx.move_to(*p)
                first = p
            elif kind == cairo.PATH_LINE_TO:
                ctx.line_to(pts[0] + self.rng.uniform(-amount, amount), pts[1] + self.rng.uniform(-amount, amount))
            elif kind == cairo.PATH_CLOSE_PATH:
                if first:
                    ctx.line_to(*first)

    def shape(self, ctx, fill, line=None, alpha=1.0, lw=None):
        """Fills and outlines the current path; line=False draws no outline."""
        path = ctx.copy_path()
        c = self.code
        P = self.P
        if c == "01":
            self._replay(ctx, path)
            src(ctx, fill, 0.18 * alpha)
            ctx.set_line_width(10)
            ctx.set_line_join(cairo.LINE_JOIN_ROUND)
            ctx.stroke()
            self._replay(ctx, path)
            src(ctx, fill, 0.85 * alpha)
            ctx.fill()
            if line is not False:
                self._replay(ctx, path)
                src(ctx, line or (236, 240, 255), 0.8)
                ctx.set_line_width(lw or 1.1)
                ctx.stroke()
        elif c == "13":
            if fill is not None:
                self._replay(ctx, path)
                src(ctx, fill, 0.9 * alpha)
                ctx.fill()
            if line is not False:
                self.glow(ctx, path, line or P[1], lw or 2.0)
        elif c == "16":
            self._replay(ctx, path)
            src(ctx, fill, alpha)
            ctx.fill()
            if line is not False:
                for k in range(2):
                    self._wobble(ctx, path, 1.4)
                    src(ctx, line or (60, 50, 60), 0.85)
                    ctx.set_line_width(lw or 3.2)
                    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
                    ctx.stroke()
        elif c == "17":
            self._replay(ctx, path)
            src(ctx, fill, alpha)
            ctx.fill()
            self._replay(ctx, path)
            ctx.save()
            ctx.clip()
            x1, y1, x2, y2 = ctx.clip_extents()
            src(ctx, P[0], 0.35)
            ctx.set_line_width(0.7)
            k = x1 - (y2 - y1)
            while k < x2:
                ctx.move_to(k, y2)
                ctx.line_to(k + (y2 - y1), y1)
                k += 3.2
            ctx.stroke()
            ctx.restore()
            if line is not False:
                self._replay(ctx, path)
                src(ctx, line or P[0])
                ctx.set_line_width(lw or 1.2)
                ctx.stroke()
        else:
            widths = {"00": 1.4, "02": 3.4, "03": 0, "04": 2.4, "05": 1.0, "06": 1.8,
                      "07": 2.0, "10": 1.2, "11": 2.0, "12": 1.0}
            colours = {"00": P[1], "02": P[2], "04": P[0], "05": P[0], "06": P[3], "07": P[1],
                       "10": P[3], "11": P[2], "12": P[0]}
            if fill is not None:
                self._replay(ctx, path)
                src(ctx, fill, alpha)
                ctx.fill()
                if c == "03":
                    # storybook shading: a lighter inner glow, no outline
                    self._replay(ctx, path)
                    ctx.save()
                    ctx.clip()
                    x1, y1, x2, y2 = ctx.clip_extents()
                    g = cairo.LinearGradient(x1, y1, x2, y2)
                    g.add_color_stop_rgba(0, 1, 1, 0.9, 0.16)
                    g.add_color_stop_rgba(1, 0, 0, 0, 0.12)
                    ctx.set_source(g)
                    ctx.paint()
                    ctx.restore()
            w = lw or widths.get(c, 1.4)
            if line is not False and w > 0:
                self._replay(ctx, path)
                src(ctx, line or colours.get(c, (0, 0, 0)))
                ctx.set_line_width(w)
                ctx.set_line_join(cairo.LINE_JOIN_ROUND if c != "10" else cairo.LINE_JOIN_MITER)
                ctx.set_line_cap(cairo.LINE_CAP_ROUND)
                if c == "06":
                    ctx.set_dash([5, 3.2])
                ctx.stroke()
                ctx.set_dash([])
                if c == "07":
                    self._replay(ctx, path)
                    src(ctx, P[3], 0.8)
                    ctx.set_line_width(0.7)
                    ctx.stroke()
        ctx.new_path()

    def line(self, ctx, rgb=None, lw=None, alpha=1.0):
        """Strokes the current path as a plain line in the creator's manner."""
        path = ctx.copy_path()
        if self.code == "13":
            self.glow(ctx, path, rgb or self.P[1], lw or 2.0)
        elif self.code == "16":
            for k in range(2):
                self._wobble(ctx, path, 1.2)
                src(ctx, rgb or (60, 50, 60), 0.85 * alpha)
                ctx.set_line_width(lw or 3.0)
                ctx.set_line_cap(cairo.LINE_CAP_ROUND)
                ctx.stroke()
        else:
            self._replay(ctx, path)
            src(ctx, rgb or self.P[0], alpha)
            ctx.set_line_width(lw or 1.5)
            ctx.set_line_cap(cairo.LINE_CAP_ROUND)
            ctx.set_line_join(cairo.LINE_JOIN_ROUND)
            if self.code == "06":
                ctx.set_dash([5, 3.2])
            ctx.stroke()
            ctx.set_dash([])
        ctx.new_path()

    def glow(self, ctx, path, rgb, lw):
        for width, a in ((lw * 6, 0.08), (lw * 3.2, 0.18), (lw * 1.8, 0.4)):
            self._replay(ctx, path)
            src(ctx, rgb, a)
            ctx.set_line_width(width)
            ctx.set_line_cap(cairo.LINE_CAP_ROUND)
            ctx.set_line_join(cairo.LINE_JOIN_ROUND)
            ctx.stroke()
        self._replay(ctx, path)
        src(ctx, mix(rgb, (255, 255, 255), 0.6))
        ctx.set_line_width(lw)
        ctx.stroke()
        ctx.new_path()

    # -- backgrounds -------------------------------------------------------------
    def background(self, ctx, w, h):
        c, P, rng = self.code, self.P, self.rng

        def vgrad(stops):
            g = cairo.LinearGradient(0, 0, 0, h)
            for t, col in stops:
                g.add_color_stop_rgb(t, *[v / 255. for v in col])
            ctx.set_source(g)
            ctx.paint()

        def dust(n, col, amax, y_max=1.0, rmax=1.2):
            for i in range(n):
                src(ctx, col, rng.uniform(0.2, amax))
                ctx.arc(rng.uniform(0, w), rng.uniform(0, h * y_max), rng.uniform(0.4, rmax), 0, 2 * math.pi)
                ctx.fill()

        if c == "00":
            g = cairo.RadialGradient(w / 2, h * 0.45, 10, w / 2, h * 0.45, h * 0.7)
            g.add_color_stop_rgb(0, 0.20, 0.18, 0.42)
            g.add_color_stop_rgb(1, *[v / 255. for v in P[0]])
            ctx.set_source(g)
            ctx.paint()
            dust(160, (230, 225, 255), 0.8)
        elif c == "01":
            vgrad([(0, P[0]), (0.65, P[1]), (1, mix(P[1], P[2], 0.35))])
            for i in range(10):
                glow_dot(ctx, rng.uniform(0, w), rng.uniform(0, h), rng.uniform(40, 110), P[2], 0.12)
            dust(60, (240, 240, 255), 0.7, 0.6)
        elif c == "02":
            src(ctx, P[1])
            ctx.paint()
            for i in range(260):
                x, y = rng.uniform(0, w), rng.uniform(0, h)
                a = rng.uniform(0, math.pi)
                ln = rng.uniform(3, 12)
                ctx.move_to(x, y)
                ctx.line_to(x + ln * math.cos(a), y + ln * math.sin(a))
                src(ctx, (190, 170, 130), 0.25)
                ctx.set_line_width(0.6)
                ctx.stroke()
        elif c == "03":
            g = cairo.RadialGradient(w / 2, h / 2, 30, w / 2, h / 2, h * 0.65)
            g.add_color_stop_rgb(0, *[v / 255. for v in mix(P[2], (255, 255, 240), 0.3)])
            g.add_color_stop_rgb(1, *[v / 255. for v in mix(P[2], P[3], 0.25)])
            ctx.set_source(g)
            ctx.paint()
        elif c == "04":
            vgrad([(0, P[3]), (0.55, mix(P[3], P[1], 0.45)), (1, P[1])])
        elif c == "05":
            src(ctx, P[1])
            ctx.paint()
            src(ctx, P[2], 0.35)
            ctx.set_line_width(0.5)
            for k in range(0, int(w) + 1, 20):
                ctx.move_to(k + 0.25, 0)
                ctx.line_to(k + 0.25, h)
            ctx.stroke()
        elif c == "06":
            vgrad([(0, P[2]), (0.6, mix(P[2], P[0], 0.5)), (1, mix(P[0], P[1], 0.4))])
        elif c == "07":
            g = cairo.RadialGradient(w / 2, h * 0.45, 20, w / 2, h * 0.45, h * 0.7)
            g.add_color_stop_rgb(0, *[v / 255. for v in mix(P[0], P[1], 0.25)])
            g.add_color_stop_rgb(0.6, *[v / 255. for v in P[0]])
            g.add_color_stop_rgb(1, *[v / 255. for v in P[3]])
            ctx.set_source(g)
            ctx.paint()
        elif c == "10":
            vgrad([(0, P[3]), (0.7, mix(P[3], P[2], 0.7)), (1, mix(P[2], P[1], 0.5))])
            for i in range(26):
                x, y, r = rng.uniform(0, w), rng.uniform(0, h), rng.uniform(30, 90)
                ctx.move_to(x, y - r)
                ctx.line_to(x + r * 0.8, y + r * 0.5)
                ctx.line_to(x - r * 0.8, y + r * 0.5)
                ctx.close_path()
                src(ctx, P[1], 0.05)
                ctx.fill()
            dust(50, P[0], 0.7)
        elif c == "11":
            vgrad([(0, mix(P[3], (255, 255, 255), 0.25)), (0.55, mix(P[1], P[3], 0.25)), (1, P[1])])
        elif c == "12":
            vgrad([(0, P[3]), (1, mix(P[3], P[1], 0.55))])
        elif c == "13":
            src(ctx, P[0])
            ctx.paint()
            glow_dot(ctx, w / 2, h / 2, h * 0.6, P[2], 0.35)
            for r in (120, 150):
                ctx.arc(w / 2, h / 2, r, 0, 2 * math.pi)
                src(ctx, P[1], 0.08)
                ctx.set_line_width(1)
                ctx.stroke()
            dust(40, P[3], 0.5)
        elif c == "16":
            src(ctx, P[4] if len(P) > 4 else (255, 255, 255))
            ctx.paint()
            for i in range(90):
                y = rng.uniform(0, h * 0.45)
                x = rng.uniform(-20, w)
                ctx.move_to(x, y)
                ctx.line_to(x + rng.uniform(30, 80), y + rng.uniform(-6, 6))
                src(ctx, P[2], 0.10)
                ctx.set_line_width(rng.uniform(3, 7))
                ctx.stroke()
        elif c == "17":
            src(ctx, P[2])
            ctx.paint()
            for i in range(6):
                glow_dot(ctx, rng.uniform(0, w), rng.uniform(0, h), rng.uniform(30, 80), P[1], 0.12)
        else:
            src(ctx, P[0])
            ctx.paint()

    # -- recurring small motifs ----------------------------------------------------
    def decor(self, ctx, w, h, n=14):
        c, P, rng = self.code, self.P, self.rng
        for i in range(n):
            x, y = rng.uniform(24, w - 24), rng.uniform(24, h - 40)
            if c == "00":
                star_path(ctx, x, y, 4, 1.6, 8)
                src(ctx, P[1], 0.8)
                ctx.fill()
            elif c == "01":
                ctx.move_to(x, y - 5)
                ctx.curve_to(x + 4, y, x + 3, y + 4, x, y + 4)
                ctx.curve_to(x - 3, y + 4, x - 4, y, x, y - 5)
                src(ctx, P[2], 0.45)
                ctx.fill()
            elif c == "02":
                if i % 3 == 0:
                    self.swirl_cloud(ctx, x, y, 10)
            elif c == "03":
                self.leaf(ctx, x, y, 7, rng.uniform(0, math.pi * 2), P[1] if i % 2 else mix(P[1], (220, 160, 60), 0.5))
            elif c == "04":
                ctx.arc(x, y, rng.uniform(2, 6), 0, 2 * math.pi)
                src(ctx, P[3], 0.7)
                ctx.set_line_width(1.2)
                ctx.stroke()
            elif c == "06":
                if i % 2:
                    star_path(ctx, x, y, 4.5, 2, 5)
                    src(ctx, P[1], 0.85)
                else:
                    heart_path(ctx, x, y, 3.6)
                    src(ctx, P[0], 0.95)
                ctx.fill()
            elif c == "07":
                pass
            elif c == "10":
                self.snow_tiny(ctx, x, y, 5)
            elif c == "12":
                ctx.arc(x, y, 1.8, 0, 2 * math.pi)
                src(ctx, P[1], 0.8)
                ctx.fill()
            elif c == "13":
                ctx.arc(x, y, 1.2, 0, 2 * math.pi)
                src(ctx, P[1], 0.7)
                ctx.fill()
            elif c == "16":
                if i % 3 == 0:
                    heart_path(ctx, x, y, 4)
                    src(ctx, P[1], 0.8)
                    ctx.fill()
            elif c == "17":
                pass

    def swirl_cloud(self, ctx, x, y, s):
        P = self.P
        for dx, r in ((-s, s * 0.7), (0, s), (s, s * 0.7)):
            ctx.new_sub_path()
            ctx.arc(x + dx, y, r, math.pi, 2 * math.pi)
        ctx.move_to(x - s * 1.7, y)
        ctx.line_to(x + s * 1.7, y)
        ctx.close_path()
        self.shape(ctx, P[1] if self.code == "02" else (255, 255, 255), P[2] if self.code == "02" else None, lw=2)
        from art_common import spiral
        spiral(ctx, x, y - s * 0.35, 1, s * 0.55, 1.3)
        src(ctx, P[2] if self.code == "02" else (90, 90, 90))
        ctx.set_line_width(1.6)
        ctx.stroke()

    def leaf(self, ctx, x, y, s, a, col):
        ctx.save()
        ctx.translate(x, y)
        ctx.rotate(a)
        ctx.move_to(0, -s)
        ctx.curve_to(s * 0.9, -s * 0.4, s * 0.7, s * 0.6, 0, s)
        ctx.curve_to(-s * 0.7, s * 0.6, -s * 0.9, -s * 0.4, 0, -s)
        src(ctx, col, 0.9)
        ctx.fill()
        ctx.restore()

    def snow_tiny(self, ctx, x, y, r):
        src(ctx, self.P[0], 0.75)
        ctx.set_line_width(0.9)
        for k in range(3):
            a = k * math.pi / 3
            ctx.move_to(x - r * math.cos(a), y - r * math.sin(a))
            ctx.line_to(x + r * math.cos(a), y + r * math.sin(a))
        ctx.stroke()

    # -- border and number ---------------------------------------------------------
    def border(self, ctx, w, h, n):
        c, P = self.code, self.P
        dark_bg = c in ("00", "01", "07", "10", "13")
        ink = {"00": P[1], "01": P[3], "02": P[2], "03": P[3], "04": P[0], "05": P[0],
               "06": P[3], "07": P[1], "10": P[0], "11": P[2], "12": P[0], "13": P[1],
               "16": P[1], "17": P[0]}.get(c, (255, 255, 255))
        m = 9
        if c == "13":
            rounded_rect(ctx, m, m, w - 2 * m, h - 2 * m, 4)
            self.line(ctx, ink, 1.0)
        elif c == "16":
            rounded_rect(ctx, m, m, w - 2 * m, h - 2 * m, 10)
            self.line(ctx, P[2], 2.4)
        else:
            lw = {"02": 2.5, "05": 0.6, "11": 2.2}.get(c, 1.0)
            ctx.rectangle(m + 0.5, m + 0.5, w - 2 * m - 1, h - 2 * m - 1)
            src(ctx, ink, 0.9)
            ctx.set_line_width(lw)
            ctx.stroke()
            if c in ("00", "07", "17", "10"):
                ctx.rectangle(m + 4.5, m + 4.5, w - 2 * m - 9, h - 2 * m - 9)
                src(ctx, ink, 0.55)
                ctx.set_line_width(0.7)
                ctx.stroke()
        # the number plate at the bottom
        label = ("%02d" % n) if c in ("05", "13", "16") else roman(n)
        y = h - m - 11
        plate_bg = mix(P[0], (0, 0, 0), 0.2) if dark_bg else {"02": P[1], "03": P[2], "04": P[3], "05": P[1],
                                                            "06": P[2], "11": P[1], "12": P[3],
                                                            "16": (255, 255, 255), "17": P[2]}.get(c, P[0])
        ctx.select_font_face(SERIF_LATIN, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
        ctx.set_font_size(11)
        tw = ctx.text_extents(label)[2]
        rounded_rect(ctx, w / 2 - tw / 2 - 9, y - 8, tw + 18, 16, 7)
        src(ctx, plate_bg)
        ctx.fill_preserve()
        src(ctx, ink, 0.9)
        ctx.set_line_width(0.9)
        ctx.stroke()
        text_centered(ctx, label, w / 2, y, 11, SERIF_LATIN, True, ink)
