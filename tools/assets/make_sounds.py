#!/usr/bin/python3
"""Synthesises every sound cue of Sablewick into resources/.

A01..A11 answer the user's actions (opening theme, reading, random draw,
index, page turn, drag, menu); B00..B17 are the creators' own motifs, B00
being the program's signature. Nothing is recorded: every sound is additive
synthesis with envelopes, a little echo and a synthetic hall, made with fixed
seeds so that a second run writes identical bytes.

Run from the repository root:  /usr/bin/python3 tools/assets/make_sounds.py
"""

import os
import struct
import sys

import numpy as np

from snd_synth import (SR, Track, bell, celesta, e_piano, echo, fade_edges, flute, glass,
                       harp, highpass, horn, hz, kalimba, marimba, music_box, noise_band,
                       nylon, ocarina, pad, pizzicato, reverb, samples, seconds, smooth_ramp,
                       steel_drum, synth_pluck, toy_piano, vibraphone)
import snd_check

OUT_DIR = "resources"

# Every cue is brought to the same short-term loudness; a cue whose peaks
# would pass PEAK_DB at that loudness is turned down instead, never clipped.
TARGET_LOUDNESS_DB = snd_check.TARGET_LOUDNESS_DB
PEAK_DB = -1.0


# ------------------------------------------------------------ interface cues

def a01_opening():
    """Opening theme: a music-box arpeggio over a harp bass and a soft pad, in F."""
    step = 0.19
    tr = Track(5.98)
    bars = [  # (start, bass, arpeggio, pad chord)
        (0.00, "F2", ["F4", "A4", "C5", "E5", "G5", "E5", "C5", "A4"], ["F3", "A3", "C4", "E4"]),
        (1.52, "D3", ["D4", "F4", "A4", "C5", "E5", "C5", "A4", "F4"], ["D3", "F3", "A3", "C4"]),
        (3.04, "Bb2", ["Bb3", "D4", "F4", "A4", "C5", "D5"], ["Bb2", "D3", "F3", "A3"]),
    ]
    for k, (start, bass, arp, chord) in enumerate(bars):
        tr.add(start, harp(hz(bass), 2.2), 0.55)
        for i, note in enumerate(arp):
            accent = 1.0 if i == 0 else 0.8 - 0.04 * (i % 4)
            tr.add(start + i * step, music_box(hz(note), 1.6, seed=k * 10 + i), 0.42 * accent)
        length = 1.52 if k < 2 else 1.14
        tr.add(start, pad([hz(n) for n in chord], length + 0.5, attack=0.45, release=0.55,
                          seed=20 + k), 0.5)
    # a rising turn on C, then the home chord rolled and left to ring
    tr.add(4.18, harp(hz("C3"), 1.0), 0.5)
    tr.add(4.18, pad([hz(n) for n in ("C3", "E3", "G3", "Bb3")], 0.85, attack=0.2,
                     release=0.4, seed=31), 0.45)
    for i, note in enumerate(["G5", "A5", "C6"]):
        tr.add(4.18 + i * step, music_box(hz(note), 1.4, seed=40 + i), 0.4)
    tr.add(4.75, harp(hz("F2"), 1.3), 0.6)
    tr.add(4.75, pad([hz(n) for n in ("F3", "A3", "C4", "G4")], 1.23, attack=0.25,
                     release=1.0, seed=32), 0.5)
    for i, note in enumerate(["F4", "C5", "A5", "F6"]):
        tr.add(4.75 + i * 0.045, music_box(hz(note), 1.3, seed=50 + i), 0.42)
    return reverb(tr.buf, rt60=2.0, wet=0.28, seed=11), 0.9


def a02_reading():
    """A reading begins: a fast shimmering climb of celesta notes over a swell."""
    tr = Track(1.05)
    scale = ["C5", "D5", "E5", "G5", "A5", "C6", "D6", "E6", "G6", "A6", "C7"]
    t = 0.0
    for i, note in enumerate(scale):
        tr.add(t, celesta(hz(note), 0.8), 0.32 + 0.02 * i)
        t += 0.05 - 0.0022 * i
    tr.add(t + 0.02, glass(hz("E7"), 0.6), 0.25)
    tr.add(0.0, pad([hz(n) for n in ("C4", "G4", "B4", "E5")], 1.05, attack=0.35,
                    release=0.55, seed=3, brightness=0.8), 0.6)
    shimmer = noise_band(tr.n, 21, 7000, 1200,
                         gain=lambda s: np.interp(s, [0, 0.4, 1.05], [0.0, 1.0, 0.0]))
    tr.buf += 0.05 * shimmer
    return reverb(tr.buf, rt60=1.4, wet=0.3, seed=12), 0.3


