#!/usr/bin/env python3
"""Synthesises the game's three sounds as 16-bit mono PCM WAV files.

    python3 tools/sounds/makesounds.py [OUTPUT-FOLDER]   (default: data/sounds)

Only the standard library is used, and the output is the same on every run.
"""

import math
import struct
import sys
import wave
from pathlib import Path

RATE = 44100
PEAK = 0.7  # of full scale, leaving headroom


def envelope(t, length, attack, release):
    """Raised-cosine fade in and out: no step at either end, so no click."""
    if t < attack:
        return 0.5 - 0.5 * math.cos(math.pi * t / attack)
    if t > length - release:
        left = max(0.0, length - t)
        return 0.5 - 0.5 * math.cos(math.pi * left / release)
    return 1.0


def note(freq, length, partials, decay, attack=0.005, release=0.03):
    """A tone of the given partials (ratio, weight), decaying exponentially."""
    samples = []
    for i in range(int(length * RATE)):
        t = i / RATE
        value = sum(w * math.sin(2 * math.pi * freq * r * t) for r, w in partials)
        samples.append(value * math.exp(-t / decay) * envelope(t, length, attack, release))
    return samples


def mix_at(target, samples, start):
    offset = int(start * RATE)
    needed = offset + len(samples) - len(target)
    if needed > 0:
        target.extend([0.0] * needed)
    for i, s in enumerate(samples):
        target[offset + i] += s


def normalised(samples):
    top = max(abs(s) for s in samples)
    return [s * PEAK / top for s in samples]


def chime():
    """A bright two-note bell: E6 then B6, with slightly inharmonic upper partials."""
    bell = [(1.0, 1.0), (2.0, 0.45), (2.76, 0.25), (5.4, 0.08)]
    out = []
    mix_at(out, note(1318.5, 0.75, bell, 0.22), 0.0)
    mix_at(out, note(1975.5, 0.65, bell, 0.2), 0.09)
    return out


def fanfare():
    """A short rising arpeggio, C5 E5 G5 and a held C6, with brass-like harmonics."""
    brass = [(1.0, 1.0), (2.0, 0.5), (3.0, 0.3), (4.0, 0.15)]
    out = []
    steps = [(523.25, 0.0, 0.16), (659.25, 0.13, 0.16), (783.99, 0.26, 0.16),
             (1046.5, 0.39, 0.75)]
    for freq, start, length in steps:
        mix_at(out, note(freq, length, brass, 0.6, attack=0.012, release=0.06), start)
    return out


def falling():
    """A soft tone gliding down an octave and a fifth, fading as it falls."""
    length = 1.1
    start_freq, end_freq = 660.0, 220.0
    out = []
    phase = 0.0
    for i in range(int(length * RATE)):
        t = i / RATE
        freq = start_freq * (end_freq / start_freq) ** (t / length)
        phase += 2 * math.pi * freq / RATE
        value = math.sin(phase) + 0.3 * math.sin(2 * phase) + 0.1 * math.sin(3 * phase)
        out.append(value * math.exp(-t / 0.8) * envelope(t, length, 0.02, 0.25))
    return out


def write(path, samples):
    frames = b"".join(struct.pack("<h", round(s * 32767)) for s in normalised(samples))
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2] / "data" / "sounds"
    folder.mkdir(parents=True, exist_ok=True)
    for name, make in (("correctword.wav", chime), ("finishchain.wav", fanfare),
                       ("timeup.wav", falling)):
        write(folder / name, make())
        print(f"{folder / name}")


if __name__ == "__main__":
    main()
