#!/usr/bin/env python3
"""Draws plix's two icons and writes them as Windows .ico files.

Each icon is a tiny gauge like the program's own window: a light-yellow
strip with a thin dark border and green vertical bars of varying height.
Both files hold the same eight images: 16, 32 and 48 pixels in 256 colours
and in 32-bit colour with alpha, and 16 and 32 pixels in 16 colours.
plix.ico (the class icon) draws the bars as one continuous load curve, the
way the window does; plix-small.ico (the small class icon, shown in title
bars and the taskbar) draws fewer, wider bars with gaps so that they still
read at 16 pixels.

The .ico files are committed; rebuild them after changing this script with

    python3 res/make_icons.py

run from the repository root (or pass the output directory as the only
argument). Only the Python 3 standard library is used, and the output is
the same on every run.
"""

import math
import os
import struct
import sys

TRANSPARENT = None
BORDER = (48, 48, 48)
BACKGROUND = (255, 255, 128)
BAR = (20, 200, 40)

# (size in pixels, bits per pixel) in the order they are stored.
IMAGES = [
    (16, 4), (32, 4),
    (16, 8), (32, 8), (48, 8),
    (16, 32), (32, 32), (48, 32),
]

# Palette shared by the 4-bit and 8-bit images. Index 0 sits under the
# transparent pixels; the AND mask hides it.
PALETTE = [(0, 0, 0), BORDER, BACKGROUND, BAR]


def load(t):
    """Made-up load between 0.1 and 0.95 for a position t in [0, 1]."""
    value = (0.42 + 0.26 * math.sin(2.0 * math.pi * (1.3 * t + 0.05))
             + 0.13 * math.sin(2.0 * math.pi * (4.1 * t + 0.30)))
    return min(0.95, max(0.10, value))


def draw(size, continuous):
    """Returns size rows (top row first) of size pixels each; a pixel is an
    RGB tuple or TRANSPARENT."""
    border = 2 if size >= 48 else 1
    strip_height = (size * 3 // 4) & ~1
    top = (size - strip_height) // 2
    bottom = top + strip_height - 1
    pixels = [[TRANSPARENT] * size for _ in range(size)]
    for y in range(top, bottom + 1):
        for x in range(size):
            inside = (border <= x < size - border
                      and top + border <= y <= bottom - border)
            pixels[y][x] = BACKGROUND if inside else BORDER

    inner_left = border
    inner_width = size - 2 * border
    inner_bottom = bottom - border
    inner_height = strip_height - 2 * border
    if continuous:
        columns = [(x, x) for x in range(inner_left, inner_left + inner_width)]
    else:
        bar_width = max(1, size // 16 + (1 if size >= 32 else 0))
        step = bar_width + 1
        count = (inner_width - 1) // step
        left = inner_left + (inner_width - (count * step - 1)) // 2
        columns = [(left + i * step, left + i * step + bar_width - 1)
                   for i in range(count)]

    for index, (first, last) in enumerate(columns):
        t = index / max(1, len(columns) - 1)
        height = max(1, int(round(inner_height * load(t))))
        for x in range(first, last + 1):
            for y in range(inner_bottom - height + 1, inner_bottom + 1):
                pixels[y][x] = BAR
    return pixels


def row_bytes(bits_per_row):
    return ((bits_per_row + 31) // 32) * 4


def pack_rows(rows, bits_per_pixel, value_of):
    """Packs rows bottom-up, each padded to a multiple of four bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(row_bytes(len(row) * bits_per_pixel))
        for x, pixel in enumerate(row):
            value = value_of(pixel)
            if bits_per_pixel == 32:
                line[4 * x:4 * x + 4] = value
            elif bits_per_pixel == 8:
                line[x] = value
            elif bits_per_pixel == 4:
                line[x // 2] |= value << (4 if x % 2 == 0 else 0)
            elif bits_per_pixel == 1:
                line[x // 8] |= value << (7 - x % 8)
        out += line
    return bytes(out)


def palette_index(pixel):
    return 0 if pixel is TRANSPARENT else PALETTE.index(pixel)


def bgra(pixel):
    if pixel is TRANSPARENT:
        return bytes((0, 0, 0, 0))
    r, g, b = pixel
    return bytes((b, g, r, 255))


def image_bytes(size, bits_per_pixel, continuous):
    """One icon image: BITMAPINFOHEADER, palette, XOR bitmap, AND mask."""
    rows = draw(size, continuous)
    if bits_per_pixel == 32:
        palette = b""
        xor = pack_rows(rows, 32, bgra)
    else:
        entries = 1 << bits_per_pixel
        padded = PALETTE + [(0, 0, 0)] * (entries - len(PALETTE))
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in padded)
        xor = pack_rows(rows, bits_per_pixel, palette_index)
    mask = pack_rows(rows, 1, lambda p: 1 if p is TRANSPARENT else 0)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits_per_pixel,
                         0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + palette + xor + mask


def ico_bytes(continuous):
    images = [image_bytes(size, bits, continuous) for size, bits in IMAGES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), data in zip(IMAGES, images):
        colours = 16 if bits == 4 else 0
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0,
                                 1, bits, len(data), offset)
        offset += len(data)
    return directory + b"".join(images)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, continuous in (("plix.ico", True), ("plix-small.ico", False)):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(ico_bytes(continuous))


if __name__ == "__main__":
    main()