def a03_random():
    """A card drawn at random: a riffle of cards, scattered sparkles, a landing ping."""
    tr = Track(0.85)
    rng = np.random.default_rng(303)
    t = 0.0
    for i in range(11):
        n = samples(0.012)
        burst = noise_band(n, 400 + i, 3200 + 150 * (i % 3), 900)
        burst *= np.exp(-seconds(n) / 0.003) * smooth_ramp(n)[::-1]
        tr.add(t, burst, 0.35)
        t += 0.042 - 0.0018 * i
    sparkle = ["A5", "C6", "D6", "E6", "G6", "A6", "C7"]
    for i in range(6):
        note = sparkle[int(rng.integers(len(sparkle)))]
        tr.add(0.04 + 0.075 * i + rng.uniform(0, 0.02), glass(hz(note), 0.5), 0.18)
    tr.add(0.5, celesta(hz("G6"), 0.35), 0.45)
    tr.add(0.5, celesta(hz("D6"), 0.35), 0.25)
    return reverb(tr.buf, rt60=0.9, wet=0.22, seed=13), 0.12


def a04_pick():
    """A thumbnail picked or the previous card brought back: a two-note kalimba lift."""
    tr = Track(0.42)
    tr.add(0.0, kalimba(hz("G5"), 0.42), 0.5)
    tr.add(0.075, kalimba(hz("D6"), 0.35), 0.55)
    return reverb(tr.buf, rt60=0.7, wet=0.18, seed=14), 0.1


def _whoosh(n, seed, f_from, f_to, peak_at, width=700.0):
    dur = n / SR
    return noise_band(n, seed, lambda s: f_from + (f_to - f_from) * min(1.0, s / dur),
                      width, gain=lambda s: np.interp(s, [0, peak_at, dur], [0.0, 1.0, 0.0]))


def a05_index_open():
    """The index opens: a harp arpeggio rising with a light upward breeze."""
    tr = Track(0.55)
    for i, note in enumerate(["C5", "E5", "G5", "C6"]):
        tr.add(i * 0.05, harp(hz(note), 0.55), 0.35)
    tr.buf += 0.06 * _whoosh(tr.n, 51, 900, 3200, 0.18)
    return reverb(tr.buf, rt60=0.8, wet=0.2, seed=15), 0.12


def a06_index_close():
    """The index closes: the same harp falling back, a little darker."""
    tr = Track(0.5)
    for i, note in enumerate(["B5", "G5", "E5", "B4"]):
        tr.add(i * 0.05, harp(hz(note), 0.5, bright=0.6), 0.35)
    tr.buf += 0.06 * _whoosh(tr.n, 61, 2800, 700, 0.12)
    return reverb(tr.buf, rt60=0.8, wet=0.2, seed=16), 0.12


def a07_clear():
    """The wish is cleared: a soft whoosh sweeping downwards, an airy glint in it."""
    tr = Track(0.62)
    tr.buf += 0.5 * _whoosh(tr.n, 71, 4200, 500, 0.16, width=900.0)
    tr.add(0.05, glass(hz("E6"), 0.5), 0.05)
    return reverb(tr.buf, rt60=0.7, wet=0.18, seed=17), 0.15


def a08_page():
    """A page of the index turns: a papery swish with a flutter and a soft landing."""
    tr = Track(0.45)
    n = samples(0.26)
    swish = noise_band(n, 81, lambda s: 1800 + 9000 * s, 1400,
                       gain=lambda s: np.interp(s, [0, 0.07, 0.26], [0.0, 1.0, 0.0]))
    flutter = 1.0 - 0.35 * (0.5 + 0.5 * np.sin(2 * np.pi * 23 * seconds(n)))
    tr.add(0.0, swish * flutter, 0.5)
    m = samples(0.05)
    land = noise_band(m, 82, 1200, 500) * np.exp(-seconds(m) / 0.012) * smooth_ramp(m)[::-1]
    tr.add(0.24, land, 0.3)
    return reverb(tr.buf, rt60=0.5, wet=0.12, seed=18), 0.12


