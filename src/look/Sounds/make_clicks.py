#!/usr/bin/env python3
"""Writes the two short click sounds of the program (16-bit mono PCM WAV).

CLICK: a bright tick for buttons and check boxes.
LIST:  a softer, lower tick for combo boxes and labelled edits.
Run from this folder: python3 make_clicks.py
"""
import math
import struct
import wave

RATE = 22050


def tick(path, frequency, duration, decay, volume):
    frames = int(RATE * duration)
    samples = bytearray()
    for n in range(frames):
        t = n / RATE
        attack = min(1.0, n / 22.0)  # about 1 ms, so the start does not pop
        envelope = attack * math.exp(-t / decay)
        value = volume * envelope * (math.sin(2 * math.pi * frequency * t)
                                     + 0.35 * math.sin(2 * math.pi * 2.7 * frequency * t))
        samples += struct.pack('<h', max(-32767, min(32767, int(value * 32767 / 1.35))))
    with wave.open(path, 'wb') as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(samples))


tick('click.wav', 2400.0, 0.030, 0.006, 0.6)
tick('list.wav', 1300.0, 0.045, 0.010, 0.5)
