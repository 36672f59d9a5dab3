"""The card illustrations. Each motif draws in a 340 x 500 design space with the
creator's Style; render_card() fits it to the card's own size."""
import math
import random

import cairo
import numpy as np
from PIL import Image

from art_common import (mix, src, star_path, sparkle_path, heart_path, crescent_path, rounded_rect,
                        glow_dot, spiral, text_centered, new_surface, surface_to_array, SERIF_LATIN,
                        GOLD, GOLD_LIGHT, IVORY)
from art_styles import Style, palette_from

CX, CY = 170.0, 240.0
TAU = 2 * math.pi


def poly(ctx, pts, close=True):
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    if close:
        ctx.close_path()


def circle(ctx, x, y, r):
    ctx.new_sub_path()
    ctx.arc(x, y, r, 0, TAU)


def ellipse(ctx, x, y, rx, ry):
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(rx, ry)
    ctx.new_sub_path()
    ctx.arc(0, 0, 1, 0, TAU)
    ctx.restore()


def eight_star(ctx, x, y, r, rgb, alpha=1.0):
    star_path(ctx, x, y, r, r * 0.42, 8)
    src(ctx, rgb, alpha)
    ctx.fill()


def twinkle(ctx, x, y, r, rgb, alpha=1.0):
    sparkle_path(ctx, x, y, r)
    src(ctx, rgb, alpha)
    ctx.fill()


def bird(ctx, st, x, y, s, col):
    ctx.move_to(x - s, y - s * 0.2)
    ctx.curve_to(x - s * 0.6, y - s * 0.7, x - s * 0.2, y - s * 0.5, x, y)
    ctx.curve_to(x + s * 0.2, y - s * 0.5, x + s * 0.6, y - s * 0.7, x + s, y - s * 0.2)
    ctx.curve_to(x + s * 0.5, y - s * 0.3, x + s * 0.2, y, x, y + s * 0.25)
    ctx.curve_to(x - s * 0.2, y, x - s * 0.5, y - s * 0.3, x - s, y - s * 0.2)
    ctx.close_path()
    st.shape(ctx, col)


def hills(ctx, st, base, col, bumps, amp, rng):
    ctx.move_to(0, 500)
    ctx.line_to(0, base)
    n = len(bumps)
    for i, b in enumerate(bumps):
        x0 = 340 * i / n
        x1 = 340 * (i + 1) / n
        ctx.curve_to(x0 + (x1 - x0) * 0.25, base - amp * b, x0 + (x1 - x0) * 0.75, base - amp * b, x1, base)
    ctx.line_to(340, 500)
    ctx.close_path()
    st.shape(ctx, col)


def candle(ctx, x, y, s, body, flame_rgb, wick=(20, 16, 24)):
    """A candle whose wick burns with a star-shaped flame; (x, y) is the flame centre."""
    rounded_rect(ctx, x - 11 * s, y + 22 * s, 22 * s, 78 * s, 3 * s)
    src(ctx, body)
    ctx.fill_preserve()
    src(ctx, flame_rgb, 0.55)
    ctx.set_line_width(1.2)
    ctx.stroke()
    g = cairo.LinearGradient(x - 11 * s, 0, x + 11 * s, 0)
    g.add_color_stop_rgba(0, 1, 0.9, 0.6, 0.0)
    g.add_color_stop_rgba(0.7, 1, 0.9, 0.6, 0.0)
    g.add_color_stop_rgba(1, 1, 0.9, 0.6, 0.35)
    rounded_rect(ctx, x - 11 * s, y + 22 * s, 22 * s, 78 * s, 3 * s)
    ctx.set_source(g)
    ctx.fill()
    ctx.move_to(x - 11 * s, y + 26 * s)
    ctx.curve_to(x - 5 * s, y + 32 * s, x - 6 * s, y + 40 * s, x - 8 * s, y + 46 * s)
    ctx.line_to(x - 6 * s, y + 46 * s)
    ctx.curve_to(x - 3 * s, y + 36 * s, x + 2 * s, y + 30 * s, x + 11 * s, y + 26 * s)
    src(ctx, mix(body, (90, 90, 120), 0.5))
    ctx.fill()
    ctx.move_to(x, y + 22 * s)
    ctx.line_to(x, y + 10 * s)
    src(ctx, wick)
    ctx.set_line_width(1.6 * s)
    ctx.stroke()
    glow_dot(ctx, x, y, 40 * s, flame_rgb, 0.55)
    star_path(ctx, x, y, 12 * s, 4.5 * s, 8)
    src(ctx, flame_rgb)
    ctx.fill()
    star_path(ctx, x, y, 6 * s, 2.5 * s, 4)
    src(ctx, (255, 255, 255))
    ctx.fill()


def card_back_small(ctx, x, y, w, h, angle, P):
    ctx.save()
    ctx.translate(x, y)
    ctx.rotate(angle)
    rounded_rect(ctx, -w / 2, -h / 2, w, h, 5)
    src(ctx, mix(P[0], (0, 0, 0), 0.2))
    ctx.fill_preserve()
    src(ctx, P[1])
    ctx.set_line_width(1.6)
    ctx.stroke()
    rounded_rect(ctx, -w / 2 + 5, -h / 2 + 5, w - 10, h - 10, 3)
    src(ctx, P[1], 0.6)
    ctx.set_line_width(0.8)
    ctx.stroke()
    eight_star(ctx, 0, 0, w * 0.22, P[1])
    ctx.restore()


# ---------------------------------------------------------------- the title card

def title_card(ctx, st, festive=False):
    P = st.P
    rng = st.rng
    if festive:
        for i in range(28):
            x, y = rng.uniform(30, 310), rng.uniform(30, 300)
            col = rng.choice([(255, 214, 120), (255, 150, 190), (160, 210, 255), (200, 255, 200)])
            for k in range(10):
                a = k * TAU / 10
                r0, r1 = rng.uniform(3, 6), rng.uniform(10, 22)
                ctx.move_to(x + r0 * math.cos(a), y + r0 * math.sin(a))
                ctx.line_to(x + r1 * math.cos(a), y + r1 * math.sin(a))
            src(ctx, col, 0.55)
            ctx.set_line_width(1.1)
            ctx.stroke()
            if i > 6:
                break
        # a garland of small lights across the top
        ctx.move_to(18, 70)
        ctx.curve_to(110, 115, 230, 115, 322, 70)
        src(ctx, P[1], 0.8)
        ctx.set_line_width(1)
        ctx.stroke()
        for k in range(1, 12):
            t = k / 12.0
            x = (1 - t) ** 3 * 18 + 3 * (1 - t) ** 2 * t * 110 + 3 * (1 - t) * t * t * 230 + t ** 3 * 322
            y = (1 - t) ** 3 * 70 + 3 * (1 - t) ** 2 * t * 115 + 3 * (1 - t) * t * t * 115 + t ** 3 * 70
            col = [(255, 200, 90), (255, 120, 160), (140, 200, 255)][k % 3]
            glow_dot(ctx, x, y + 5, 9, col, 0.8)
            circle(ctx, x, y + 5, 2.6)
            src(ctx, (255, 250, 230))
            ctx.fill()
    # crescent and stars
    glow_dot(ctx, 250, 150, 60, (150, 150, 255), 0.25)
    crescent_path(ctx, 250, 150, 30, 0.42, -0.6)
    src(ctx, GOLD_LIGHT)
    ctx.fill()
    for (x, y, r) in ((70, 120, 6), (95, 175, 3.5), (290, 230, 4), (60, 250, 3), (205, 95, 3.5), (140, 70, 4.5)):
        twinkle(ctx, x, y, r * 1.6, IVORY)
    # fan of three face-down cards
    for a, dx in ((-0.32, -42), (0.32, 42), (0.0, 0)):
        card_back_small(ctx, CX + dx, 365, 70, 104, a, P)
    candle(ctx, CX, 205, 1.15, (26, 22, 34), (255, 226, 140))
    # name
    text_centered(ctx, "Sablewick", CX + 1.5, 80 + 1.5, 40, SERIF_LATIN, True, (0, 0, 0), 0.6,
                  cairo.FONT_SLANT_ITALIC)
    text_centered(ctx, "Sablewick", CX, 80, 40, SERIF_LATIN, True, GOLD_LIGHT, 1.0, cairo.FONT_SLANT_ITALIC)
    ctx.move_to(90, 104)
    ctx.line_to(250, 104)
    src(ctx, P[1])
    ctx.set_line_width(1)
    ctx.stroke()
    eight_star(ctx, CX, 104, 5, P[1])
    # symmetric ornamental corners
    for sx, sy in ((1, 1), (-1, 1), (1, -1), (-1, -1)):
        ctx.save()
        ctx.translate(CX + sx * 150, 250 + sy * 230)
        ctx.scale(-sx, -sy)
        ctx.move_to(0, 30)
        ctx.curve_to(0, 10, 10, 0, 30, 0)
        ctx.move_to(6, 40)
        ctx.curve_to(6, 18, 18, 6, 40, 6)
        src(ctx, P[1])
        ctx.set_line_width(1.2)
        ctx.stroke()
        eight_star(ctx, 10, 10, 4, P[1])
        ctx.restore()


# ---------------------------------------------------------------- motifs

def m_departure(ctx, st):      # 02 woodblock
    P = st.P
    circle(ctx, CX, 190, 60)
    st.shape(ctx, P[3])
    st.swirl_cloud(ctx, 80, 120, 18)
    st.swirl_cloud(ctx, 250, 90, 14)
    st.swirl_cloud(ctx, 270, 180, 12)
    ctx.rectangle(0, 300, 340, 200)
    st.shape(ctx, mix(P[1], P[3], 0.35), False)
    hills(ctx, st, 300, mix(P[3], P[0], 0.25), [0.5, 0.9, 0.4, 0.7], 30, st.rng)
    ctx.rectangle(0, 300, 340, 200)
    st.shape(ctx, mix(P[1], P[3], 0.35), False)
    poly(ctx, [(166, 300), (174, 300), (290, 470), (50, 470)])
    st.shape(ctx, mix(P[3], P[1], 0.55))
    for k in range(6):
        y0 = 312 + k * 26
        t0 = (y0 - 300) / 170.0
        ctx.move_to(CX, y0)
        ctx.line_to(CX, y0 + 6 + 10 * t0)
    st.line(ctx, P[2], 2.5)
    # the gate: two posts and a lintel
    for x in (62, 246):
        ctx.rectangle(x, 150, 32, 320)
        st.shape(ctx, P[0])
    ctx.rectangle(40, 130, 260, 26)
    st.shape(ctx, P[0])
    ctx.rectangle(52, 170, 236, 14)
    st.shape(ctx, P[2])
    bird(ctx, st, 210, 215, 26, P[2])


