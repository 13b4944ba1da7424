#!/usr/bin/env python3
"""Makes an icon of a menu picture, for Windows 11's menu, which shows icons
where the classic menu shows bitmaps:

    bitmap-to-icon.py PICTURE.bmp ICON.ico

PICTURE is one of the 16-colour menu pictures (resources/bitmaps/); its
light grey background (192, 192, 192), which the classic menu maps to the
3-D colour, becomes transparent. ICON holds two 16-colour images with the
picture's own palette, 16 x 16 and 32 x 32 (each pixel doubled), with the
picture in the middle. The same picture always gives the same bytes.
"""
import struct
import sys

BACKGROUND = (192, 192, 192)


def read_bitmap(path):
    """The picture's palette (16 (red, green, blue)) and rows of colour
    indices, top first."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:2] != b'BM':
        raise ValueError(f'{path}: not a bitmap')
    offset, = struct.unpack_from('<I', data, 10)
    size, width, height, _, bits, compression, _, _, _, used, _ = struct.unpack_from('<IiiHHIIiiII', data, 14)
    if bits != 4 or compression != 0 or width <= 0 or height == 0 or used > 16:
        raise ValueError(f'{path}: not an uncompressed 16-colour bitmap')
    palette = [struct.unpack_from('<BBB', data, 14 + size + 4 * i)[::-1] for i in range(used or 16)]
    palette += [(0, 0, 0)] * (16 - len(palette))
    stride = ((width * 4 + 31) // 32) * 4
    rows = []
    for row in range(abs(height)):
        start = offset + row * stride
        rows.append([(data[start + x // 2] >> (4 if x % 2 == 0 else 0)) & 0x0F for x in range(width)])
    if height > 0:  # stored bottom-up
        rows.reverse()
    return palette, rows


def icon_image(palette, rows, side, scale):
    """One icon image: its BITMAPINFOHEADER, palette, pixels (bottom-up, two
    to a byte) and transparency mask."""
    height, width = len(rows), len(rows[0])
    left = (side - width * scale) // 2
    top = (side - height * scale) // 2
    pixels = [[None] * side for _ in range(side)]
    for y in range(height * scale):
        for x in range(width * scale):
            index = rows[y // scale][x // scale]
            pixels[top + y][left + x] = None if palette[index] == BACKGROUND else index
    header = struct.pack('<IiiHHIIiiII', 40, side, side * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    colours = b''.join(bytes((blue, green, red, 0)) for red, green, blue in palette)
    colour_stride = ((side * 4 + 31) // 32) * 4
    mask_stride = ((side + 31) // 32) * 4
    colour_bytes = bytearray()
    mask_bytes = bytearray()
    for line in reversed(pixels):
        colour = bytearray(colour_stride)
        mask = bytearray(mask_stride)
        for x, index in enumerate(line):
            if index is None:  # transparent: black under a set mask bit
                mask[x // 8] |= 0x80 >> (x % 8)
            else:
                colour[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour_bytes += colour
        mask_bytes += mask
    return header + colours + bytes(colour_bytes) + bytes(mask_bytes)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    palette, rows = read_bitmap(argv[1])
    images = [(16, icon_image(palette, rows, 16, 1)), (32, icon_image(palette, rows, 32, 2))]
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for side, image in images:
        directory += struct.pack('<BBBBHHII', side, side, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(argv[2], 'wb') as f:
        f.write(directory + b''.join(image for _, image in images))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
