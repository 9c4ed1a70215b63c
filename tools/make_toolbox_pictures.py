#!/usr/bin/env python3
"""Writes the small pictures the build compiles into resources:

- tarvik/default_toolbox.bmp: Tarvik's toolbox picture for a control class that
  names none, 16 x 15 pixels, 16 colours, the letters OCX in black on grey.
- tests/windows/probe_control/probe_icon.ico: the test control's 16 x 16 icon, a
  black frame around dark red, which a toolbox lookup falls back to when the
  class names no bitmap the module has.

Both use the 16 standard VGA colours. Run from anywhere; the files are written
beside the repository's sources and committed.
"""

import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# (red, green, blue) of the 16 standard VGA colours, in their usual order.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, GREY = 0, 1, 7

LETTERS = {
    "O": [".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."],
    "C": [".###", "#...", "#...", "#...", "#...", "#...", ".###"],
    "X": ["#..#", "#..#", ".##.", ".##.", ".##.", "#..#", "#..#"],
}


def colour_table():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA)


def packed_rows(pixels, width):
    """Bottom-up rows of 4-bit indices, each padded to a multiple of 4 bytes."""
    stride = ((width * 4 + 31) // 32) * 4
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, index in enumerate(row):
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        out += line
    return bytes(out)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def default_toolbox():
    width, height = 16, 15
    pixels = [[GREY] * width for _ in range(height)]
    for number, letter in enumerate("OCX"):
        left = 1 + number * 5
        for dy, line in enumerate(LETTERS[letter]):
            for dx, mark in enumerate(line):
                if mark == "#":
                    pixels[4 + dy][left + dx] = BLACK
    bits = packed_rows(pixels, width)
    offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info_header(width, height, len(bits)) + colour_table() + bits


def probe_icon():
    side = 16
    pixels = [
        [BLACK if x in (0, side - 1) or y in (0, side - 1) else DARK_RED for x in range(side)]
        for y in range(side)
    ]
    colour = packed_rows(pixels, side)
    mask = bytes(4 * side)  # every pixel opaque
    image = info_header(side, side * 2, len(colour) + len(mask)) + colour_table() + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", side, side, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def write(relative, data):
    path = os.path.join(ROOT, relative)
    with open(path, "wb") as file:
        file.write(data)
    print(f"{relative}: {len(data)} bytes")


if __name__ == "__main__":
    write("tarvik/default_toolbox.bmp", default_toolbox())
    write("tests/windows/probe_control/probe_icon.ico", probe_icon())