def m_hope(ctx, st):           # 06 pastel
    P = st.P
    glow_dot(ctx, CX, 170, 110, (255, 255, 230), 0.8)
    star_path(ctx, CX, 175, 62, 26, 5)
    st.shape(ctx, (255, 236, 170))
    for (x, y, r) in ((70, 100, 9), (270, 120, 7), (100, 240, 6), (250, 250, 8), (60, 190, 5), (290, 60, 5)):
        star_path(ctx, x, y, r, r * 0.45, 5)
        st.shape(ctx, P[2], lw=1.2)
    hills(ctx, st, 380, mix(P[3], P[1], 0.35), [0.8, 1.3, 0.7], 70, st.rng)
    hills(ctx, st, 430, P[3], [1.0, 0.6, 1.2, 0.8], 60, st.rng)


def m_moon_mirror(ctx, st):    # 01 watercolour
    P = st.P
    glow_dot(ctx, CX, 150, 90, P[3], 0.3)
    crescent_path(ctx, CX, 150, 52, 0.4, -0.3)
    st.shape(ctx, P[3])
    ellipse(ctx, CX, 360, 135, 62)
    st.shape(ctx, mix(P[0], P[1], 0.4))
    ctx.save()
    ellipse(ctx, CX, 360, 135, 62)
    ctx.clip()
    ctx.translate(0, 360)
    ctx.scale(1, -0.55)
    crescent_path(ctx, CX, 0 - 40, 52, 0.4, -0.3)
    ctx.restore()
    st.shape(ctx, mix(P[3], P[1], 0.45), line=False)
    for k in range(4):
        ellipse(ctx, CX, 362, 40 + 26 * k, 10 + 8 * k)
        src(ctx, P[2], 0.25)
        ctx.set_line_width(0.8)
        ctx.stroke()


def filigree_arch(ctx, P, top=60, bottom=440):
    ctx.move_to(40, bottom)
    ctx.line_to(40, 200)
    ctx.curve_to(40, 90, 120, top, CX, top)
    ctx.curve_to(220, top, 300, 90, 300, 200)
    ctx.line_to(300, bottom)
    src(ctx, P[1])
    ctx.set_line_width(2.2)
    ctx.stroke()
    ctx.move_to(50, bottom)
    ctx.line_to(50, 200)
    ctx.curve_to(50, 100, 125, top + 10, CX, top + 10)
    ctx.curve_to(215, top + 10, 290, 100, 290, 200)
    ctx.line_to(290, bottom)
    src(ctx, P[1], 0.6)
    ctx.set_line_width(0.9)
    ctx.stroke()
    for sx in (1, -1):
        ctx.save()
        ctx.translate(CX, 0)
        ctx.scale(sx, 1)
        for k in range(4):
            y = 230 + k * 55
            ctx.move_to(-130, y)
            ctx.curve_to(-110, y - 20, -95, y + 5, -105, y + 12)
            ctx.curve_to(-112, y + 16, -118, y + 6, -110, y + 2)
        src(ctx, P[1], 0.85)
        ctx.set_line_width(1.3)
        ctx.stroke()
        ctx.restore()
    eight_star(ctx, CX, top - 14, 9, P[1])


def ring(ctx, st, x, y, r, t, col):
    circle(ctx, x, y, r)
    circle(ctx, x, y, r - t)
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    st.shape(ctx, col)
    ctx.set_fill_rule(cairo.FILL_RULE_WINDING)


def m_promise(ctx, st):        # 07 nouveau
    P = st.P
    filigree_arch(ctx, P)
    glow_dot(ctx, CX, 260, 120, P[1], 0.25)
    ring(ctx, st, CX - 30, 260, 56, 12, P[1])
    ring(ctx, st, CX + 30, 260, 56, 12, mix(P[1], P[2], 0.35))
    # re-draw the part of the first ring that passes in front
    ctx.save()
    ctx.rectangle(CX - 40, 190, 60, 60)
    ctx.clip()
    ring(ctx, st, CX - 30, 260, 56, 12, P[1])
    ctx.restore()
    star_path(ctx, CX + 30, 204, 9, 4, 8)
    st.shape(ctx, P[2])


def star_key(ctx, st, glow_rgb, festive=False):
    P = st.P
    cx = CX
    glow_dot(ctx, cx, 140, 95, glow_rgb, 0.45)
    star_path(ctx, cx, 140, 62, 36, 6, -math.pi / 2)
    st.shape(ctx, P[0])
    star_path(ctx, cx, 140, 26, 15, 6, -math.pi / 2)
    st.shape(ctx, P[1])
    ctx.rectangle(cx - 7, 195, 14, 220)
    st.shape(ctx, P[0])
    for y, ln in ((360, 40), (392, 28)):
        ctx.rectangle(cx + 7, y, ln, 14)
        st.shape(ctx, P[0])
    poly(ctx, [(cx - 14, 410), (cx + 14, 410), (cx, 432)])
    st.shape(ctx, P[1])
    if festive:
        for side in (-1, 1):
            ctx.move_to(cx, 215)
            ctx.curve_to(cx + side * 40, 190, cx + side * 70, 230, cx + side * 46, 250)
            ctx.curve_to(cx + side * 30, 262, cx + side * 20, 240, cx, 222)
            st.shape(ctx, (214, 70, 96), (255, 220, 230))
            ctx.move_to(cx, 222)
            ctx.curve_to(cx + side * 20, 260, cx + side * 30, 290, cx + side * 22, 320)
            src(ctx, (214, 70, 96))
            ctx.set_line_width(5)
            ctx.stroke()
        circle(ctx, cx, 218, 8)
        st.shape(ctx, (236, 96, 120), (255, 220, 230))


def m_star_key(ctx, st):       # 10 frost
    P = st.P
    for (x, y, r) in ((70, 90, 10), (280, 110, 8), (60, 300, 7), (285, 330, 11), (90, 420, 6), (260, 440, 7), (250, 230, 5)):
        twinkle(ctx, x, y, r, P[0], 0.9)
    star_key(ctx, st, P[1])


def m_door(ctx, st):           # 05 mono
    P = st.P
    src(ctx, P[0])
    ctx.set_line_width(0.6)
    # floor lines in perspective
    for k in range(-8, 9):
        ctx.move_to(CX + k * 8, 360)
        ctx.line_to(CX + k * 60, 500)
    ctx.move_to(0, 360.5)
    ctx.line_to(340, 360.5)
    ctx.stroke()
    # the wedge of light
    poly(ctx, [(186, 360), (206, 360), (330, 470), (230, 470)])
    src(ctx, P[3], 0.85)
    ctx.fill()
    # door frame
    ctx.move_to(110, 360)
    ctx.line_to(110, 150)
    ctx.arc(CX + 0, 150, 60, math.pi, 2 * math.pi)
    ctx.line_to(230, 360)
    st.shape(ctx, (30, 30, 30), P[0])
    # the gap: red light
    ctx.move_to(186, 360)
    ctx.line_to(186, 100)
    ctx.arc(CX, 150, 60, -1.3, 0)
    ctx.line_to(230, 360)
    ctx.close_path()
    st.shape(ctx, P[3], P[0])
    # the door leaf standing ajar
    poly(ctx, [(110, 360), (110, 150), (186, 95), (186, 372)])
    st.shape(ctx, P[1], P[0])
    poly(ctx, [(122, 350), (122, 160), (174, 122), (174, 358)])
    st.line(ctx, P[2], 0.6)
    circle(ctx, 176, 250, 3)
    st.shape(ctx, P[0])


def lantern(ctx, st, x, y, P, metal, glass, flame):
    for r in (130, 105, 82, 62):
        circle(ctx, x, y + 40, r)
        src(ctx, flame, 0.12)
        ctx.set_line_width(2)
        ctx.stroke()
    glow_dot(ctx, x, y + 40, 90, flame, 0.35)
    ctx.move_to(x, 20)
    ctx.line_to(x, y - 40)
    src(ctx, metal)
    ctx.set_line_width(2)
    ctx.stroke()
    circle(ctx, x, y - 46, 7)
    st.line(ctx, metal, 2)
    poly(ctx, [(x - 20, y - 30), (x + 20, y - 30), (x + 34, y - 10), (x - 34, y - 10)])
    st.shape(ctx, metal)
    poly(ctx, [(x - 30, y - 10), (x + 30, y - 10), (x + 24, y + 85), (x - 24, y + 85)])
    st.shape(ctx, glass)
    poly(ctx, [(x - 30, y + 85), (x + 30, y + 85), (x + 18, y + 100), (x - 18, y + 100)])
    st.shape(ctx, metal)
    ctx.move_to(x, y + 60)
    ctx.curve_to(x - 14, y + 40, x - 4, y + 25, x, y + 12)
    ctx.curve_to(x + 4, y + 25, x + 14, y + 40, x, y + 60)
    st.shape(ctx, flame, line=False)
    ctx.move_to(x, y + 56)
    ctx.curve_to(x - 6, y + 45, x - 2, y + 38, x, y + 30)
    ctx.curve_to(x + 2, y + 38, x + 6, y + 45, x, y + 56)
    src(ctx, (255, 250, 220))
    ctx.fill()


def m_lamplight(ctx, st):      # 07
    P = st.P
    lantern(ctx, st, CX, 200, P, P[1], mix(P[2], (255, 200, 120), 0.4), (255, 190, 90))
    for sx in (1, -1):
        ctx.save()
        ctx.translate(CX, 0)
        ctx.scale(sx, 1)
        ctx.move_to(-140, 440)
        ctx.curve_to(-140, 380, -90, 400, -100, 350)
        ctx.curve_to(-105, 330, -125, 335, -120, 350)
        src(ctx, P[1])
        ctx.set_line_width(1.5)
        ctx.stroke()
        ctx.restore()


