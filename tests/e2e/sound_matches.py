#!/usr/bin/python3
"""Tells which sound a recording of the sound device holds.

The end-to-end run records what the program sends to the sound device as raw samples
(one file per opening of the device, see tests/e2e/scenarios/sound.sh). This compares
such a recording with the program's WAV resources:

  sound_matches.py match RECORDING --expect NAME WAV...
      Says which of the WAV files the recording plays, and how closely. Succeeds when
      the best match is NAME (a file's name without folder and extension) with a score
      of at least --min-score, ahead of every other candidate by --min-margin.
  sound_matches.py silent RECORDING...
      Succeeds when every recording is silent (a missing or empty file is silent).

Recordings are raw interleaved samples, --format S16_LE, S32_LE or FLOAT_LE (little
endian), --rate Hz and --channels. The recording is turned to mono and resampled to
each WAV's rate (by the Fourier transform, an ideal low-pass). The WAV's first moments
are looked for in the recording's first --max-delay seconds by normalised
cross-correlation; from there the WAV is followed window by window, since the player's
clock may run a little off the nominal rate (0.2 % under Wine 8).

The score is the correlation of the WAV's beginning with the recording, divided by the
energy of the whole recording: a cue cut short by the next one still matches its own
beginning, while a recording that holds more than the candidate (another, longer sound,
or a second sound after it) scores low. Measured on every resource played under Wine
and recorded through ALSA: the right one scores 0.93 or more, a wrong one 0.63 or less.
"""

import argparse
import os
import sys
import wave

import numpy as np

FORMATS = {"S16_LE": ("<i2", 32768.0), "S32_LE": ("<i4", 2147483648.0), "FLOAT_LE": ("<f4", 1.0)}

# Below this peak (full scale 1.0) a recording counts as silent: about -54 dBFS, far
# under the quietest cue, while a muted player writes exact zeros.
SILENCE_PEAK = 0.002

# The WAV is followed in windows of this many samples, each allowed to move SLACK
# samples from where the previous one fitted: 1.5 % of the window, more than any
# player's clock is off.
WINDOW = 512
SLACK = 8


def read_recording(path, fmt, channels):
    """Mono samples in -1..1 of a raw recording; empty when the file is missing."""
    dtype, scale = FORMATS[fmt]
    if not os.path.exists(path):
        return np.zeros(0)
    data = np.fromfile(path, dtype=dtype)
    frames = len(data) // channels
    data = data[: frames * channels].astype(np.float64) / scale
    return data.reshape(frames, channels).mean(axis=1)


def read_wav(path):
    """(mono samples in -1..1, rate) of a PCM WAV file."""
    with wave.open(path, "rb") as w:
        channels, width, rate = w.getnchannels(), w.getsampwidth(), w.getframerate()
        raw = w.readframes(w.getnframes())
    if width == 1:
        data = (np.frombuffer(raw, dtype=np.uint8).astype(np.float64) - 128.0) / 128.0
    elif width == 2:
        data = np.frombuffer(raw, dtype="<i2").astype(np.float64) / 32768.0
    elif width == 4:
        data = np.frombuffer(raw, dtype="<i4").astype(np.float64) / 2147483648.0
    else:
        raise ValueError(f"{path}: {8 * width}-bit samples are not read here")
    frames = len(data) // channels
    return data[: frames * channels].reshape(frames, channels).mean(axis=1), rate


def resample(x, rate_in, rate_out):
    """x at rate_out, by cutting or padding its spectrum."""
    if rate_in == rate_out or len(x) == 0:
        return x
    n_out = max(1, int(round(len(x) * rate_out / rate_in)))
    spectrum = np.fft.rfft(x)
    bins = n_out // 2 + 1
    if len(spectrum) >= bins:
        spectrum = spectrum[:bins]
    else:
        spectrum = np.concatenate([spectrum, np.zeros(bins - len(spectrum), complex)])
    return np.fft.irfft(spectrum, n_out) * (n_out / len(x))


def onsets(rec, wav, max_delay, count=4):
    """The delays (0..max_delay samples) at which wav's first window fits rec best."""
    head = wav[:WINDOW]
    n = len(rec) + len(head)
    size = 1 << (n - 1).bit_length()
    # corr[d] = sum over i of rec[i + d] * head[i]: the overlap only, the rest is padding.
    corr = np.fft.irfft(np.fft.rfft(rec, size) * np.conj(np.fft.rfft(head, size)), size)
    delays = np.arange(0, min(max_delay, len(rec) - 1) + 1)
    overlap = np.minimum(len(head), len(rec) - delays)
    cum = np.concatenate([[0.0], np.cumsum(rec * rec)])
    rec_energy = cum[delays + overlap] - cum[delays]
    head_energy = np.concatenate([[0.0], np.cumsum(head * head)])[overlap]
    with np.errstate(divide="ignore", invalid="ignore"):
        scores = np.where(rec_energy * head_energy > 0,
                          corr[delays] / np.sqrt(rec_energy * head_energy), 0.0)
    # The best few places, each at least a window away from a better one.
    found = []
    for d in np.argsort(-scores):
        if all(abs(int(d) - f) >= WINDOW for f in found):
            found.append(int(d))
            if len(found) == count:
                break
    return found


