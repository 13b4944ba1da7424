#!/usr/bin/env python3
"""Draws the icons as 16-colour .ico files: the Settings page's two list icons
(16 x 16) and the product's icon (16 x 16 and 32 x 32):
    python3 tools/make-icons.py   (writes resources/icons/ beside it)

resources/icons/modified.ico (206): a light grey page with a dark red arrow
pointing into it from the left. resources/icons/accessed.ico (207): the same
page with a dark green arrow pointing out of it to the right.
resources/icons/tessaly.ico (the installer's Add/Remove Programs entry): the
stopwatch of the menu picture, drawn twice as large for 32 x 32. The pictures are
kept as text below so that a change to them can be read in a diff; run this
script again after editing them (the .ico files are committed).
"""
import os
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Letters of the pictures: '.' transparent, 'k' black, 'g' light grey (the
# page), 'd' dark grey (its edge), 'w' white, 'r' dark red, 'G' dark green.
COLOURS = {'k': 0, 'r': 1, 'G': 2, 'g': 7, 'd': 8, 'w': 15}

MODIFIED = """
.....dddddddd...
.....dwggggdgd..
.....dwggggdggd.
.....dwggggddddd
.....dwgggggggwd
.....dwr.gggggwd
.....dwrrgggggwd
rrrrrrrrrrggggwd
rrrrrrrrrrrgggwd
.....dwrrgggggwd
.....dwr.gggggwd
.....dwgggggggwd
.....dwgggggggwd
.....dwgggggggwd
.....dwwwwwwwwwd
.....ddddddddddd
"""

ACCESSED = """
.dddddddd.......
.dwggggdgd......
.dwggggdggd.....
.dwggggdddd.....
.dwgggggggd.....
.dwgggggggdGG...
.dwgggggggdGGG..
.dwgggGGGGGGGGG.
.dwgggGGGGGGGGGG
.dwgggggggdGGG..
.dwgggggggdGG...
.dwgggggggd.....
.dwgggggggd.....
.dwgggggggd.....
.dwwwwwwwwd.....
.dddddddddd.....
"""


STOPWATCH = """
......kkkk......
.......kk.......
.....kkkkkk.....
...kkwwwwwwkk...
..kwwwwwkwwwwk..
.kwwwwwwkwwwwwk.
.kwwwwwwkwwwwwk.
kwwwwwwwkwwwwwwk
kwwwwwwwkkkkwwwk
kwwwwwwwwwwwwwwk
.kwwwwwwwwwwwwk.
.kwwwwwwwwwwwwk.
..kwwwwwwwwwwk..
...kkwwwwwwkk...
.....kkkkkk.....
................
"""


def rows(picture):
    lines = [line for line in picture.strip('\n').split('\n')]
    assert len(lines) == 16 and all(len(line) == 16 for line in lines), "pictures are 16 x 16"
    return lines


def image(lines):
    """One icon image: header, palette, colour rows and mask rows, bottom-up."""
    size = len(lines)
    colour_rows = []
    mask_rows = []
    for line in reversed(lines):
        indices = [COLOURS.get(ch, 0) for ch in line]
        colour_rows.append(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2)))
        bits = 0
        for ch in line:
            bits = (bits << 1) | (1 if ch == '.' else 0)
        mask = bits.to_bytes(size // 8, 'big')
        mask_rows.append(mask + b'\0' * (-len(mask) % 4))  # rows padded to 4 bytes
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + b''.join(colour_rows) + b''.join(mask_rows)


def multi_size_ico(picture, scales):
    """One .ico file holding the picture at each scale (1 is 16 x 16)."""
    images = []
    for scale in scales:
        lines = [''.join(ch * scale for ch in line) for line in rows(picture) for _ in range(scale)]
        images.append((16 * scale, image(lines)))
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    for size, data in images:
        directory += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return directory + b''.join(data for _, data in images)


def ico(picture):
    lines = rows(picture)
    colour_rows = []
    mask_rows = []
    for line in reversed(lines):  # bitmaps are stored bottom-up
        indices = [COLOURS.get(ch, 0) for ch in line]
        colour_rows.append(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, 16, 2)))
        bits = 0
        for ch in line:
            bits = (bits << 1) | (1 if ch == '.' else 0)
        mask_rows.append(struct.pack('>H', bits) + b'\0\0')  # rows padded to 4 bytes
    header = struct.pack('<IiiHHIIiiII', 40, 16, 32, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + b''.join(colour_rows) + b''.join(mask_rows)
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 16, 16, 16, 0, 1, 4, len(image), 22)
    return directory + image


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'icons')
    os.makedirs(folder, exist_ok=True)
    for name, picture in (('modified.ico', MODIFIED), ('accessed.ico', ACCESSED)):
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(ico(picture))
    with open(os.path.join(folder, 'tessaly.ico'), 'wb') as out:
        out.write(multi_size_ico(STOPWATCH, (1, 2)))


if __name__ == '__main__':
    if sys.argv[1:] in (['-h'], ['--help']):
        print(__doc__.strip())
        sys.exit(0)
    main()