def wing(ctx, st, side, P):
    """A bird's wing raised up and out: feathers hang from the leading edge,
    the longest (primaries) near the tip, short coverts over them."""
    def edge(t):
        # leading edge from the shoulder (22, 235) arching up to the tip (150, 80)
        x = 22 + 128 * t
        y = 235 - 155 * t + 40 * math.sin(math.pi * t)
        return x, y
    rows = ((1.0, P[0], 13), (0.62, P[3], 12), (0.34, P[1], 10))
    ctx.save()
    ctx.translate(CX, 78)
    ctx.scale(side * 0.68, 0.68)
    for scale, col, width in rows:
        n = 9
        for k in range(n):
            t = 0.08 + 0.92 * k / (n - 1)
            x, y = edge(t)
            length = (60 + 120 * t) * scale + 14
            a = math.radians(100 - 70 * t)         # down near the body, outward at the tip
            ctx.save()
            ctx.translate(x, y)
            ctx.rotate(a)
            ctx.move_to(0, -width)
            ctx.curve_to(length * 0.45, -width * 1.2, length * 0.85, -width * 0.7, length, 0)
            ctx.curve_to(length * 0.85, width * 0.7, length * 0.45, width * 1.2, 0, width)
            ctx.close_path()
            ctx.restore()
            st.shape(ctx, col, lw=2.2)
    # the leading edge itself: a solid band
    ctx.move_to(*edge(0))
    for k in range(1, 21):
        ctx.line_to(*edge(k / 20.0))
    for k in range(20, -1, -1):
        x, y = edge(k / 20.0)
        ctx.line_to(x + 4, y + 16 - 6 * k / 20.0)
    ctx.close_path()
    st.shape(ctx, P[0], lw=2.2)
    ctx.restore()


def m_wings(ctx, st):          # 02
    P = st.P
    circle(ctx, CX, 215, 115)
    st.shape(ctx, mix(P[1], P[3], 0.4), line=False)
    wing(ctx, st, 1, P)
    wing(ctx, st, -1, P)
    ellipse(ctx, CX, 250, 12, 34)
    st.shape(ctx, P[2], lw=2)
    st.swirl_cloud(ctx, 80, 430, 16)
    st.swirl_cloud(ctx, 260, 440, 14)


def wave_row(ctx, st, y, amp, col, crest, n=3):
    ctx.move_to(0, 500)
    ctx.line_to(0, y)
    step = 340.0 / n
    for k in range(n):
        x = k * step
        ctx.curve_to(x + step * 0.3, y - amp, x + step * 0.8, y - amp * 1.2, x + step * 0.75, y - amp * 0.4)
        ctx.curve_to(x + step * 0.7, y - amp * 0.05, x + step * 0.85, y + amp * 0.1, x + step, y)
    ctx.line_to(340, 500)
    ctx.close_path()
    st.shape(ctx, col)
    for k in range(n):
        x = k * step
        for j in range(5):
            circle(ctx, x + step * (0.35 + j * 0.09), y - amp * (0.95 + 0.1 * math.sin(j)) - 6, 2.2)
            src(ctx, crest, 0.9)
            ctx.fill()


def m_waves(ctx, st):          # 04
    P = st.P
    circle(ctx, 250, 110, 36)
    st.shape(ctx, mix(P[2], P[3], 0.3))
    wave_row(ctx, st, 250, 50, mix(P[1], P[3], 0.3), P[3])
    wave_row(ctx, st, 340, 55, P[1], P[3])
    wave_row(ctx, st, 430, 55, P[0], P[3])


def m_great_tree(ctx, st):     # 03
    P = st.P
    ctx.rectangle(0, 330, 340, 170)
    st.shape(ctx, mix(P[3], P[2], 0.45))
    for k, (dx, ln) in enumerate(((-90, 120), (-50, 140), (0, 150), (50, 140), (90, 120))):
        ctx.move_to(CX + dx * 0.2, 330)
        ctx.curve_to(CX + dx * 0.5, 370, CX + dx, 380, CX + dx * 1.4, 330 + ln * 0.9)
        ctx.curve_to(CX + dx * 0.9, 390, CX + dx * 0.3, 370, CX + dx * 0.2 + 8, 330)
        st.shape(ctx, P[3])
    poly(ctx, [(CX - 22, 335), (CX - 16, 210), (CX + 16, 210), (CX + 22, 335)])
    st.shape(ctx, P[3])
    for (x, y, r, c) in ((CX, 170, 105, P[0]), (CX - 70, 200, 60, P[0]), (CX + 70, 200, 60, P[0]),
                         (CX - 40, 130, 55, mix(P[0], P[1], 0.4)), (CX + 45, 140, 50, mix(P[0], P[1], 0.5)),
                         (CX, 95, 45, mix(P[0], P[1], 0.6))):
        circle(ctx, x, y, r)
        st.shape(ctx, c)
    for k in range(12):
        st.leaf(ctx, st.rng.uniform(70, 270), st.rng.uniform(90, 240), 6, st.rng.uniform(0, TAU), P[1])


def m_tower(ctx, st):          # 05
    P = st.P
    ctx.move_to(0, 430)
    ctx.curve_to(80, 380, 240, 360, 340, 400)
    st.line(ctx, P[0], 0.8)
    poly(ctx, [(150, 395), (190, 395), (182, 140), (158, 140)])
    st.shape(ctx, P[1], P[0])
    poly(ctx, [(152, 140), (188, 140), (CX, 80)])
    st.shape(ctx, P[0], P[0])
    for y in range(180, 390, 30):
        ctx.move_to(158, y + 0.5)
        ctx.line_to(183, y + 0.5)
    st.line(ctx, P[2], 0.5)
    glow_dot(ctx, CX, 165, 26, P[3], 0.35)
    ctx.rectangle(CX - 4, 156, 8, 16)
    st.shape(ctx, P[3], P[0])
    ctx.move_to(CX, 80)
    ctx.line_to(CX, 60)
    st.line(ctx, P[0], 0.8)


def m_hearts_voice(ctx, st):   # 06
    P = st.P
    glow_dot(ctx, CX, 250, 120, (255, 255, 255), 0.6)
    heart_path(ctx, CX, 250, 62)
    st.shape(ctx, P[0])
    heart_path(ctx, CX - 18, 228, 14)
    src(ctx, (255, 255, 255), 0.6)
    ctx.fill()
    for side in (-1, 1):
        for k in range(3):
            r = 90 + k * 28
            ctx.arc(CX, 250, r, -0.5 if side > 0 else math.pi - 0.5, 0.5 if side > 0 else math.pi + 0.5)
            ctx.new_sub_path()
            st.line(ctx, P[3] if k % 2 == 0 else P[1], 3)


def almond_eye(ctx, st, x, y, w, h, P):
    ctx.move_to(x - w, y)
    ctx.curve_to(x - w * 0.4, y - h, x + w * 0.4, y - h, x + w, y)
    ctx.curve_to(x + w * 0.4, y + h, x - w * 0.4, y + h, x - w, y)
    ctx.close_path()


def m_gaze(ctx, st):           # 13 neon
    P = st.P
    almond_eye(ctx, st, CX, 240, 140, 105, P)
    st.shape(ctx, None, P[1], lw=2.4)
    for k, r in enumerate((62, 48, 36, 24)):
        circle(ctx, CX, 240, r)
        st.shape(ctx, None, P[1] if k % 2 == 0 else P[3], lw=1.6)
    circle(ctx, CX, 240, 14)
    st.shape(ctx, P[0], P[2], lw=2)
    circle(ctx, CX + 16, 224, 5)
    src(ctx, P[3])
    ctx.fill()
    for k in range(12):
        a = k * TAU / 12
        ctx.move_to(CX + 70 * math.cos(a), 240 + 70 * math.sin(a))
        ctx.line_to(CX + 78 * math.cos(a), 240 + 78 * math.sin(a))
    st.line(ctx, P[1], 1)
    for k in range(-3, 4):
        ctx.move_to(CX + k * 38, 130 - abs(k) * 6)
        ctx.line_to(CX + k * 44, 102 - abs(k) * 8)
    st.line(ctx, P[2], 1.6)


def m_whirl(ctx, st):          # 12 wisteria
    P = st.P
    spiral(ctx, CX, 250, 4, 150, 3.1, 0.0, 1, 300)
    st.line(ctx, mix(P[0], (40, 20, 60), 0.3), 5)
    spiral(ctx, CX, 250, 10, 140, 3.0, 0.5, 1, 300)
    st.line(ctx, P[1], 1.2)
    rng = st.rng
    for k in range(14):
        t = 0.15 + k * 0.06
        a = t * 3.1 * TAU
        r = 4 + 146 * t
        x, y = CX + r * math.cos(a), 250 + r * math.sin(a)
        if k % 2:
            for j in range(5):
                aa = j * TAU / 5 + a
                ellipse(ctx, x + 5 * math.cos(aa), y + 5 * math.sin(aa), 4, 4)
            st.shape(ctx, P[1], P[0], lw=0.8)
            circle(ctx, x, y, 2.2)
            src(ctx, P[3])
            ctx.fill()
        else:
            spiral(ctx, x, y, 1, 10, 1.3, rng.uniform(0, TAU))
            st.line(ctx, P[2], 1)


def m_rainbow(ctx, st):        # 12
    P = st.P
    cols = [(214, 120, 160), (232, 170, 120), (232, 214, 130), (140, 190, 140), (130, 170, 220), P[0]]
    for k, c in enumerate(cols):
        r = 140 - k * 14
        ctx.arc(CX, 330, r, math.pi, TAU)
        ctx.arc_negative(CX, 330, r - 14, TAU, math.pi)
        ctx.close_path()
        st.shape(ctx, c, line=False)
    for k in range(7):
        ctx.arc(CX, 330, 140 - k * 14, math.pi, TAU)
        ctx.new_sub_path()
    st.line(ctx, P[0], 0.7)
    for x in (CX - 128, CX + 128):
        for dx, dy, r in ((-18, 0, 18), (0, -12, 24), (20, 0, 18), (0, 6, 20)):
            circle(ctx, x + dx, 334 + dy, r)
        st.shape(ctx, (255, 255, 255), P[0], lw=0.8)
    for k in range(4):
        spiral(ctx, 60 + k * 75, 420, 1, 12, 1.4, k)
        st.line(ctx, P[2], 1)


