#!/usr/bin/env python3
"""Draws the four 13 x 13 menu pictures as 16-colour BMP files.

Each picture is a grid of palette letters; light grey is the background,
which LR_LOADMAP3DCOLORS turns into the menu's own face colour. Run from the
repository root:
    python3 tools/make-bitmaps.py [OUT_FOLDER]   (default resources/bitmaps/)
"""
import os
import struct
import sys

# The 16 palette entries (R, G, B) and the letter each is drawn with.
PALETTE = [
    ("k", (0, 0, 0)),         # black
    ("r", (128, 0, 0)),       # dark red
    ("g", (0, 128, 0)),       # dark green
    ("o", (128, 128, 0)),     # olive
    ("n", (0, 0, 128)),
    ("p", (128, 0, 128)),
    ("t", (0, 128, 128)),
    (".", (192, 192, 192)),   # light grey: the background
    ("d", (128, 128, 128)),   # dark grey
    ("l", (224, 224, 224)),   # very light grey: the page
    ("G", (0, 255, 0)),
    ("Y", (255, 255, 0)),
    ("B", (0, 0, 255)),
    ("M", (255, 0, 255)),
    ("C", (0, 255, 255)),
    ("w", (255, 255, 255)),   # white
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}

PICTURES = {
    # A stopwatch: round white face, black rim and hands, a stem on top.
    "menu.bmp": [
        ".....kkk.....",
        "......k......",
        "....kkkkk....",
        "...kwwwwwk...",
        "..kwwwkwwwk..",
        "..kwwwkwwwk..",
        "..kwwwkwwwk..",
        "..kwwwkkkwk..",
        "..kwwwwwwwk..",
        "..kwwwwwwwk..",
        "...kwwwwwk...",
        "....kkkkk....",
        ".............",
    ],
    # Crossed tools: a black hammer head top left, an olive axe blade top
    # right, their dark grey and black handles crossing.
    "options.bmp": [
        ".kkkk....ooo.",
        ".kkkkk..oooo.",
        ".kkkkd..ooook",
        "...kkdd.ookk.",
        ".....dd.kk...",
        "......ddk....",
        "......kkd....",
        ".....kk.dd...",
        "....kk...dd..",
        "...kk.....dd.",
        "..kk.......dd",
        ".kk.........d",
        ".............",
    ],
    # A very light grey page with a black outline, a dark red arrow pointing
    # into it from the left.
    "modified.bmp": [
        "....kkkkkk...",
        "....kllllkk..",
        "....kllllklk.",
        "....kllllkkkk",
        "...r.kllllllk",
        "...rr.llllllk",
        "rrrrrrllllllk",
        "...rr.llllllk",
        "...r.kllllllk",
        "....kllllllk.",
        "....kllllllk.",
        "....kllllllk.",
        "....kkkkkkkk.",
    ],
    # The same page, with a dark green arrow pointing out of it to the right.
    "accessed.bmp": [
        "kkkkkk.......",
        "kllllkk......",
        "kllllklk.....",
        "kllllkkkk....",
        "kllllllkg....",
        "klllllllgg...",
        "kllllggggggg.",
        "klllllllgg...",
        "kllllllkg....",
        "kllllllk.....",
        "kllllllk.....",
        "kllllllk.....",
        "kkkkkkkk.....",
    ],
}


def bmp_bytes(rows):
    height = len(rows)
    width = len(rows[0])
    for row in rows:
        if len(row) != width:
            raise ValueError("ragged picture: %r" % row)
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(stride)
        for x, letter in enumerate(row):
            value = INDEX[letter]
            line[x // 2] |= value << 4 if x % 2 == 0 else value
        pixels += line
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + bytes(pixels)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join("resources", "bitmaps")
    os.makedirs(out, exist_ok=True)
    for name, rows in PICTURES.items():
        if len(rows) != 13 or any(len(row) != 13 for row in rows):
            raise ValueError("%s is not 13 x 13" % name)
        with open(os.path.join(out, name), "wb") as f:
            f.write(bmp_bytes(rows))


if __name__ == "__main__":
    if sys.argv[1:] in (['-h'], ['--help']):
        print(__doc__.strip())
        sys.exit(0)
    main()
