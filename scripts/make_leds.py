#!/usr/bin/env python3
"""Draws the indicator lamps in resources/leds/ (25x25 RGBA PNG, standard library only)."""
import math
import os
import struct
import zlib

SIZE = 25
SAMPLES = 4  # per axis, for smooth edges
COLOURS = {"red": (230, 30, 30), "green": (30, 200, 40), "yellow": (245, 210, 20)}


def png(pixels):
    """A square RGBA PNG of rows of (r, g, b, a) tuples."""
    size = len(pixels)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def lamp(rgb, lit):
    centre, radius, rim = SIZE / 2, SIZE / 2 - 1.5, 1.2
    base = rgb if lit else tuple(int(c * 0.35) for c in rgb)
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px = x + (sx + 0.5) / SAMPLES
                    py = y + (sy + 0.5) / SAMPLES
                    d = math.hypot(px - centre, py - centre)
                    if d > radius:
                        continue
                    if d > radius - rim:
                        colour = (60, 60, 60)
                    else:
                        # A highlight up and to the left makes the lamp look round.
                        h = math.hypot(px - centre + 3, py - centre + 3) / radius
                        shine = max(0.0, 1.0 - h) * (0.8 if lit else 0.3)
                        colour = tuple(c + (255 - c) * shine for c in base)
                    for i in range(3):
                        acc[i] += colour[i]
                    acc[3] += 1
            n = acc[3]
            if n == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(acc[i] / n) for i in range(3)) + (int(255 * n / SAMPLES ** 2),))
        rows.append(row)
    return rows


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "leds")
    os.makedirs(out, exist_ok=True)
    for name, rgb in COLOURS.items():
        for lit in (True, False):
            path = os.path.join(out, f"{name}_{'on' if lit else 'off'}.png")
            with open(path, "wb") as f:
                f.write(png(lamp(rgb, lit)))


if __name__ == "__main__":
    main()