def m_seed(ctx, st):           # 03
    P = st.P
    ctx.rectangle(0, 280, 340, 220)
    st.shape(ctx, P[3])
    for k in range(40):
        circle(ctx, st.rng.uniform(10, 330), st.rng.uniform(295, 470), st.rng.uniform(2, 5))
        src(ctx, mix(P[3], (0, 0, 0), 0.25), 0.6)
        ctx.fill()
    ellipse(ctx, CX, 380, 26, 18)
    st.shape(ctx, mix(P[3], P[2], 0.5))
    ctx.move_to(CX, 370)
    ctx.curve_to(CX - 6, 330, CX + 8, 300, CX, 210)
    src(ctx, P[0])
    ctx.set_line_width(6)
    ctx.stroke()
    for side in (-1, 1):
        ctx.move_to(CX, 215)
        ctx.curve_to(CX + side * 20, 170, CX + side * 70, 170, CX + side * 85, 190)
        ctx.curve_to(CX + side * 60, 225, CX + side * 20, 230, CX, 215)
        st.shape(ctx, P[1])
    for x in (CX - 12, CX + 8, CX + 18):
        ctx.move_to(CX, 390)
        ctx.curve_to(x, 410, x * 1.0 + (x - CX), 430, x + (x - CX) * 2, 450)
    src(ctx, mix(P[2], P[3], 0.3))
    ctx.set_line_width(2)
    ctx.stroke()
    circle(ctx, 270, 90, 34)
    st.shape(ctx, (244, 210, 120))


def m_hourglass(ctx, st):      # 17 sepia
    P = st.P
    for y in (95, 395):
        rounded_rect(ctx, 80, y, 180, 20, 4)
        st.shape(ctx, P[1])
    for x in (92, 236):
        ctx.rectangle(x, 115, 12, 280)
        st.shape(ctx, P[1])
    ctx.move_to(112, 118)
    ctx.curve_to(112, 200, 164, 220, 164, 255)
    ctx.curve_to(164, 290, 112, 310, 112, 392)
    ctx.line_to(228, 392)
    ctx.curve_to(228, 310, 176, 290, 176, 255)
    ctx.curve_to(176, 220, 228, 200, 228, 118)
    ctx.close_path()
    st.shape(ctx, mix(P[2], (255, 255, 255), 0.4))
    ctx.move_to(132, 190)
    ctx.curve_to(150, 225, 164, 235, CX, 250)
    ctx.curve_to(176, 235, 190, 225, 208, 190)
    ctx.close_path()
    st.shape(ctx, (200, 160, 90))
    ctx.move_to(118, 392)
    ctx.curve_to(130, 340, 150, 330, CX, 322)
    ctx.curve_to(190, 330, 210, 340, 222, 392)
    ctx.close_path()
    st.shape(ctx, (200, 160, 90))
    ctx.move_to(CX, 250)
    ctx.line_to(CX, 322)
    src(ctx, (170, 130, 70))
    ctx.set_line_width(1.5)
    ctx.stroke()


def m_dawn(ctx, st):           # 11 desert
    P = st.P
    for k in range(6):
        r = 250 - k * 32
        ctx.arc(CX, 330, r, math.pi, TAU)
        ctx.close_path()
        src(ctx, mix(P[1], P[0], k / 6.0 * 0.8), 1)
        ctx.fill()
    circle(ctx, CX, 330, 80)
    st.shape(ctx, P[0])
    for k in range(3):
        ctx.rectangle(0, 330 + k * 40, 340, 40)
        src(ctx, mix(P[2], P[1], 0.25 + k * 0.25))
        ctx.fill()
    ctx.move_to(0, 330)
    ctx.line_to(340, 330)
    st.line(ctx, P[2], 3)


def m_rain_shelter(ctx, st):   # 16 crayon
    P = st.P
    rng = st.rng
    for k in range(34):
        x, y = rng.uniform(20, 320), rng.uniform(30, 300)
        ctx.move_to(x, y)
        ctx.line_to(x - 3, y + 12)
        st.line(ctx, P[2], 2.5)
    ctx.move_to(40, 220)
    ctx.curve_to(60, 110, 280, 110, 300, 220)
    for k in range(4):
        x0 = 300 - k * 65
        ctx.curve_to(x0 - 15, 200, x0 - 50, 200, x0 - 65, 220)
    ctx.close_path()
    st.shape(ctx, P[1])
    ctx.move_to(CX, 140)
    ctx.line_to(CX, 380)
    ctx.curve_to(CX, 400, CX - 24, 400, CX - 24, 380)
    st.line(ctx, (90, 70, 60), 4)
    ctx.rectangle(0, 390, 340, 110)
    st.shape(ctx, P[3])
    ellipse(ctx, CX + 45, 360, 30, 22)
    st.shape(ctx, P[3])
    for dx in (-14, 14):
        circle(ctx, CX + 45 + dx, 338, 9)
        st.shape(ctx, (255, 255, 255))
        circle(ctx, CX + 45 + dx, 338, 3)
        src(ctx, (40, 40, 40))
        ctx.fill()
    ctx.arc(CX + 45, 362, 12, 0.3, math.pi - 0.3)
    st.line(ctx, (60, 50, 60), 2)


def m_constellation(ctx, st):  # 10
    P = st.P
    pts = [(70, 120), (120, 170), (175, 160), (215, 210), (280, 190), (255, 300), (200, 340)]
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    ctx.line_to(*pts[3])
    st.line(ctx, P[1], 1.1, 0.9)
    for i, (x, y) in enumerate(pts):
        glow_dot(ctx, x, y, 18, P[1], 0.6)
        twinkle(ctx, x, y, 11 if i % 3 == 0 else 8, P[0])
    for k in range(60):
        circle(ctx, st.rng.uniform(20, 320), st.rng.uniform(20, 460), st.rng.uniform(0.5, 1.3))
        src(ctx, P[0], st.rng.uniform(0.3, 0.8))
        ctx.fill()
    for k in range(3):
        x = 60 + k * 110
        star_path(ctx, x, 420, 14, 3, 6)
        st.shape(ctx, P[0], P[1], lw=0.8)


def m_compass(ctx, st):        # 17
    P = st.P
    circle(ctx, CX, 250, 120)
    st.shape(ctx, mix(P[2], P[1], 0.3))
    circle(ctx, CX, 250, 104)
    st.shape(ctx, P[2])
    for k in range(72):
        a = k * TAU / 72
        r0 = 94 if k % 9 == 0 else 99
        ctx.move_to(CX + r0 * math.sin(a), 250 - r0 * math.cos(a))
        ctx.line_to(CX + 104 * math.sin(a), 250 - 104 * math.cos(a))
    st.line(ctx, P[0], 0.8)
    star_path(ctx, CX, 250, 80, 14, 8, -math.pi / 2)
    st.shape(ctx, P[1])
    star_path(ctx, CX, 250, 50, 10, 4, -math.pi / 4)
    st.shape(ctx, mix(P[2], P[3], 0.4))
    poly(ctx, [(CX, 160), (CX + 10, 250), (CX, 262), (CX - 10, 250)])
    st.shape(ctx, (150, 50, 40), P[0])
    poly(ctx, [(CX, 340), (CX + 10, 250), (CX, 238), (CX - 10, 250)])
    st.shape(ctx, P[2], P[0])
    circle(ctx, CX, 250, 6)
    st.shape(ctx, P[0])
    text_centered(ctx, "N", CX, 118, 16, SERIF_LATIN, True, P[0])


def boat(ctx, st, x, y, s, hull, sail):
    poly(ctx, [(x - 60 * s, y), (x + 60 * s, y), (x + 42 * s, y + 24 * s), (x - 42 * s, y + 24 * s)])
    st.shape(ctx, hull)
    poly(ctx, [(x, y - 2), (x, y - 120 * s), (x + 50 * s, y - 10 * s)])
    st.shape(ctx, sail)
    poly(ctx, [(x - 4 * s, y - 6), (x - 4 * s, y - 90 * s), (x - 40 * s, y - 8 * s)])
    st.shape(ctx, mix(sail, hull, 0.3))


def m_little_boat(ctx, st):    # 01
    P = st.P
    glow_dot(ctx, 250, 110, 60, P[3], 0.3)
    crescent_path(ctx, 250, 110, 30, 0.4, -0.4)
    st.shape(ctx, P[3])
    ctx.rectangle(0, 320, 340, 180)
    st.shape(ctx, mix(P[0], P[1], 0.5), line=False)
    boat(ctx, st, CX - 20, 318, 1.0, mix(P[0], (120, 90, 70), 0.5), P[2])
    for k in range(6):
        ctx.move_to(60 + k * 8, 350 + k * 18)
        ctx.line_to(220 - k * 6, 350 + k * 18)
        src(ctx, P[2], 0.35 - k * 0.04)
        ctx.set_line_width(1)
        ctx.stroke()
    ellipse(ctx, 250, 380, 18, 5)
    src(ctx, P[3], 0.4)
    ctx.fill()


def m_bouquet(ctx, st):        # 12
    P = st.P
    for k in range(7):
        ctx.move_to(CX + (k - 3) * 4, 390)
        ctx.curve_to(CX + (k - 3) * 8, 330, CX + (k - 3) * 24, 260, CX + (k - 3) * 30, 210)
    st.line(ctx, P[2], 2)
    cols = [P[0], P[1], (236, 180, 200), P[0], (250, 240, 250), P[1], (236, 180, 200)]
    for k, (x, y, r) in enumerate(((CX, 190, 34), (CX - 60, 215, 28), (CX + 60, 215, 28), (CX - 30, 150, 26),
                                   (CX + 32, 150, 26), (CX - 88, 170, 20), (CX + 88, 170, 20))):
        for j in range(8):
            a = j * TAU / 8
            circle(ctx, x + r * 0.55 * math.cos(a), y + r * 0.55 * math.sin(a), r * 0.45)
        st.shape(ctx, cols[k], P[0], lw=0.8)
        circle(ctx, x, y, r * 0.3)
        st.shape(ctx, (244, 220, 140), P[0], lw=0.6)
    for side in (-1, 1):
        ctx.move_to(CX, 330)
        ctx.curve_to(CX + side * 30, 300, CX + side * 60, 320, CX + side * 40, 345)
        ctx.curve_to(CX + side * 25, 350, CX + side * 10, 338, CX, 330)
        st.shape(ctx, P[0])
        ctx.move_to(CX, 334)
        ctx.curve_to(CX + side * 20, 370, CX + side * 30, 400, CX + side * 50, 420)
        st.line(ctx, P[0], 3)
    circle(ctx, CX, 332, 7)
    st.shape(ctx, P[0])


