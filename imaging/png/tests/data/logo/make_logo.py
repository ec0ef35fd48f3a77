#!/usr/bin/env python3
"""Draws the 32 x 32 logo mark: a globe crossed by a winding path, on a transparent ground.

Writes RGBA PNG (8 bits, colour type 6, chunks IHDR, IDAT, IEND) to the file named on the command line.
Edges are antialiased by 4 x 4 supersampling, so the image has every kind of alpha: 0, partial and 255.
"""
import math
import struct
import sys
import zlib

SIZE = 32
SUB = 4


def globe(x, y):
    """Colour of the globe at (x, y) in pixels, or None outside it."""
    cx, cy, r = 15.5, 15.5, 13.5
    dx, dy = (x - cx) / r, (y - cy) / r
    d2 = dx * dx + dy * dy
    if d2 > 1.0:
        return None
    dz = math.sqrt(1.0 - d2)
    light = 0.45 + 0.55 * max(0.0, -0.4 * dx - 0.5 * dy + 0.77 * dz)
    colour = (40 * light, 110 * light, 210 * light)
    # Two meridians and the equator, as thin lighter lines.
    lon = math.atan2(dx, dz)
    if abs(dy) < 0.05 or any(abs(lon - m) < 0.06 for m in (-0.8, 0.0, 0.8)):
        colour = (150, 200, 250)
    return colour


def path(x, y):
    """The winding path: a sine curve across the globe, orange, 2.4 pixels wide."""
    py = 17 + 6 * math.sin((x - 2) / 28 * 2 * math.pi)
    if 1 <= x <= 31 and abs(y - py) < 1.2:
        return (245, 150, 30)
    return None


def pixel(px, py):
    r = g = b = a = 0.0
    for sy in range(SUB):
        for sx in range(SUB):
            x, y = px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB
            c = path(x, y) or globe(x, y)
            if c:
                r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
    if a == 0:
        return (0, 0, 0, 0)
    return (round(r / a), round(g / a), round(b / a), round(255 * a / (SUB * SUB)))


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    rows = b"".join(b"\0" + bytes(v for x in range(SIZE) for v in pixel(x, y)) for y in range(SIZE))
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
    with open(sys.argv[1], "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main()