def a09_click():
    """A window drag begins: a short wooden click."""
    tr = Track(0.13)
    tock = marimba(hz("E6"), 0.13)
    t = seconds(len(tock))
    tr.add(0.0, tock * np.exp(-t / 0.03), 0.6)
    n = samples(0.004)
    tr.add(0.0, noise_band(n, 91, 4500, 1500) * smooth_ramp(n)[::-1], 0.15)
    return tr.buf, 0.03


def a10_confirm():
    """Confirmation and drag end: a soft tick and a small chime."""
    tr = Track(0.45)
    n = samples(0.005)
    tr.add(0.0, noise_band(n, 101, 3800, 1200) * smooth_ramp(n)[::-1], 0.12)
    tr.add(0.004, celesta(hz("E6"), 0.45), 0.45)
    tr.add(0.004, celesta(hz("B6"), 0.45), 0.12)
    return reverb(tr.buf, rt60=0.7, wet=0.18, seed=20), 0.12


def a11_ping():
    """The menu opens or the light is grabbed: a glassy ping."""
    tr = Track(0.55)
    tr.add(0.0, glass(hz("A6"), 0.55), 0.5)
    tr.add(0.0, glass(hz("E7"), 0.4), 0.12)
    return reverb(tr.buf, rt60=0.9, wet=0.22, seed=21), 0.14


# ----------------------------------------------------------- creator motifs
# Each creator motif: (seconds, note figure as (start, note) pairs, builder).
# The figures are kept as data so the self-check can tell them apart.

def _play(dur, figure, voice, gain, rt60, wet, seed, fade, extra=None):
    tr = Track(dur)
    for when, note in figure:
        tr.add(when, voice(hz(note)), gain)
    if extra:
        extra(tr)
    return reverb(tr.buf, rt60=rt60, wet=wet, seed=seed), fade


B_MOTIFS = {
    # the program's signature: the opening theme's rolled chord answered by a falling third
    "B00": (1.9, [(0.0, "F5"), (0.12, "A5"), (0.24, "C6"), (0.48, "F6"), (0.78, "E6"), (1.0, "C6")],
            "music box + harp + pad"),
    "B01": (1.25, [(0.0, "D5"), (0.1, "F#5"), (0.3, "A5"), (0.4, "B5"), (0.6, "A5")], "kalimba"),
    "B02": (2.2, [(0.0, "G5"), (0.55, "A5"), (0.85, "D6")], "flute"),
    "B03": (1.0, [(0.0, "C5"), (0.15, "C5"), (0.225, "G5"), (0.375, "E5"), (0.525, "C6")], "marimba"),
    "B04": (1.6, [(0.0, "E6"), (0.07, "C6"), (0.14, "A5"), (0.21, "E5"), (0.5, "A5"), (0.5, "E6")],
            "celesta"),
    "B05": (1.7, [(0.0, "A4"), (0.22, "C5"), (0.44, "E5"), (0.66, "D5"), (0.9, "A5")], "nylon guitar"),
    "B06": (2.4, [(0.0, "Eb5"), (0.0, "G5"), (0.9, "Bb5"), (0.9, "D6")], "glass harmonica"),
    "B07": (0.61, [(0.0, "G4"), (0.05, "A4"), (0.1, "B4"), (0.15, "C5"), (0.2, "D5"), (0.3, "G5")],
            "pizzicato"),
    "B08": (1.8, [(0.0, "Bb4"), (0.18, "D5"), (0.36, "F5"), (0.54, "A5"), (0.9, "F5")], "vibraphone"),
    "B09": (1.1, [(0.0, "E5"), (0.12, "G5"), (0.24, "E5"), (0.42, "C5"), (0.6, "D5")], "toy piano"),
    "B10": (1.5, [(0.0, "C5"), (0.18, "G5"), (0.36, "C6")], "horn"),
    "B11": (2.0, [(0.04 * i, n) for i, n in enumerate(
        ["C4", "D4", "F4", "G4", "A4", "C5", "D5", "F5", "G5", "A5", "C6"])] + [(0.75, "F5")],
            "harp glissando"),
    "B12": (1.4, [(0.0, "A5"), (0.16, "E5"), (0.32, "A5"), (0.48, "B5")], "synth pluck + echo"),
    "B13": (2.56, [(0.0, "G4"), (0.7, "D5")], "tubular bell"),
    "B14": (1.05, [(0.0, "D6"), (0.2, "B5"), (0.4, "G5"), (0.6, "A5")], "ocarina"),
    "B15": (1.2, [(0.0, "C5"), (0.15, "E5"), (0.3, "G5"), (0.45, "A5"), (0.75, "G5")], "steel drum"),
    "B16": (1.9, [(0.0, "D5"), (0.25, "F5"), (0.5, "A5"), (0.75, "C6"), (1.0, "A5")], "electric piano"),
    "B17": (2.3, [(0.0, "E7"), (0.11, "B6"), (0.19, "G#6"), (0.33, "E6"), (0.41, "C#7"),
                  (0.56, "B6"), (0.7, "F#6"), (0.9, "E6")], "wind chimes"),
}