def snowflake(ctx, st, x, y, r, col, lw=2.0):
    for k in range(6):
        a = k * TAU / 6
        ca, sa = math.cos(a), math.sin(a)
        ctx.move_to(x, y)
        ctx.line_to(x + r * ca, y + r * sa)
        for t, b in ((0.35, 0.28), (0.6, 0.22), (0.82, 0.14)):
            px, py = x + r * t * ca, y + r * t * sa
            for s in (-1, 1):
                aa = a + s * 0.9
                ctx.move_to(px, py)
                ctx.line_to(px + r * b * math.cos(aa), py + r * b * math.sin(aa))
    src(ctx, col)
    ctx.set_line_width(lw)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.stroke()


def m_snowflake(ctx, st):      # 10
    P = st.P
    glow_dot(ctx, CX, 245, 150, P[1], 0.35)
    star_path(ctx, CX, 245, 30, 16, 6, 0)
    st.shape(ctx, P[1], P[0])
    snowflake(ctx, st, CX, 245, 135, P[0], 3.2)
    snowflake(ctx, st, CX, 245, 135, (255, 255, 255), 1.0)
    for (x, y) in ((55, 70), (290, 420), (60, 420), (285, 75)):
        snowflake(ctx, st, x, y, 14, P[1], 1.0)


def m_summit(ctx, st):         # 11
    P = st.P
    for k in range(4):
        circle(ctx, 230, 170, 90 - k * 20)
        src(ctx, mix(P[1], P[0], 0.2 + 0.25 * k))
        ctx.fill()
    poly(ctx, [(CX, 110), (330, 420), (10, 420)])
    st.shape(ctx, P[2])
    poly(ctx, [(CX, 110), (200, 170), (180, 160), (165, 180), (148, 165), (140, 168)])
    st.shape(ctx, P[1])
    ctx.move_to(CX, 110)
    ctx.line_to(CX, 60)
    st.line(ctx, P[2], 2.5)
    poly(ctx, [(CX, 60), (CX + 34, 70), (CX, 82)])
    st.shape(ctx, P[0])
    for k in range(3):
        ctx.rectangle(0, 420 + k * 18, 340, 18)
        src(ctx, mix(P[0], P[1], 0.3 + 0.3 * k))
        ctx.fill()


def butterfly(ctx, st, x, y, s, c1, c2, dark):
    for side in (-1, 1):
        ellipse(ctx, x + side * 42 * s, y - 30 * s, 48 * s, 44 * s)
        st.shape(ctx, c1)
        ellipse(ctx, x + side * 34 * s, y + 36 * s, 32 * s, 30 * s)
        st.shape(ctx, c2)
        circle(ctx, x + side * 48 * s, y - 36 * s, 16 * s)
        st.shape(ctx, c2)
        circle(ctx, x + side * 36 * s, y + 40 * s, 9 * s)
        st.shape(ctx, c1)
        ctx.move_to(x, y - 50 * s)
        ctx.curve_to(x + side * 8 * s, y - 80 * s, x + side * 20 * s, y - 90 * s, x + side * 28 * s, y - 88 * s)
        src(ctx, dark)
        ctx.set_line_width(2.5 * s)
        ctx.stroke()
    ellipse(ctx, x, y, 8 * s, 50 * s)
    st.shape(ctx, dark)


def m_butterfly(ctx, st):      # 03
    P = st.P
    for side in (-1, 1):
        ctx.save()
        ctx.translate(CX + side * 60, 370)
        ctx.rotate(side * 0.6)
        ctx.move_to(0, -60)
        ctx.curve_to(50, -30, 40, 40, 0, 60)
        ctx.curve_to(-40, 40, -50, -30, 0, -60)
        ctx.restore()
        st.shape(ctx, P[0] if side < 0 else P[1])
    butterfly(ctx, st, CX, 220, 1.1, (236, 160, 80), mix(P[1], P[2], 0.3), P[3])


def envelope(ctx, st, x, y, w, h, paper, ink):
    ctx.rectangle(x - w / 2, y - h / 2, w, h)
    st.shape(ctx, paper)
    poly(ctx, [(x - w / 2, y - h / 2), (x, y + h * 0.12), (x + w / 2, y - h / 2)], close=False)
    st.line(ctx, ink, 2.5)
    poly(ctx, [(x - w / 2, y + h / 2), (x - w * 0.1, y), ], close=False)
    poly(ctx, [(x + w / 2, y + h / 2), (x + w * 0.1, y)], close=False)
    st.line(ctx, ink, 2)


def m_letter(ctx, st):         # 16
    P = st.P
    envelope(ctx, st, CX, 300, 240, 160, (255, 250, 240), (90, 70, 70))
    heart_path(ctx, CX, 325, 24)
    st.shape(ctx, P[1])
    for (x, y, r, c) in ((110, 160, 14, P[0]), (180, 120, 18, P[0]), (250, 170, 12, P[2]), (215, 80, 10, P[1]), (90, 95, 9, P[2])):
        star_path(ctx, x, y, r, r * 0.45, 5)
        st.shape(ctx, c)
    for k in range(3):
        ctx.move_to(CX - 20 + k * 20, 215)
        ctx.line_to(CX - 40 + k * 40, 180)
        st.line(ctx, P[0], 2)


def m_bell(ctx, st):           # 02
    P = st.P
    ctx.rectangle(20, 70, 300, 24)
    st.shape(ctx, mix(P[2], P[3], 0.25))
    for side in (-1, 1):
        for k in range(3):
            r = 118 + k * 24
            if side > 0:
                ctx.arc(CX + 12, 240, r, -0.55, 0.35)
            else:
                ctx.arc(CX + 12, 240, r, math.pi - 0.35, math.pi + 0.55)
            ctx.new_sub_path()
        st.line(ctx, P[0], 3.2)
    ctx.save()
    ctx.translate(CX, 94)
    ctx.rotate(-0.12)           # the bell is still swinging
    ctx.rectangle(-7, 0, 14, 30)
    st.shape(ctx, P[2])
    ctx.move_to(-62, 300)
    ctx.line_to(-58, 90)
    ctx.curve_to(-58, 40, -40, 28, 0, 28)
    ctx.curve_to(40, 28, 58, 40, 58, 90)
    ctx.line_to(62, 300)
    ctx.curve_to(40, 308, -40, 308, -62, 300)
    ctx.close_path()
    st.shape(ctx, P[3])
    for y in (70, 170, 250):
        ctx.rectangle(-60, y, 120, 7)
        st.shape(ctx, P[2], line=False)
    for row in range(3):
        for col in range(5):
            circle(ctx, -36 + col * 18, 92 + row * 20, 5)
            st.shape(ctx, mix(P[3], P[2], 0.35), lw=1.6)
    ctx.rectangle(-7, 180, 14, 68)
    st.shape(ctx, mix(P[3], P[1], 0.4), lw=1.6)
    circle(ctx, 0, 214, 15)
    st.shape(ctx, P[0])
    ctx.restore()
    st.swirl_cloud(ctx, 70, 440, 16)
    st.swirl_cloud(ctx, 270, 430, 14)


def m_lighthouse(ctx, st):     # 04
    P = st.P
    for side in (-1, 1):
        poly(ctx, [(CX, 140), (CX + side * 340, 80), (CX + side * 340, 210)])
        src(ctx, (255, 250, 200), 0.45)
        ctx.fill()
    wave_row(ctx, st, 400, 26, P[1], P[3], 4)
    ctx.move_to(90, 420)
    ctx.curve_to(100, 360, 240, 350, 260, 420)
    ctx.close_path()
    st.shape(ctx, mix(P[0], (80, 70, 60), 0.6))
    poly(ctx, [(142, 370), (198, 370), (188, 160), (152, 160)])
    st.shape(ctx, P[3])
    for k in range(4):
        y0 = 170 + k * 52
        t0 = (y0 - 160) / 210.0
        t1 = (y0 + 26 - 160) / 210.0
        poly(ctx, [(152 - 10 * t0, y0), (188 + 10 * t0, y0), (188 + 10 * t1, y0 + 26), (152 - 10 * t1, y0 + 26)])
        st.shape(ctx, P[2], P[0], lw=1.2)
    ctx.rectangle(150, 125, 40, 36)
    st.shape(ctx, (255, 240, 180))
    poly(ctx, [(142, 126), (198, 126), (CX, 96)])
    st.shape(ctx, P[2])
    glow_dot(ctx, CX, 142, 30, (255, 250, 200), 0.7)


def m_windmill(ctx, st):       # 16
    P = st.P
    circle(ctx, 70, 90, 34)
    st.shape(ctx, P[0], (230, 150, 40))
    for k in range(10):
        a = k * TAU / 10
        ctx.move_to(70 + 42 * math.cos(a), 90 + 42 * math.sin(a))
        ctx.line_to(70 + 56 * math.cos(a), 90 + 56 * math.sin(a))
        st.line(ctx, (230, 150, 40), 3)
    for dx in (-10, 10):
        circle(ctx, 70 + dx, 84, 3)
        src(ctx, (80, 60, 40))
        ctx.fill()
    ctx.arc(70, 94, 12, 0.3, math.pi - 0.3)
    st.line(ctx, (80, 60, 40), 2)
    ctx.move_to(0, 400)
    ctx.curve_to(100, 320, 240, 320, 340, 380)
    ctx.line_to(340, 500)
    ctx.line_to(0, 500)
    ctx.close_path()
    st.shape(ctx, P[3])
    poly(ctx, [(200, 345), (260, 345), (250, 230), (210, 230)])
    st.shape(ctx, (255, 255, 255))
    poly(ctx, [(204, 232), (256, 232), (230, 200)])
    st.shape(ctx, P[1])
    for k in range(4):
        a = 0.4 + k * TAU / 4
        ctx.save()
        ctx.translate(230, 235)
        ctx.rotate(a)
        ctx.rectangle(6, -10, 80, 20)
        ctx.restore()
        st.shape(ctx, (255, 245, 220))
    circle(ctx, 230, 235, 7)
    st.shape(ctx, P[1])
    ctx.rectangle(222, 310, 16, 35)
    st.shape(ctx, P[2])


