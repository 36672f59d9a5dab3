"""Re-reads the written sound cues and refuses any that the program could not use
or that would sound broken: wrong format, wrong length, clipping, clicks at the
ends, a late start, a stray DC offset, loudness far from the others, or two
creators sharing a motif.

Parsing is done here from the raw bytes, independently of the writer.
"""

import hashlib
import os
import struct

import numpy as np

RATE = 22050
TARGET_LOUDNESS_DB = -17.0
LOUDNESS_WINDOW = 0.4          # seconds, short-term loudness window
LOUDNESS_TOLERANCE_DB = 1.0    # above target
LOUDNESS_SHORTFALL_DB = 3.0    # below target, for cues held down by their peaks
MAX_PEAK_DBFS = -0.95
OPENING, CLICK = "A01", "A09"


def a_weight(freqs):
    """A-weighting gain (linear) for the given frequencies in Hz."""
    f2 = np.asarray(freqs, dtype=float) ** 2
    num = (12194.0 ** 2) * f2 ** 2
    den = ((f2 + 20.6 ** 2) * np.sqrt((f2 + 107.7 ** 2) * (f2 + 737.9 ** 2))
           * (f2 + 12194.0 ** 2))
    with np.errstate(divide="ignore", invalid="ignore"):
        ra = np.where(den > 0, num / den, 0.0)
    return ra * 10 ** (2.0 / 20)


def loudness_db(x, rate=RATE):
    """Loudest A-weighted RMS over any LOUDNESS_WINDOW stretch (whole cue if shorter)."""
    x = np.asarray(x, dtype=float)
    nfft = 1 << (len(x) - 1).bit_length()
    w = a_weight(np.fft.rfftfreq(nfft, 1.0 / rate))
    y = np.fft.irfft(np.fft.rfft(x, nfft) * w, nfft)[:len(x)]
    win = min(len(y), int(LOUDNESS_WINDOW * rate))
    csum = np.concatenate(([0.0], np.cumsum(y * y)))
    power = (csum[win:] - csum[:-win]) / win
    return 10 * np.log10(max(np.max(power), 1e-20))


def read_wav(path):
    """Returns the samples of a plain PCM mono 16-bit 22050 Hz WAVE file as floats."""
    with open(path, "rb") as fh:
        blob = fh.read()
    assert len(blob) >= 44, "%s: too short for a WAVE file" % path
    riff, size, wave = struct.unpack_from("<4sI4s", blob, 0)
    assert riff == b"RIFF" and wave == b"WAVE", "%s: not RIFF WAVE" % path
    assert size == len(blob) - 8, "%s: RIFF size %d, file %d" % (path, size, len(blob))
    tag, flen = struct.unpack_from("<4sI", blob, 12)
    assert tag == b"fmt " and flen == 16, "%s: first chunk must be a 16-byte fmt" % path
    fmt, ch, rate, brate, align, bits = struct.unpack_from("<HHIIHH", blob, 20)
    assert (fmt, ch, rate, bits) == (1, 1, RATE, 16), \
        "%s: format %d, %d channels, %d Hz, %d bits" % (path, fmt, ch, rate, bits)
    assert brate == RATE * 2 and align == 2, "%s: byte rate or block align wrong" % path
    tag, dlen = struct.unpack_from("<4sI", blob, 36)
    assert tag == b"data", "%s: second chunk must be data" % path
    assert dlen == len(blob) - 44 and dlen % 2 == 0, "%s: data size %d" % (path, dlen)
    return np.frombuffer(blob, dtype="<i2", offset=44).astype(float) / 32768.0, blob


def check_one(name, x):
    """Checks that do not depend on the other cues; returns the table row."""
    dur = len(x) / RATE
    peak = np.max(np.abs(x))
    peak_db = 20 * np.log10(max(peak, 1e-12))
    rms_db = 10 * np.log10(max(np.mean(x * x), 1e-20))
    loud = loudness_db(x)
    assert peak_db <= MAX_PEAK_DBFS, "%s: peak %.2f dBFS" % (name, peak_db)
    # a held run at the top means the waveform was squared off
    top = np.abs(x) >= peak - 1.0 / 32768
    assert not np.any(top[1:] & top[:-1] & (x[1:] == x[:-1])), "%s: flat-topped peak" % name
    # ends: start and stop in silence, and get there smoothly
    assert abs(x[0]) <= 2 / 32768 and abs(x[-1]) <= 2 / 32768, "%s: does not start/end at 0" % name
    edge = int(0.0005 * RATE)
    assert np.max(np.abs(x[:edge])) < 0.05 * peak, "%s: starts with a click" % name
    assert np.max(np.abs(x[-edge:])) < 0.05 * peak, "%s: ends with a click" % name
    assert np.max(np.abs(np.diff(x[-edge * 4:]))) < 0.02, "%s: abrupt ending" % name
    assert abs(np.mean(x)) < 0.002, "%s: DC offset %.4f" % (name, np.mean(x))
    # a cue answers an action: it must be audible within 30 ms
    early = x[:int(0.03 * RATE)]
    assert np.max(np.abs(early)) > 0.1 * peak, "%s: starts late" % name
    assert loud <= TARGET_LOUDNESS_DB + LOUDNESS_TOLERANCE_DB, "%s: too loud (%.1f)" % (name, loud)
    assert loud >= TARGET_LOUDNESS_DB - LOUDNESS_SHORTFALL_DB, "%s: too quiet (%.1f)" % (name, loud)
    return name, dur, peak_db, rms_db, loud


