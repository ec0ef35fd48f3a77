#!/usr/bin/env python3
"""Draws the program's logo (PNG), the frames of its turning globe and the result tree's node images
(BMP) into this folder."""
import math
import struct
import zlib


def write_png(path, width, height, pixels):
    rows = b"".join(b"\x00" + bytes(c for px in pixels[y * width:(y + 1) * width] for c in px)
                    for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(rows, 9)))
        f.write(chunk(b"IEND", b""))


def write_bmp(path, width, height, pixels):
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixels[y * width + x]
            row += bytes((b, g, r))
        row += b"\x00" * (stride - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


# A 5x7 font for the logo's letters.
FONT = {
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
}


def logo():
    w, h = 200, 52
    px = [(0, 0, 0, 0)] * (w * h)

    def put(x, y, c):
        if 0 <= x < w and 0 <= y < h:
            px[y * w + x] = c

    # A small site tree: a root box with three branches.
    navy = (20, 50, 120, 255)
    for x in range(6, 20):
        for y in range(8, 18):
            put(x, y, navy)
    for y in range(18, 44):
        put(12, y, navy)
    for i, y in enumerate((24, 33, 42)):
        for x in range(12, 22):
            put(x, y, navy)
        for x in range(22, 30):
            for yy in range(y - 3, y + 2):
                put(x, yy, (40 + 60 * i, 140, 60, 255))
    # The name in blocks of 3x3 pixels.
    x0 = 40
    for ch in "PATHWEAVER":
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, bit in enumerate(line):
                if bit == "1":
                    for dx in range(3):
                        for dy in range(3):
                            put(x0 + gx * 3 + dx, 14 + gy * 3 + dy, navy)
        x0 += 16
    return w, h, px


def globe(frame, frames):
    size = 48
    px = []
    mask = []
    for y in range(size):
        for x in range(size):
            dx, dy = (x - 23.5) / 22.0, (y - 23.5) / 22.0
            r2 = dx * dx + dy * dy
            if r2 > 1.0:
                px.append((255, 0, 255))
                mask.append((255, 255, 255))
                continue
            mask.append((0, 0, 0))
            lon = math.asin(max(-1.0, min(1.0, dx / math.sqrt(max(1e-9, 1 - dy * dy))))) + 2 * math.pi * frame / frames
            lat = math.asin(max(-1.0, min(1.0, dy)))
            land = math.sin(3 * lon) * math.cos(2 * lat) + 0.4 * math.sin(5 * lon + 1.3) > 0.35
            shade = 0.55 + 0.45 * math.sqrt(max(0.0, 1 - r2))
            base = (60, 150, 70) if land else (40, 90, 200)
            px.append(tuple(int(c * shade) for c in base))
    return size, px, mask


# The result tree's node images, 12 x 12; magenta is transparent.
TREE_COLOURS = {".": (255, 0, 255), "k": (0, 0, 0), "w": (255, 255, 255), "y": (255, 224, 112),
                "o": (192, 144, 32), "b": (0, 0, 128), "g": (128, 128, 128), "G": (64, 160, 64),
                "c": (160, 208, 255)}
TREE_IMAGES = {
    "tree_folder.bmp": [
        "............",
        ".kkkk.......",
        "kyyyyk......",
        "kwwwwwkkkkk.",
        "kwyyyyyyyyok",
        "kwyyyyyyyyok",
        "kwyyyyyyyyok",
        "kwyyyyyyyyok",
        "kwyyyyyyyyok",
        "kooooooooook",
        ".kkkkkkkkkk.",
        "............",
    ],
    "tree_page.bmp": [
        ".kkkkkkk....",
        ".kwwwwwkk...",
        ".kwwwwwkwk..",
        ".kwwwwwkkkk.",
        ".kwbbbbbbwk.",
        ".kwwwwwwwwk.",
        ".kwbbbbbbwk.",
        ".kwwwwwwwwk.",
        ".kwbbbbbbwk.",
        ".kwwwwwwwwk.",
        ".kkkkkkkkkk.",
        "............",
    ],
    "tree_image.bmp": [
        "kkkkkkkkkkkk",
        "kccccccccyck",
        "kcccccccccck",
        "kcccccccccck",
        "kcccGcccccck",
        "kccGGGccccck",
        "kcGGGGGcGcck",
        "kGGGGGGGGGck",
        "kGGGGGGGGGGk",
        "kGGGGGGGGGGk",
        "kkkkkkkkkkkk",
        "............",
    ],
}


if __name__ == "__main__":
    w, h, px = logo()
    write_png("logo.png", w, h, px)
    frames = 11
    for i in range(frames):
        size, px, mask = globe(i, frames)
        write_bmp("globe%d.bmp" % i, size, size, px)
    write_bmp("globe_mask.bmp", size, size, mask)
    for name, rows in TREE_IMAGES.items():
        write_bmp(name, 12, 12, [TREE_COLOURS[c] for row in rows for c in row])