def m_spring(ctx, st):         # 04
    P = st.P
    for k in range(4):
        ellipse(ctx, CX, 400, 60 + k * 28, 14 + k * 7)
        st.line(ctx, P[0], 1.6, 0.7 - k * 0.12)
    ellipse(ctx, CX, 330, 120, 30)
    st.shape(ctx, P[3])
    ctx.move_to(50, 330)
    ctx.curve_to(60, 390, 280, 390, 290, 330)
    st.shape(ctx, P[2])
    ellipse(ctx, CX, 330, 100, 20)
    st.shape(ctx, P[1])
    for side in (-1, 1):
        ctx.move_to(CX, 330)
        ctx.curve_to(CX, 150, CX + side * 90, 120, CX + side * 100, 310)
        st.line(ctx, P[0], 4)
        ctx.move_to(CX, 330)
        ctx.curve_to(CX, 150, CX + side * 90, 120, CX + side * 100, 310)
        st.line(ctx, P[3], 1.6)
    for k in range(12):
        circle(ctx, CX + st.rng.uniform(-110, 110), st.rng.uniform(150, 300), st.rng.uniform(2, 5))
        st.line(ctx, P[3], 1.2)


def m_crown(ctx, st):          # 07
    P = st.P
    filigree_arch(ctx, P, 70, 440)
    glow_dot(ctx, CX, 250, 120, P[1], 0.25)
    pts = [(70, 320), (70, 200), (108, 260), (138, 175), (CX, 245), (202, 175), (232, 260), (270, 200), (270, 320)]
    poly(ctx, pts)
    st.shape(ctx, P[1])
    ctx.rectangle(66, 300, 208, 28)
    st.shape(ctx, mix(P[1], P[2], 0.3))
    for (x, y) in ((70, 195), (138, 170), (CX, 150), (202, 170), (270, 195)):
        circle(ctx, x, y, 10)
        st.shape(ctx, (196, 60, 80) if x != CX else P[2])
    ctx.move_to(CX, 245)
    ctx.line_to(CX, 160)
    st.line(ctx, P[1], 3)
    for x in (100, 135, CX, 205, 240):
        circle(ctx, x, 314, 5)
        st.shape(ctx, P[0])


def m_balance(ctx, st):        # 11
    P = st.P
    circle(ctx, CX, 130, 60)
    src(ctx, mix(P[1], P[0], 0.4))
    ctx.fill()
    ctx.rectangle(CX - 6, 110, 12, 270)
    st.shape(ctx, P[2])
    poly(ctx, [(CX - 60, 400), (CX + 60, 400), (CX + 30, 370), (CX - 30, 370)])
    st.shape(ctx, P[2])
    ctx.rectangle(50, 150, 240, 10)
    st.shape(ctx, P[2])
    for x in (70, 270):
        ctx.move_to(x, 155)
        ctx.line_to(x - 40, 270)
        ctx.move_to(x, 155)
        ctx.line_to(x + 40, 270)
        st.line(ctx, P[2], 1.6)
        ctx.move_to(x - 50, 270)
        ctx.curve_to(x - 40, 310, x + 40, 310, x + 50, 270)
        ctx.close_path()
        st.shape(ctx, P[0])
    circle(ctx, CX, 105, 12)
    st.shape(ctx, P[0])


