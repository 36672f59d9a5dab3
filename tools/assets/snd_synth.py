"""Small additive synthesiser for the program's sound cues.

Everything is plain numpy at 22050 Hz, mono, float64 in roughly [-1, 1].
Instruments return a note as an array that starts at its attack and ends when
the note has died away; `Track` places notes on a timeline. Random parts
(noise, tiny detunings) always take an explicit seed so that every run gives
the same samples.
"""

import math

import numpy as np

SR = 22050
# Partials above this are left out: they would fold back below Nyquist and
# sound like whistling ghosts rather than brightness.
PARTIAL_LIMIT = 0.45 * SR

_NOTE_STEPS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def hz(note):
    """Frequency of a note name such as "A4", "F#5", "Bb3" or a MIDI number."""
    if isinstance(note, (int, float)):
        return 440.0 * 2.0 ** ((note - 69) / 12.0)
    name = note[0].upper()
    rest = note[1:]
    step = _NOTE_STEPS[name]
    while rest and rest[0] in "#b":
        step += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    octave = int(rest)
    return 440.0 * 2.0 ** ((12 * (octave + 1) + step - 69) / 12.0)


def seconds(n):
    return np.arange(n) / SR


def samples(dur):
    return max(1, int(round(dur * SR)))


def smooth_ramp(n):
    """Raised-cosine ramp from 0 to 1 over n samples."""
    if n <= 0:
        return np.ones(0)
    return 0.5 - 0.5 * np.cos(np.pi * np.arange(n) / n)


def fade_edges(x, fade_in, fade_out):
    """Raised-cosine fades in seconds; the first sample is 0 and so is the last."""
    x = x.copy()
    a = min(len(x), samples(fade_in))
    b = min(len(x), samples(fade_out))
    x[:a] *= smooth_ramp(a)
    x[len(x) - b:] *= smooth_ramp(b)[::-1]
    if len(x):
        x[-1] = 0.0
    return x


def additive(freq, dur, parts, attack=0.003, release=0.02, phase_seed=None,
             bend=0.0, bend_time=0.02, vibrato=None):
    """Sum of sine partials, each with its own exponential decay.

    parts: (ratio, amplitude, decay time constant in seconds or None for
    no decay). bend: starting pitch offset as a fraction, gliding to the
    note over bend_time. vibrato: (rate Hz, depth fraction, onset seconds).
    """
    n = samples(dur)
    t = seconds(n)
    inst = np.full(n, float(freq))
    if bend:
        inst *= 1.0 + bend * np.exp(-t / bend_time)
    if vibrato:
        rate, depth, onset = vibrato
        grow = np.clip(t / max(onset, 1e-6), 0.0, 1.0)
        inst *= 1.0 + depth * grow * np.sin(2 * np.pi * rate * t)
    phase = 2 * np.pi * np.cumsum(inst) / SR
    rng = np.random.default_rng(phase_seed) if phase_seed is not None else None
    out = np.zeros(n)
    for ratio, amp, tau in parts:
        if freq * ratio >= PARTIAL_LIMIT:
            continue
        p0 = rng.uniform(0, 2 * np.pi) if rng is not None else 0.0
        env = np.exp(-t / tau) if tau else 1.0
        out += amp * env * np.sin(ratio * phase + p0)
    return fade_edges(out, attack, release)


def noise_band(n, seed, centre, width, gain=None, frame=512, hop=128):
    """Noise whose band follows centre(t) Hz with Gaussian width(t) Hz.

    centre, width and gain may be numbers or functions of time in seconds.
    Built frame by frame (random phases, shaped magnitudes, overlap-add).
    """
    rng = np.random.default_rng(seed)
    freqs = np.fft.rfftfreq(frame, 1.0 / SR)
    win = np.hanning(frame)
    # frames start one frame early so the overlap-add is already steady at 0
    out = np.zeros(n + 2 * frame)
    for start in range(0, n + frame, hop):
        tc = max(0.0, (start - frame / 2) / SR)
        c = centre(tc) if callable(centre) else centre
        w = width(tc) if callable(width) else width
        g = gain(tc) if callable(gain) else (1.0 if gain is None else gain)
        mag = g * np.exp(-0.5 * ((freqs - c) / max(w, 1.0)) ** 2)
        spectrum = mag * np.exp(1j * rng.uniform(0, 2 * np.pi, len(freqs)))
        out[start:start + frame] += np.fft.irfft(spectrum, frame) * win
    out = out[frame:frame + n]
    peak = np.max(np.abs(out))
    return out / peak if peak > 0 else out


