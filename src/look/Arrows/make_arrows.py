#!/usr/bin/env python3
"""Writes the step arrows the skins draw on spin and time fields: a small
solid triangle pointing up or down, in a light and a dark colour."""
import struct
import zlib

WIDTH, HEIGHT = 9, 5
COLOURS = {"light": (0xE4, 0xE6, 0xEA), "dark": (0x1D, 0x3F, 0x66)}


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def triangle(colour, up):
    rows = []
    for line in range(HEIGHT):
        half = line if up else HEIGHT - 1 - line
        row = []
        for x in range(WIDTH):
            inside = abs(x - WIDTH // 2) <= half
            row += list(colour) + [255 if inside else 0]
        rows.append(row)
    return rows


for name, colour in COLOURS.items():
    for direction in ("up", "down"):
        with open(f"{direction}-{name}.png", "wb") as out:
            out.write(png(triangle(colour, direction == "up")))