def m_maze(ctx, st):           # 05
    P = st.P
    rng = random.Random(34)
    n, cell, ox, oy = 9, 28, CX - 9 * 28 / 2.0, 240 - 9 * 28 / 2.0
    walls = {(x, y, d) for x in range(n) for y in range(n) for d in (0, 1)}
    seen = {(0, 0)}
    stack = [(0, 0)]
    while stack:
        x, y = stack[-1]
        nb = [(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
              if 0 <= x + dx < n and 0 <= y + dy < n and (x + dx, y + dy) not in seen]
        if not nb:
            stack.pop()
            continue
        nx, ny = rng.choice(nb)
        if nx != x:
            walls.discard((min(x, nx), y, 0))
        else:
            walls.discard((x, min(y, ny), 1))
        seen.add((nx, ny))
        stack.append((nx, ny))
    ctx.rectangle(ox, oy, n * cell, n * cell)
    for (x, y, d) in walls:
        if d == 0 and x < n - 1:
            ctx.move_to(ox + (x + 1) * cell, oy + y * cell)
            ctx.line_to(ox + (x + 1) * cell, oy + (y + 1) * cell)
        if d == 1 and y < n - 1:
            ctx.move_to(ox + x * cell, oy + (y + 1) * cell)
            ctx.line_to(ox + (x + 1) * cell, oy + (y + 1) * cell)
    src(ctx, P[0])
    ctx.set_line_width(2)
    ctx.set_line_cap(cairo.LINE_CAP_SQUARE)
    ctx.stroke()
    circle(ctx, ox + 4.5 * cell, oy + 4.5 * cell, 7)
    st.shape(ctx, P[3], P[0])


def m_full_moon(ctx, st):      # 01
    P = st.P
    for k in range(4):
        circle(ctx, CX, 200, 90 + k * 22)
        src(ctx, P[2], 0.25 - k * 0.05)
        ctx.set_line_width(1.2)
        ctx.stroke()
    glow_dot(ctx, CX, 200, 150, P[3], 0.35)
    circle(ctx, CX, 200, 80)
    st.shape(ctx, P[3])
    for (x, y, r) in ((-20, -15, 14), (25, 20, 10), (10, -35, 7), (-30, 30, 9)):
        circle(ctx, CX + x, 200 + y, r)
        src(ctx, mix(P[3], P[1], 0.25), 0.5)
        ctx.fill()
    hills(ctx, st, 400, mix(P[0], P[1], 0.3), [0.6, 1.1, 0.8, 1.3], 50, st.rng)
    hills(ctx, st, 440, P[0], [1.0, 0.5, 0.9], 40, st.rng)


def m_shooting_star(ctx, st):  # 06
    P = st.P
    for k in range(26):
        t = k / 26.0
        x = 70 + 190 * t
        y = 380 - 260 * t
        circle(ctx, x, y, 2.5 + 7 * t)
        src(ctx, mix(P[3], (255, 230, 160), t), 0.45 + 0.55 * t)
        ctx.fill()
    glow_dot(ctx, 262, 118, 50, (255, 255, 220), 0.7)
    star_path(ctx, 262, 118, 30, 13, 5)
    st.shape(ctx, (255, 236, 170))
    hills(ctx, st, 450, mix(P[3], P[1], 0.4), [0.7, 1.0, 0.6], 40, st.rng)


def quill(ctx, st, P):
    ctx.save()
    ctx.translate(200, 230)
    ctx.rotate(0.45)
    ctx.move_to(0, 150)
    ctx.curve_to(-30, 60, -40, -60, 0, -170)
    ctx.curve_to(30, -60, 24, 60, 0, 150)
    ctx.close_path()
    ctx.restore()
    st.shape(ctx, mix(P[2], (255, 255, 255), 0.5))
    ctx.save()
    ctx.translate(200, 230)
    ctx.rotate(0.45)
    for k in range(14):
        y = -150 + k * 20
        ctx.move_to(0, y + 10)
        ctx.line_to(-24 + abs(k - 7) * 2, y)
        ctx.move_to(0, y + 10)
        ctx.line_to(22 - abs(k - 7) * 2, y)
    ctx.move_to(0, -160)
    ctx.line_to(0, 190)
    ctx.restore()
    st.line(ctx, P[0], 0.9)


def m_quill(ctx, st):          # 17
    P = st.P
    ctx.move_to(120, 420)
    ctx.curve_to(160, 460, 260, 440, 290, 420)
    ctx.curve_to(300, 400, 260, 380, 240, 396)
    st.line(ctx, P[0], 2.4)
    ctx.move_to(60, 330)
    ctx.line_to(60, 420)
    ctx.curve_to(60, 440, 140, 440, 140, 420)
    ctx.line_to(140, 330)
    ctx.close_path()
    st.shape(ctx, mix(P[0], P[1], 0.3))
    ellipse(ctx, 100, 330, 40, 10)
    st.shape(ctx, P[0])
    quill(ctx, st, P)


def m_red_thread(ctx, st):     # 06
    P = st.P
    heart_path(ctx, 70, 90, 30)
    st.shape(ctx, P[0])
    heart_path(ctx, 270, 410, 30)
    st.shape(ctx, P[0])
    ctx.move_to(78, 120)
    ctx.curve_to(300, 120, 10, 260, 200, 250)
    ctx.curve_to(330, 240, 20, 390, 262, 380)
    src(ctx, (210, 40, 70))
    ctx.set_line_width(3)
    ctx.stroke()
    for (x, y) in ((240, 110), (90, 300), (280, 300), (150, 420)):
        star_path(ctx, x, y, 7, 3, 5)
        st.shape(ctx, P[2], lw=1.2)


def gear(ctx, x, y, r, teeth, a0):
    for k in range(teeth * 2):
        a1 = a0 + k * math.pi / teeth
        a2 = a0 + (k + 1) * math.pi / teeth
        rr = r if k % 2 == 0 else r * 0.82
        if k == 0:
            ctx.move_to(x + rr * math.cos(a1), y + rr * math.sin(a1))
        ctx.arc(x, y, rr, a1, a2)
    ctx.close_path()
    ctx.new_sub_path()
    ctx.arc_negative(x, y, r * 0.3, TAU, 0)


def m_gears(ctx, st):          # 17
    P = st.P
    for (x, y, r, t, a, c) in ((130, 250, 90, 14, 0.1, P[1]), (248, 158, 56, 9, 0.3, P[3]), (245, 345, 48, 8, 0.0, mix(P[1], P[2], 0.4))):
        gear(ctx, x, y, r, t, a)
        st.shape(ctx, c)
        circle(ctx, x, y, r * 0.55)
        st.line(ctx, P[0], 1)


def m_seashell(ctx, st):       # 04
    P = st.P
    ctx.rectangle(0, 340, 340, 160)
    st.shape(ctx, mix(P[3], (230, 200, 150), 0.5), False)
    ctx.move_to(CX, 330)
    for k in range(9):
        a0 = math.pi + 0.25 + k * (math.pi - 0.5) / 9
        a1 = math.pi + 0.25 + (k + 1) * (math.pi - 0.5) / 9
        am = (a0 + a1) / 2
        ctx.line_to(CX + 130 * math.cos(a0), 300 + 130 * math.sin(a0))
        ctx.curve_to(CX + 150 * math.cos(am), 300 + 150 * math.sin(am), CX + 150 * math.cos(am), 300 + 150 * math.sin(am),
                     CX + 130 * math.cos(a1), 300 + 130 * math.sin(a1))
    ctx.close_path()
    st.shape(ctx, P[2])
    for k in range(10):
        a = math.pi + 0.25 + k * (math.pi - 0.5) / 9
        ctx.move_to(CX, 330)
        ctx.line_to(CX + 136 * math.cos(a), 300 + 136 * math.sin(a))
    st.line(ctx, P[0], 1.6)
    poly(ctx, [(CX - 26, 330), (CX + 26, 330), (CX + 14, 352), (CX - 14, 352)])
    st.shape(ctx, P[2])
    glow_dot(ctx, 270, 390, 28, (255, 255, 255), 0.6)
    circle(ctx, 270, 390, 16)
    st.shape(ctx, (250, 246, 240))


def m_stairs(ctx, st):         # 05
    P = st.P
    vx, vy = CX, 90
    glow_dot(ctx, vx, vy + 14, 40, P[3], 0.4)
    ctx.rectangle(vx - 12, vy - 6, 24, 36)
    st.shape(ctx, P[3], P[0])
    n = 14
    for k in range(n + 1):
        t = (k / float(n)) ** 1.6
        y = 440 - (440 - vy - 30) * (1 - (1 - t))
        y = 440 - t * (440 - vy - 30)
        half = 120 * (1 - t) + 12 * t
        ctx.move_to(vx - half, y + 0.5)
        ctx.line_to(vx + half, y + 0.5)
    ctx.move_to(vx - 120, 440)
    ctx.line_to(vx - 12, vy + 30)
    ctx.move_to(vx + 120, 440)
    ctx.line_to(vx + 12, vy + 30)
    st.line(ctx, P[0], 0.9)
    for x in (vx - 120, vx + 120):
        ctx.move_to(x, 440)
        ctx.line_to(x, 470)
    st.line(ctx, P[2], 0.6)


def m_black_cat(ctx, st):      # 13
    P = st.P
    circle(ctx, CX, 170, 95)
    st.shape(ctx, None, P[2], lw=1.2)
    ctx.move_to(120, 420)
    ctx.curve_to(90, 340, 110, 260, 140, 230)
    ctx.curve_to(120, 200, 120, 170, 128, 130)
    ctx.line_to(140, 158)
    ctx.curve_to(160, 150, 180, 150, 200, 158)
    ctx.line_to(212, 130)
    ctx.curve_to(220, 170, 220, 200, 200, 230)
    ctx.curve_to(230, 260, 250, 340, 220, 420)
    ctx.close_path()
    st.shape(ctx, (4, 4, 10), P[2], lw=1.4)
    ctx.move_to(220, 415)
    ctx.curve_to(290, 420, 300, 360, 270, 340)
    ctx.curve_to(255, 330, 250, 350, 262, 352)
    st.line(ctx, P[2], 1.4)
    for x in (152, 188):
        almond_eye(ctx, st, x, 190, 11, 6, P)
        st.shape(ctx, P[1], P[1], lw=1.2)
        ctx.move_to(x, 184)
        ctx.line_to(x, 196)
        src(ctx, P[0])
        ctx.set_line_width(2)
        ctx.stroke()


def m_windowsill(ctx, st):     # 01
    P = st.P
    ctx.rectangle(70, 80, 200, 260)
    st.shape(ctx, P[0], line=False)
    glow_dot(ctx, 200, 160, 50, P[3], 0.35)
    crescent_path(ctx, 200, 160, 26, 0.42, -0.5)
    st.shape(ctx, P[3])
    for (x, y) in ((110, 130), (140, 230), (240, 260), (100, 290)):
        twinkle(ctx, x, y, 5, (255, 255, 240))
    ctx.rectangle(70, 80, 200, 260)
    ctx.move_to(CX, 80)
    ctx.line_to(CX, 340)
    ctx.move_to(70, 210)
    ctx.line_to(270, 210)
    st.line(ctx, P[2], 3)
    for side in (-1, 1):
        x0 = CX + side * 120
        ctx.move_to(x0, 60)
        ctx.curve_to(x0 - side * 60, 140, x0 - side * 10, 250, x0 - side * 40, 340)
        ctx.line_to(x0, 340)
        ctx.close_path()
        st.shape(ctx, mix(P[1], P[2], 0.3))
    ctx.rectangle(40, 340, 260, 16)
    st.shape(ctx, mix(P[2], P[1], 0.4))
    poly(ctx, [(210, 340), (250, 340), (244, 310), (216, 310)])
    st.shape(ctx, (190, 120, 90))
    for a in (-0.6, 0, 0.6):
        ellipse(ctx, 230 + 18 * math.sin(a), 290 - 8 * math.cos(a), 8, 16)
        st.shape(ctx, (110, 160, 120))


def m_mask(ctx, st):           # 07
    P = st.P
    ctx.move_to(CX + 10, 300)
    ctx.line_to(CX + 60, 460)
    st.line(ctx, P[1], 4)
    ctx.move_to(40, 200)
    ctx.curve_to(60, 140, 140, 150, CX, 185)
    ctx.curve_to(200, 150, 280, 140, 300, 200)
    ctx.curve_to(300, 260, 240, 280, 200, 260)
    ctx.curve_to(185, 250, 178, 270, CX, 270)
    ctx.curve_to(162, 270, 155, 250, 140, 260)
    ctx.curve_to(100, 280, 40, 260, 40, 200)
    ctx.close_path()
    st.shape(ctx, P[1])
    for x in (110, 230):
        almond_eye(ctx, st, x, 212, 30, 16, P)
        st.shape(ctx, P[3])
    for side in (-1, 1):
        ctx.move_to(CX + side * 130, 200)
        ctx.curve_to(CX + side * 170, 160, CX + side * 160, 110, CX + side * 130, 120)
        ctx.curve_to(CX + side * 110, 130, CX + side * 125, 150, CX + side * 138, 142)
        st.line(ctx, P[1], 2.4)
    circle(ctx, CX, 178, 8)
    st.shape(ctx, (196, 60, 80))


def m_birdcage(ctx, st):       # 02
    P = st.P
    ctx.move_to(70, 400)
    ctx.line_to(70, 200)
    ctx.curve_to(70, 90, 270, 90, 270, 200)
    ctx.line_to(270, 400)
    ctx.close_path()
    st.shape(ctx, mix(P[1], P[3], 0.3), False)
    for k in range(9):
        x = 70 + k * 25
        ctx.move_to(x, 400)
        ctx.line_to(x, 200 - 60 * math.sin(math.pi * k / 8.0) ** 0.7)
    for y in (200, 400):
        ctx.move_to(70, y)
        ctx.line_to(270, y)
    ctx.move_to(70, 200)
    ctx.curve_to(70, 90, 270, 90, 270, 200)
    st.line(ctx, P[2], 3)
    ctx.rectangle(60, 400, 220, 20)
    st.shape(ctx, P[0])
    circle(ctx, CX, 98, 10)
    st.line(ctx, P[2], 3)
    # the open door swung out
    poly(ctx, [(195, 380), (195, 290), (235, 300), (235, 390)])
    st.shape(ctx, P[1])
    bird(ctx, st, 210, 270, 24, P[0])
    circle(ctx, 215, 262, 10)
    st.shape(ctx, P[0])


def m_sunbeams(ctx, st):       # 03
    P = st.P
    for k in range(5):
        x = 40 + k * 65
        poly(ctx, [(x, 120), (x + 24, 120), (x + 100, 420), (x + 50, 420)])
        src(ctx, (255, 246, 200), 0.35)
        ctx.fill()
    ctx.rectangle(0, 410, 340, 90)
    st.shape(ctx, mix(P[1], P[2], 0.3))
    for k in range(9):
        x = 20 + k * 38
        ellipse(ctx, x + 40, 440, 40, 8)
        src(ctx, (255, 246, 200), 0.45)
        ctx.fill()
    for (x, y, r) in ((30, 60, 60), (110, 40, 55), (190, 60, 60), (280, 45, 62), (330, 100, 50), (0, 130, 50), (150, 110, 40), (250, 120, 40)):
        circle(ctx, x, y, r)
        st.shape(ctx, P[0] if r > 45 else mix(P[0], P[1], 0.45))


def m_knot(ctx, st):           # 12
    P = st.P
    ctx.move_to(40, 430)
    ctx.curve_to(120, 380, 80, 300, CX, 260)
    ctx.curve_to(280, 200, 280, 80, CX, 110)
    ctx.curve_to(60, 140, 60, 260, CX, 260)
    ctx.curve_to(260, 300, 220, 380, 300, 430)
    src(ctx, mix(P[0], (40, 20, 60), 0.3))
    ctx.set_line_width(18)
    ctx.stroke_preserve()
    src(ctx, P[1])
    ctx.set_line_width(11)
    ctx.stroke_preserve()
    ctx.new_path()
    ctx.move_to(40, 430)
    ctx.curve_to(120, 380, 80, 300, CX, 260)
    ctx.curve_to(280, 200, 280, 80, CX, 110)
    ctx.curve_to(60, 140, 60, 260, CX, 260)
    ctx.curve_to(260, 300, 220, 380, 300, 430)
    st.line(ctx, P[3], 1)
    for (x, y) in ((40, 430), (300, 430)):
        spiral(ctx, x, y - 16, 2, 16, 1.2)
        st.line(ctx, P[2], 1.2)


def m_sun(ctx, st):            # 11
    P = st.P
    for k in range(16):
        a = k * TAU / 16
        poly(ctx, [(CX + 120 * math.cos(a - 0.12), 200 + 120 * math.sin(a - 0.12)),
                   (CX + 165 * math.cos(a), 200 + 165 * math.sin(a)),
                   (CX + 120 * math.cos(a + 0.12), 200 + 120 * math.sin(a + 0.12))])
        st.shape(ctx, P[0] if k % 2 else mix(P[0], P[1], 0.5))
    for k, r in enumerate((112, 88, 64, 40, 18)):
        circle(ctx, CX, 200, r)
        st.shape(ctx, mix(P[0], P[1], k / 5.0))
    for k in range(3):
        ctx.move_to(0, 380 + k * 30)
        ctx.curve_to(100, 350 + k * 30, 200, 400 + k * 30, 340, 370 + k * 30)
        ctx.line_to(340, 500)
        ctx.line_to(0, 500)
        ctx.close_path()
        st.shape(ctx, mix(P[1], P[0], 0.2 + k * 0.25))


def m_eternity(ctx, st):       # 13
    P = st.P
    pts = []
    for k in range(181):
        t = k / 180.0 * TAU
        d = 1 + math.sin(t) ** 2
        pts.append((CX + 130 * math.cos(t) / d, 220 + 130 * math.sin(t) * math.cos(t) / d))
    poly(ctx, pts)
    st.shape(ctx, None, P[1], lw=3)
    for k in range(0, 180, 15):
        x, y = pts[k]
        twinkle(ctx, x, y, 7, P[3])
    # a slow ring of sigils below, the loop's echo
    for k in range(8):
        a = k * TAU / 8
        x, y = CX + 70 * math.cos(a), 380 + 26 * math.sin(a)
        star_path(ctx, x, y, 5, 2, 4)
        st.shape(ctx, None, P[2], lw=1.0)
    ellipse(ctx, CX, 380, 70, 26)
    st.line(ctx, P[2], 0.9)


MOTIFS = {
    1: m_departure, 2: m_hope, 3: m_moon_mirror, 4: m_promise, 5: m_star_key, 6: m_door,
    7: m_lamplight, 8: m_wings, 9: m_waves, 10: m_great_tree, 11: m_tower, 12: m_hearts_voice,
    13: m_gaze, 14: m_whirl, 15: m_rainbow, 16: m_seed, 17: m_hourglass, 18: m_dawn,
    19: m_rain_shelter, 20: m_constellation, 21: m_compass, 22: m_little_boat, 23: m_bouquet,
    24: m_snowflake, 25: m_summit, 26: m_butterfly, 27: m_letter, 28: m_bell, 29: m_lighthouse,
    30: m_windmill, 31: m_spring, 32: m_crown, 33: m_balance, 34: m_maze, 35: m_full_moon,
    36: m_shooting_star, 37: m_quill, 38: m_red_thread, 39: m_gears, 40: m_seashell,
    41: m_stairs, 42: m_black_cat, 43: m_windowsill, 44: m_mask, 45: m_birdcage,
    46: m_sunbeams, 47: m_knot, 48: m_sun, 49: m_eternity,
}


def _style_for(deck, code, seed):
    for c in deck["creators"]:
        if c["code"] == code:
            return Style(code, palette_from(c.get("style", ""), code), seed)
    return Style(code, palette_from("", code), seed)


def render_card(deck, n, size, variant=None):
    """Renders card n at (w, h); variant 'festive' gives the alternate picture."""
    w, h = size
    card = next(c for c in deck["cards"] if c["n"] == n)
    st = _style_for(deck, card["creator"], 1000 + n * 7 + (500 if variant else 0))
    surf, ctx = new_surface(w, h)
    st.background(ctx, w, h)
    if variant == "festive" and n == 5:
        g = cairo.LinearGradient(0, 0, w, h)
        for t, col in ((0, (18, 20, 60)), (0.5, (40, 90, 120)), (1, (60, 30, 90))):
            g.add_color_stop_rgba(t, col[0] / 255., col[1] / 255., col[2] / 255., 0.85)
        ctx.set_source(g)
        ctx.paint()
        for k in range(5):
            ctx.move_to(0, 60 + k * 30)
            ctx.curve_to(100, 20 + k * 40, 240, 140 + k * 20, 340, 70 + k * 30)
            src(ctx, (120, 255, 200) if k % 2 else (200, 140, 255), 0.12)
            ctx.set_line_width(18)
            ctx.stroke()
    st.decor(ctx, w, h, 14 if variant is None else 30)
    k = min(w / 340.0, h / 500.0)
    ctx.save()
    ctx.translate((w - 340 * k) / 2.0, (h - 500 * k) / 2.0)
    ctx.scale(k, k)
    if n == 0:
        title_card(ctx, st, festive=(variant == "festive"))
    elif variant == "festive" and n == 5:
        star_key(ctx, st, (200, 255, 230), festive=True)
        for i in range(24):
            twinkle(ctx, st.rng.uniform(20, 320), st.rng.uniform(20, 460), st.rng.uniform(3, 9), (255, 250, 220), 0.9)
    else:
        MOTIFS[n](ctx, st)
    ctx.restore()
    st.border(ctx, w, h, n)
    return Image.fromarray(surface_to_array(surf), "RGB")


def render_back(size=(340, 500)):
    """The card back: symmetric left-right and top-bottom by construction."""
    w, h = size
    P = [(30, 27, 58), GOLD, (118, 132, 207), IVORY]
    surf, ctx = new_surface(w, h)
    g = cairo.RadialGradient(w / 2, h / 2, 10, w / 2, h / 2, h * 0.6)
    g.add_color_stop_rgb(0, 0.22, 0.20, 0.46)
    g.add_color_stop_rgb(1, 0.10, 0.09, 0.22)
    ctx.set_source(g)
    ctx.paint()
    rng = random.Random(999)
    for i in range(60):
        circle(ctx, rng.uniform(0, w / 2), rng.uniform(0, h / 2), rng.uniform(0.4, 1.2))
        src(ctx, (230, 225, 255), rng.uniform(0.2, 0.7))
        ctx.fill()
    for m, lw, a in ((10, 2, 1.0), (16, 0.8, 0.7), (22, 0.8, 0.5)):
        rounded_rect(ctx, m, m, w - 2 * m, h - 2 * m, 6)
        src(ctx, GOLD, a)
        ctx.set_line_width(lw)
        ctx.stroke()
    cx, cy = w / 2, h / 2
    for k in range(24):
        a = k * TAU / 24
        ctx.move_to(cx + 70 * math.cos(a), cy + 70 * math.sin(a))
        ctx.line_to(cx + (120 if k % 2 == 0 else 95) * math.cos(a), cy + (120 if k % 2 == 0 else 95) * math.sin(a))
    src(ctx, GOLD, 0.7)
    ctx.set_line_width(1)
    ctx.stroke()
    for r, lw in ((62, 2), (68, 0.8), (128, 0.8)):
        circle(ctx, cx, cy, r)
        src(ctx, GOLD, 0.9)
        ctx.set_line_width(lw)
        ctx.stroke()
    glow_dot(ctx, cx, cy, 60, (150, 150, 255), 0.35)
    star_path(ctx, cx, cy, 48, 18, 8)
    src(ctx, GOLD)
    ctx.fill()
    star_path(ctx, cx, cy, 22, 9, 8, -math.pi / 2 + math.pi / 8)
    src(ctx, IVORY)
    ctx.fill()
    for sy in (-1, 1):
        crescent_path(ctx, cx, cy + sy * 175, 22, 0.45, -math.pi / 2 * sy)
        src(ctx, GOLD_LIGHT)
        ctx.fill()
        for sx in (-1, 1):
            eight_star(ctx, cx + sx * 40, cy + sy * 175, 5, GOLD)
            ctx.save()
            ctx.translate(cx + sx * 130, cy + sy * 210)
            ctx.scale(sx, sy)
            ctx.move_to(-30, 0)
            ctx.curve_to(-10, -20, 10, 20, 20, 0)
            ctx.curve_to(26, -10, 14, -18, 10, -10)
            src(ctx, GOLD)
            ctx.set_line_width(1.3)
            ctx.stroke()
            ctx.restore()
    for sx in (-1, 1):
        for k in range(5):
            eight_star(ctx, cx + sx * 140, cy - 100 + k * 50, 3.5, GOLD, 0.8)
    arr = surface_to_array(surf)
    # mirror the top-left quarter over the others so the back reads the same any way round
    q = arr[:h // 2, :w // 2]
    arr[:h // 2, w - w // 2:] = q[:, ::-1]
    arr[h - h // 2:, :] = arr[:h // 2, :][::-1]
    return Image.fromarray(arr, "RGB")


def render_quest(size=(46, 68), scale=4):
    """The cover over an unseen card in the index: a question mark on the back's colours."""
    w, h = size
    big = (w * scale, h * scale)
    surf, ctx = new_surface(*big)
    ctx.scale(scale, scale)
    g = cairo.RadialGradient(w / 2, h / 2, 2, w / 2, h / 2, h * 0.6)
    g.add_color_stop_rgb(0, 0.24, 0.22, 0.50)
    g.add_color_stop_rgb(1, 0.10, 0.09, 0.22)
    ctx.set_source(g)
    ctx.paint()
    rounded_rect(ctx, 2, 2, w - 4, h - 4, 2)
    src(ctx, GOLD)
    ctx.set_line_width(1.2)
    ctx.stroke()
    rounded_rect(ctx, 4.5, 4.5, w - 9, h - 9, 1.5)
    src(ctx, GOLD, 0.6)
    ctx.set_line_width(0.5)
    ctx.stroke()
    glow_dot(ctx, w / 2, h / 2, 20, (150, 150, 255), 0.35)
    text_centered(ctx, "?", w / 2, h / 2, 34, SERIF_LATIN, True, GOLD_LIGHT)
    for y in (10, h - 10):
        eight_star(ctx, w / 2, y, 2.6, GOLD)
    img = Image.fromarray(surface_to_array(surf), "RGB")
    return img.resize(size, Image.LANCZOS)