def envelope(n, points):
    """Piecewise-linear envelope through (time s, level) points."""
    t = seconds(n)
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return np.interp(t, xs, ys)


def fft_convolve(x, h):
    size = len(x) + len(h) - 1
    nfft = 1 << (size - 1).bit_length()
    y = np.fft.irfft(np.fft.rfft(x, nfft) * np.fft.rfft(h, nfft), nfft)
    return y[:len(x)]


def room_ir(rt60, seed, predelay=0.012, darkness=4):
    """Impulse response of a soft hall: decaying noise with a few early taps.

    darkness is the length of a moving average applied to the tail, so that
    high frequencies die sooner than low ones would on a wall.
    """
    n = samples(rt60 * 1.1 + predelay)
    rng = np.random.default_rng(seed)
    t = seconds(n)
    tail = rng.standard_normal(n) * np.exp(-6.91 * t / rt60)
    if darkness > 1:
        tail = np.convolve(tail, np.ones(darkness) / darkness, mode="same")
    pd = samples(predelay)
    tail[:pd] = 0.0
    tail[pd:pd + samples(0.03)] *= smooth_ramp(samples(0.03))
    for delay, level in ((0.007, 0.5), (0.013, -0.35), (0.019, 0.25), (0.029, -0.2)):
        tail[samples(delay)] += level * 4
    return tail / np.sqrt(np.sum(tail ** 2))


def reverb(x, rt60=1.2, wet=0.2, seed=7, predelay=0.012, darkness=4):
    """Dry signal plus a hall tail; wet is the tail's share of the energy."""
    if wet <= 0:
        return x
    y = fft_convolve(x, room_ir(rt60, seed, predelay, darkness))
    dry_rms = np.sqrt(np.mean(x ** 2)) + 1e-12
    wet_rms = np.sqrt(np.mean(y ** 2)) + 1e-12
    return (1.0 - wet) * x + wet * y * (dry_rms / wet_rms)


def echo(x, delay, feedback, repeats=4, darken=3):
    """Repeated quieter (and slightly duller) copies of x, delay seconds apart."""
    out = x.copy()
    d = samples(delay)
    copy = x.copy()
    for k in range(1, repeats + 1):
        if darken > 1:
            copy = np.convolve(copy, np.ones(darken) / darken, mode="same")
        if k * d >= len(x):
            break
        out[k * d:] += (feedback ** k) * copy[:len(x) - k * d]
    return out


def highpass(x, cutoff):
    """Gentle high-pass (zero below cutoff/2, smooth rise to cutoff) via FFT."""
    nfft = 1 << (len(x) - 1).bit_length()
    spectrum = np.fft.rfft(x, nfft)
    f = np.fft.rfftfreq(nfft, 1.0 / SR)
    gain = np.clip((f - cutoff / 2) / (cutoff / 2), 0.0, 1.0)
    gain = 0.5 - 0.5 * np.cos(np.pi * gain)
    return np.fft.irfft(spectrum * gain, nfft)[:len(x)]


def lowpass(x, cutoff, width=None):
    nfft = 1 << (len(x) - 1).bit_length()
    spectrum = np.fft.rfft(x, nfft)
    f = np.fft.rfftfreq(nfft, 1.0 / SR)
    width = width or cutoff * 0.5
    gain = np.clip((cutoff + width - f) / width, 0.0, 1.0)
    gain = 0.5 - 0.5 * np.cos(np.pi * gain)
    return np.fft.irfft(spectrum * gain, nfft)[:len(x)]


class Track:
    """A timeline of fixed length onto which notes are mixed."""

    def __init__(self, dur):
        self.n = samples(dur)
        self.buf = np.zeros(self.n)

    def add(self, when, note, gain=1.0):
        start = samples(when) if when > 0 else 0
        if start >= self.n:
            return
        end = min(self.n, start + len(note))
        self.buf[start:end] += gain * note[:end - start]


# ---------------------------------------------------------------- instruments
# Each takes a frequency in Hz (use hz("C5")) and a length in seconds, which is
# how long the note is allowed to ring before it is cut with a short release.