def follow(rec, wav, start):
    """(sum of the windows' best correlations, WAV energy, end in rec) from a delay."""
    lag = start
    dot = wav_energy = 0.0
    pieces = [wav[pos : pos + WINDOW] for pos in range(0, len(wav), WINDOW)]
    energies = [float(np.dot(piece, piece)) for piece in pieces]
    # A window this quiet (a pause in the sound) has nothing to fit: it keeps the
    # previous place, so that the search does not wander off during the pause.
    quiet = 1e-4 * max(energies)
    for index, piece in enumerate(pieces):
        pos = index * WINDOW
        slack = SLACK if energies[index] > quiet else 0
        lo = max(0, pos + lag - slack)
        hi = pos + lag + slack + len(piece)
        if hi > len(rec):
            return dot, wav_energy, pos + lag
        fits = np.correlate(rec[lo:hi], piece, "valid")
        best = int(np.argmax(fits))
        lag = lo + best - pos
        dot += float(fits[best])
        wav_energy += energies[index]
    # The whole WAV was heard: whatever else the recording holds counts against it.
    return dot, wav_energy, len(rec)


def score(rec, wav, max_delay):
    """(score, delay in samples) of rec as a playback of wav.

    The player's clock may differ a little from the nominal rate (a fraction of a per
    cent under Wine), so the WAV is followed window by window, each window finding its
    best place a few samples around where the previous one ended up. The score is the
    sum of the windows' correlations over the square root of the product of the WAV's
    energy and the recording's: 1.0 for a recording that is the WAV and nothing else.
    """
    if not np.any(rec) or len(wav) == 0:
        return 0.0, 0
    best = (0.0, 0)
    for start in onsets(rec, wav, max_delay):
        dot, wav_energy, end = follow(rec, wav, start)
        rec_energy = float(np.dot(rec[:end], rec[:end]))
        if wav_energy > 0.0 and rec_energy > 0.0:
            best = max(best, (dot / np.sqrt(wav_energy * rec_energy), start))
    return best


def name_of(path):
    return os.path.splitext(os.path.basename(path))[0]


def cmd_match(args):
    if args.expect not in [name_of(path) for path in args.wavs]:
        print(f"{args.expect} is not among the candidates", file=sys.stderr)
        return 2
    rec = read_recording(args.recording, args.format, args.channels)
    seconds = len(rec) / args.rate
    peak = float(np.max(np.abs(rec))) if len(rec) else 0.0
    if peak < SILENCE_PEAK:
        print(f"silent: {seconds:.2f} s recorded, peak {peak:.4f}; want {args.expect}")
        return 1
    results = []
    at_rate = {}
    for path in args.wavs:
        wav, rate = read_wav(path)
        if rate not in at_rate:
            at_rate[rate] = resample(rec, args.rate, rate)
        s, delay = score(at_rate[rate], wav, int(args.max_delay * rate))
        results.append((s, name_of(path), delay / rate))
    results.sort(reverse=True)
    best_score, best_name, best_delay = results[0]
    runner_up = results[1] if len(results) > 1 else (0.0, "none", 0.0)
    print(f"{best_name} {best_score:.3f} after {best_delay * 1000:.0f} ms "
          f"(next {runner_up[1]} {runner_up[0]:.3f}); {seconds:.2f} s recorded, peak {peak:.3f}")
    ok = (best_name == args.expect and best_score >= args.min_score
          and best_score - runner_up[0] >= args.min_margin)
    return 0 if ok else 1


def cmd_silent(args):
    loud = []
    total = 0.0
    for path in args.recordings:
        rec = read_recording(path, args.format, args.channels)
        total += len(rec) / args.rate
        peak = float(np.max(np.abs(rec))) if len(rec) else 0.0
        if peak >= SILENCE_PEAK:
            loud.append(f"{os.path.basename(path)} peak {peak:.3f}")
    if loud:
        print(f"not silent: {', '.join(loud)}")
        return 1
    print(f"silent: {len(args.recordings)} recording(s), {total:.2f} s")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--format", default="S16_LE", choices=sorted(FORMATS))
    parser.add_argument("--rate", type=int, default=48000)
    parser.add_argument("--channels", type=int, default=2)
    sub = parser.add_subparsers(dest="command", required=True)
    match = sub.add_parser("match")
    match.add_argument("recording")
    match.add_argument("--expect", required=True)
    match.add_argument("--min-score", type=float, default=0.8)
    match.add_argument("--min-margin", type=float, default=0.2)
    match.add_argument("--max-delay", type=float, default=0.5)
    match.add_argument("wavs", nargs="+")
    silent = sub.add_parser("silent")
    silent.add_argument("recordings", nargs="*")
    args = parser.parse_args()
    return cmd_match(args) if args.command == "match" else cmd_silent(args)


if __name__ == "__main__":
    sys.exit(main())