def _b(name):
    dur, figure, _ = B_MOTIFS[name]
    return dur, figure


def b00():
    dur, figure = _b("B00")

    def under(tr):
        tr.add(0.0, harp(hz("F3"), 1.9), 0.4)
        tr.add(0.0, pad([hz(n) for n in ("F3", "A3", "C4")], 1.9, attack=0.3, release=0.9,
                        seed=200), 0.45)
    return _play(dur, figure, lambda f: music_box(f, 1.5, seed=int(f)), 0.4, 1.8, 0.28, 30,
                 0.45, under)


def b01():
    dur, figure = _b("B01")
    return _play(dur, figure, lambda f: kalimba(f, 0.7), 0.45, 0.9, 0.2, 31, 0.3)


def b02():
    dur, figure = _b("B02")
    lengths = [0.6, 0.35, 1.25]
    tr = Track(dur)
    for (when, note), length in zip(figure, lengths):
        tr.add(when, flute(hz(note), length, seed=int(when * 100) + 3), 0.45)
    return reverb(tr.buf, rt60=1.6, wet=0.3, seed=32), 0.2


def b03():
    dur, figure = _b("B03")
    return _play(dur, figure, lambda f: marimba(f, 0.5), 0.5, 0.7, 0.15, 33, 0.2)


def b04():
    dur, figure = _b("B04")
    return _play(dur, figure, lambda f: celesta(f, 1.1), 0.35, 1.3, 0.25, 34, 0.35)


def b05():
    dur, figure = _b("B05")
    return _play(dur, figure, lambda f: nylon(f, 1.2), 0.4, 1.1, 0.2, 35, 0.4)


def b06():
    dur, figure = _b("B06")
    tr = Track(dur)
    for when, note in figure:
        length = 1.3 if when == 0 else 1.5
        # a rubbed glass: a faint touch of the rim, then the tone swells
        tone = pad([hz(note)], length, attack=0.15, release=0.6, seed=int(hz(note)),
                   brightness=-0.5)
        tr.add(when, tone + 0.25 * glass(hz(note), length), 0.7)
    return reverb(tr.buf, rt60=2.0, wet=0.3, seed=36), 0.3


def b07():
    dur, figure = _b("B07")
    return _play(dur, figure, lambda f: pizzicato(f, 0.35), 0.45, 0.6, 0.15, 37, 0.1)


def b08():
    dur, figure = _b("B08")
    return _play(dur, figure, lambda f: vibraphone(f, 1.2), 0.4, 1.4, 0.25, 38, 0.4)


def b09():
    dur, figure = _b("B09")
    return _play(dur, figure, lambda f: toy_piano(f, 0.5), 0.4, 0.8, 0.18, 39, 0.25)


def b10():
    dur, figure = _b("B10")
    tr = Track(dur)
    lengths = [0.2, 0.2, 1.0]
    for (when, note), length in zip(figure, lengths):
        tr.add(when, horn(hz(note), length, attack=0.04, release=0.12 if length < 0.5 else 0.5),
               0.3)
        tr.add(when, horn(hz(note) / 2, length, attack=0.05, release=0.12 if length < 0.5 else 0.5),
               0.15)
    return reverb(tr.buf, rt60=1.5, wet=0.28, seed=40), 0.3


def b11():
    dur, figure = _b("B11")
    tr = Track(dur)
    for when, note in figure[:-1]:
        tr.add(when, harp(hz(note), 1.5), 0.25)
    when, note = figure[-1]
    tr.add(when, harp(hz(note), 1.25), 0.4)
    tr.add(when, harp(hz("F3"), 1.25), 0.35)
    return reverb(tr.buf, rt60=1.6, wet=0.25, seed=41), 0.45


def b12():
    dur, figure = _b("B12")
    tr = Track(dur)
    for when, note in figure:
        tr.add(when, synth_pluck(hz(note), 0.5), 0.35)
    return reverb(echo(tr.buf, 0.24, 0.4, repeats=4), rt60=0.8, wet=0.15, seed=42), 0.3