def music_box(f, dur=1.6, seed=None):
    parts = [(1.0, 1.0, 0.9), (2.0, 0.12, 0.3), (3.0, 0.05, 0.2),
             (4.16, 0.10, 0.10), (5.43, 0.06, 0.06)]
    tone = additive(f, dur, parts, attack=0.0015, phase_seed=seed)
    n = min(len(tone), samples(0.004))
    tick = noise_band(n, (seed or 0) + 101, 6000, 2500) * smooth_ramp(n)[::-1]
    tone[:n] += 0.08 * tick
    return tone


def harp(f, dur=2.0, pluck=0.18, bright=1.0):
    base = 1.7 * (220.0 / f) ** 0.35
    parts = []
    for k in range(1, 13):
        amp = abs(math.sin(k * math.pi * pluck)) / k ** (1.6 - 0.3 * bright)
        parts.append((k * (1 + 0.0004 * k * k), amp, base / (1 + 0.45 * (k - 1))))
    return additive(f, dur, parts, attack=0.002)


def pizzicato(f, dur=0.5):
    parts = []
    for k in range(1, 9):
        amp = abs(math.sin(k * math.pi * 0.3)) / k ** 1.3
        parts.append((k, amp, 0.22 / (1 + 0.6 * (k - 1))))
    return additive(f, dur, parts, attack=0.003, bend=0.006, bend_time=0.01)


def bell(f, dur=2.5, decay=1.0):
    parts = [(0.5, 0.35, 1.8 * decay), (1.0, 1.0, 1.3 * decay), (1.2, 0.3, 0.9 * decay),
             (1.5, 0.18, 0.7 * decay), (2.0, 0.35, 0.6 * decay), (2.74, 0.18, 0.35 * decay),
             (3.76, 0.10, 0.22 * decay), (5.4, 0.06, 0.12 * decay)]
    return additive(f, dur, parts, attack=0.002)


def glass(f, dur=0.8):
    parts = [(1.0, 1.0, 0.5), (1.0035, 0.6, 0.6), (2.32, 0.22, 0.2), (4.25, 0.08, 0.08)]
    return additive(f, dur, parts, attack=0.002)


def celesta(f, dur=1.2):
    parts = [(1.0, 1.0, 0.7), (2.0, 0.25, 0.25), (3.0, 0.1, 0.12), (8.0, 0.04, 0.03)]
    return additive(f, dur, parts, attack=0.0015)


def kalimba(f, dur=0.9):
    parts = [(1.0, 1.0, 0.55), (2.01, 0.08, 0.2), (5.95, 0.22, 0.045), (9.1, 0.06, 0.02)]
    return additive(f, dur, parts, attack=0.001, bend=0.01, bend_time=0.006)


def marimba(f, dur=0.6):
    parts = [(1.0, 1.0, 0.32), (3.93, 0.28, 0.06), (9.7, 0.08, 0.018)]
    return additive(f, dur, parts, attack=0.0015)


def toy_piano(f, dur=0.7):
    parts = [(1.0, 1.0, 0.45), (2.0, 0.15, 0.2), (3.87, 0.3, 0.07), (6.27, 0.22, 0.035),
             (1.004, 0.3, 0.5)]
    return additive(f, dur, parts, attack=0.001)


def vibraphone(f, dur=1.6, trem_rate=5.5):
    parts = [(1.0, 1.0, 1.1), (4.0, 0.22, 0.25), (10.0, 0.05, 0.05)]
    tone = additive(f, dur, parts, attack=0.002)
    t = seconds(len(tone))
    return tone * (1.0 - 0.3 * (0.5 - 0.5 * np.cos(2 * np.pi * trem_rate * t)))


def steel_drum(f, dur=0.9):
    parts = [(1.0, 1.0, 0.55), (2.0, 0.55, 0.4), (3.0, 0.22, 0.25), (4.02, 0.12, 0.15),
             (5.1, 0.05, 0.08)]
    return additive(f, dur, parts, attack=0.002, bend=-0.025, bend_time=0.015)


def nylon(f, dur=1.5):
    parts = []
    for k in range(1, 11):
        amp = abs(math.sin(k * math.pi * 0.13)) / k ** 1.1
        parts.append((k * (1 + 0.0002 * k * k), amp, 1.1 / (1 + 0.5 * (k - 1))))
    return additive(f, dur, parts, attack=0.0025)


