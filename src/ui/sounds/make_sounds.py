#!/usr/bin/python3
"""Writes the three sounds carried inside the program (ui.qrc) into this folder.

    /usr/bin/python3 src/ui/sounds/make_sounds.py

16-bit mono PCM at 22050 Hz, a fraction of a second each, so every file stays under 15 KB.
The output depends on nothing but this script: running it again gives the same bytes.
"""

import math
import os
import struct
import wave

RATE = 22050
PEAK = 0.45 * 32767  # leave headroom: the tones are added together
ATTACK = 0.005  # seconds of fade-in and fade-out, so no sound starts or stops with a click


def envelope(t, length, decay):
    """Short fade-in, exponential decay, short fade-out."""
    fade_in = min(1.0, t / ATTACK)
    fade_out = min(1.0, (length - t) / ATTACK)
    return fade_in * fade_out * math.exp(-decay * t)


def tone(freq, length, decay, harmonics=((1, 1.0),)):
    """One tone as floats in -1..1; harmonics are (multiple, weight) pairs."""
    total = sum(weight for _, weight in harmonics)
    count = math.ceil(RATE * length)
    samples = []
    for i in range(count):
        t = i / RATE
        value = sum(weight * math.sin(2 * math.pi * freq * multiple * t)
                    for multiple, weight in harmonics) / total
        samples.append(value * envelope(t, length, decay))
    return samples


def chime():
    """Default: two descending bell-like notes (E6 then C6)."""
    bell = ((1, 1.0), (2, 0.3), (3, 0.1))
    return tone(1318.5, 0.11, 14, bell) + tone(1046.5, 0.16, 12, bell)


def beep():
    """OK: one short high beep."""
    return tone(1760.0, 0.15, 8)


def buzz():
    """Error: a low, rough buzz (odd harmonics, close to a square wave)."""
    square = ((1, 1.0), (3, 1 / 3), (5, 1 / 5), (7, 1 / 7))
    return tone(196.0, 0.28, 3, square)


def write(name, samples):
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    frames = b"".join(struct.pack("<h", int(round(s * PEAK))) for s in samples)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)
    print(f"{name}: {len(samples) / RATE:.3f} s, {os.path.getsize(path)} bytes")


if __name__ == "__main__":
    write("default.wav", chime())
    write("ok.wav", beep())
    write("error.wav", buzz())