def check_all(folder, names, figures, timbres):
    """Checks every cue file and the set as a whole; returns the table rows."""
    expected = ["A%02d" % i for i in range(1, 12)] + ["B%02d" % i for i in range(18)]
    assert sorted(names) == expected, "cue set incomplete: %s" % sorted(set(expected) - set(names))
    rows, digests = [], {}
    for name in expected:
        x, blob = read_wav(os.path.join(folder, name + ".wav"))
        digest = hashlib.sha256(blob[44:]).hexdigest()
        assert digest not in digests, "%s sounds exactly like %s" % (name, digests.get(digest))
        digests[digest] = name
        rows.append(check_one(name, x))
    length = {r[0]: r[1] for r in rows}
    assert abs(length[OPENING] - 5.98) < 0.001, "opening theme lasts %.3f s" % length[OPENING]
    assert abs(length[CLICK] - 0.13) < 0.001, "drag click lasts %.3f s" % length[CLICK]
    assert max(length, key=length.get) == OPENING, "the opening theme must be the longest cue"
    assert min(length, key=length.get) == CLICK, "the drag click must be the shortest cue"
    for name in expected[11:]:
        assert 0.61 <= length[name] <= 2.5601, "%s lasts %.3f s" % (name, length[name])
    check_motifs(figures, timbres)
    return rows


def check_motifs(figures, timbres):
    """No two creator motifs may share a melodic shape (intervals and rhythm) or a timbre."""
    shapes = {}
    for name, figure in figures.items():
        assert len(figure) >= 2, "%s: a motif needs at least two notes" % name
        pitches = [_midi(note) for _, note in figure]
        times = [round(t, 3) for t, _ in figure]
        shape = (tuple(b - a for a, b in zip(pitches, pitches[1:])),
                 tuple(round(b - a, 3) for a, b in zip(times, times[1:])))
        assert shape not in shapes, "%s repeats the motif of %s" % (name, shapes.get(shape))
        shapes[shape] = name
    seen = {}
    for name, timbre in timbres.items():
        assert timbre not in seen, "%s shares its timbre with %s" % (name, seen.get(timbre))
        seen[timbre] = name


def _midi(note):
    steps = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}[note[0]]
    rest = note[1:]
    while rest[0] in "#b":
        steps += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + steps


def self_test():
    """The checks must be able to fail: a well-made tone passes, and each kind of
    fault the checks exist for is caught."""
    t = np.arange(int(0.5 * RATE)) / RATE
    tone = np.sin(2 * np.pi * 660 * t) * np.exp(-t / 0.15)
    ramp = np.minimum(1.0, np.minimum(t / 0.005, (t[-1] - t) / 0.03))
    ramp = 0.5 - 0.5 * np.cos(np.pi * ramp)
    good = tone * ramp
    good *= 10 ** ((TARGET_LOUDNESS_DB - loudness_db(good)) / 20)
    good = np.round(good * 32767) / 32768
    check_one("good", good)
    faults = {
        "clipped": np.clip(good * 4, -0.7, 0.7),
        "cut off": good * 0 + np.sin(2 * np.pi * 660 * t) * 0.2,
        "late": np.concatenate([np.zeros(int(0.1 * RATE)), good]),
        "quiet": good * 0.3,
        "offset": good + 0.01 * ramp,
    }
    expected = {"clipped": "flat-topped", "cut off": "end at 0", "late": "starts late",
                "quiet": "too quiet", "offset": "DC offset"}
    for label, bad in faults.items():
        try:
            check_one(label, bad)
        except AssertionError as err:
            assert expected[label] in str(err), "a %s cue was refused for: %s" % (label, err)
            continue
        raise AssertionError("the sound checks let a %s cue through" % label)