def synth_pluck(f, dur=0.6):
    parts = [(k, 1.0 / k, 0.35 / (1 + 0.5 * k)) for k in range(1, 16)]
    return additive(f, dur, parts, attack=0.002)


def e_piano(f, dur=1.5, index=1.6):
    """Two-operator FM: a bell-like bark that mellows into a round tone."""
    n = samples(dur)
    t = seconds(n)
    idx = index * np.exp(-t / 0.25) + 0.25
    mod = idx * np.sin(2 * np.pi * f * t)
    tine = 0.05 * np.exp(-t / 0.03) * np.sin(2 * np.pi * 14.0 * f * t) if 14 * f < PARTIAL_LIMIT else 0.0
    out = np.exp(-t / 1.0) * np.sin(2 * np.pi * f * t + mod) + tine
    return fade_edges(out, 0.002, 0.03)


def _sustained(f, dur, harmonics, attack, release, vibrato=None, seed=1):
    tone = additive(f, dur, harmonics, attack=0.001, release=0.001, vibrato=vibrato,
                    phase_seed=seed)
    n = len(tone)
    a, r = samples(attack), samples(release)
    env = np.ones(n)
    env[:min(a, n)] = smooth_ramp(min(a, n))
    env[max(0, n - r):] *= smooth_ramp(min(r, n))[::-1]
    return tone * env


def flute(f, dur=0.8, seed=3):
    tone = _sustained(f, dur, [(1, 1.0, None), (2, 0.18, None), (3, 0.07, None)],
                      0.07, 0.15, vibrato=(5.0, 0.004, 0.25), seed=seed)
    breath = noise_band(len(tone), seed + 11, f * 1.2, f * 0.6)
    # the breath is strongest as the note speaks, then settles under the tone
    t = seconds(len(tone))
    chiff = 0.3 + 0.7 * np.exp(-t / 0.12)
    return tone + 0.06 * breath * chiff * fade_edges(np.ones(len(tone)), 0.02, 0.15)


def ocarina(f, dur=0.6, seed=5):
    tone = _sustained(f, dur, [(1, 1.0, None), (2, 0.04, None), (3, 0.06, None)],
                      0.04, 0.1, vibrato=(4.5, 0.003, 0.2), seed=seed)
    breath = noise_band(len(tone), seed + 13, f, f * 0.4)
    return tone + 0.03 * breath


def horn(f, dur=0.8, attack=0.06, release=0.2):
    """Brass-like: upper harmonics grow with loudness."""
    n = samples(dur)
    t = seconds(n)
    a, r = samples(attack), samples(release)
    env = np.ones(n)
    env[:min(a, n)] = smooth_ramp(min(a, n))
    env[max(0, n - r):] *= smooth_ramp(min(r, n))[::-1]
    env *= 1.0 - 0.15 * (1 - np.exp(-t / 0.3))
    phase = 2 * np.pi * f * t
    out = np.zeros(n)
    for k in range(1, 11):
        if f * k >= PARTIAL_LIMIT:
            break
        out += (env ** (1 + 0.5 * (k - 1))) * np.sin(k * phase) / k
    return out


def pad(freqs, dur, attack=0.6, release=0.8, seed=9, brightness=0.5):
    """Soft chord: each note three slightly detuned voices with mellow harmonics."""
    n = samples(dur)
    t = seconds(n)
    rng = np.random.default_rng(seed)
    out = np.zeros(n)
    for f in freqs:
        for cents in (-7.0, 0.0, 6.0):
            fv = f * 2 ** (cents / 1200)
            for k in range(1, 7):
                if fv * k >= PARTIAL_LIMIT:
                    break
                amp = 1.0 / k ** (2.2 - brightness)
                out += amp * np.sin(2 * np.pi * fv * k * t + rng.uniform(0, 2 * np.pi))
    out *= 1.0 + 0.12 * np.sin(2 * np.pi * 0.7 * t)
    env = np.ones(n)
    a, r = min(samples(attack), n), min(samples(release), n)
    env[:a] = smooth_ramp(a)
    env[n - r:] *= smooth_ramp(r)[::-1]
    return out * env / max(1, len(freqs) * 3)