def b13():
    dur, figure = _b("B13")
    return _play(dur, figure, lambda f: bell(f, 2.4, decay=1.2), 0.35, 2.2, 0.25, 43, 0.6)


def b14():
    dur, figure = _b("B14")
    tr = Track(dur)
    lengths = [0.2, 0.2, 0.2, 0.43]
    for (when, note), length in zip(figure, lengths):
        tr.add(when, ocarina(hz(note), length, seed=int(when * 10) + 5), 0.45)
    return reverb(tr.buf, rt60=1.1, wet=0.25, seed=44), 0.15


def b15():
    dur, figure = _b("B15")
    return _play(dur, figure, lambda f: steel_drum(f, 0.7), 0.35, 0.9, 0.2, 45, 0.3)


def b16():
    dur, figure = _b("B16")
    return _play(dur, figure, lambda f: e_piano(f, 1.3), 0.3, 1.3, 0.22, 46, 0.45)


def b17():
    dur, figure = _b("B17")
    return _play(dur, figure, lambda f: glass(f, 1.4) + 0.4 * celesta(f, 1.4), 0.25, 2.0, 0.35,
                 47, 0.6)


CUES = {
    "A01": (5.98, a01_opening), "A02": (1.05, a02_reading), "A03": (0.85, a03_random),
    "A04": (0.42, a04_pick), "A05": (0.55, a05_index_open), "A06": (0.5, a06_index_close),
    "A07": (0.62, a07_clear), "A08": (0.45, a08_page), "A09": (0.13, a09_click),
    "A10": (0.45, a10_confirm), "A11": (0.55, a11_ping),
}
for _k, _fn in enumerate([b00, b01, b02, b03, b04, b05, b06, b07, b08, b09, b10, b11, b12, b13,
                          b14, b15, b16, b17]):
    CUES["B%02d" % _k] = (B_MOTIFS["B%02d" % _k][0], _fn)


# ---------------------------------------------------------------- mastering

def frame_count(dur):
    """Samples for a cue length; never shorter than the length asked for."""
    return int(np.ceil(round(dur * SR, 6)))


def master(raw, dur, fade_out):
    """Exact length, no DC, clean ends, common loudness, peaks below PEAK_DB."""
    n = frame_count(dur)
    x = np.zeros(n)
    x[:min(n, len(raw))] = raw[:n]
    x = highpass(x, 40.0)
    x = fade_edges(x, 0.002, fade_out)
    gain = 10 ** ((TARGET_LOUDNESS_DB - snd_check.loudness_db(x)) / 20)
    peak = np.max(np.abs(x))
    gain = min(gain, 10 ** (PEAK_DB / 20) / peak)
    pcm = np.round(x * gain * 32767.0)
    return np.clip(pcm, -32767, 32767).astype("<i2")


def wav_bytes(pcm):
    data = pcm.tobytes()
    fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 1, SR, SR * 2, 2, 16)
    body = b"WAVE" + fmt + struct.pack("<4sI", b"data", len(data)) + data
    return struct.pack("<4sI", b"RIFF", len(body)) + body


def render_all():
    files = {}
    for name, (dur, build) in CUES.items():
        raw, fade_out = build()
        files[name] = wav_bytes(master(raw, dur, fade_out))
    return files


def main():
    if not os.path.isdir(OUT_DIR):
        sys.exit("run from the repository root (no %s/ here)" % OUT_DIR)
    snd_check.self_test()
    files = render_all()
    for name, blob in files.items():
        with open(os.path.join(OUT_DIR, name + ".wav"), "wb") as fh:
            fh.write(blob)
    figures = {name: figure for name, (_, figure, _) in B_MOTIFS.items()}
    timbres = {name: timbre for name, (_, _, timbre) in B_MOTIFS.items()}
    rows = snd_check.check_all(OUT_DIR, sorted(files), figures, timbres)
    print("%-5s %8s %9s %9s %10s" % ("name", "seconds", "peak dB", "RMS dB", "loud dB"))
    for name, dur, peak, rms, loud in rows:
        print("%-5s %8.3f %9.2f %9.2f %10.2f" % (name, dur, peak, rms, loud))
    again = render_all()
    assert again == files, "a second rendering differs: something is not seeded"
    print("%d sounds written to %s/ and checked" % (len(files), OUT_DIR))


if __name__ == "__main__":
    main()
