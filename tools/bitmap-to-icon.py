#!/usr/bin/env python3
"""Makes an icon of a menu picture, for Windows 11's menu, which shows icons
where the classic menu shows bitmaps:

    bitmap-to-icon.py PICTURE.bmp ICON.ico

PICTURE is one of the 16-colour menu pictures (resources/bitmaps/); its
light grey background (192, 192, 192), which the classic menu maps to the
3-D colour, becomes transparent. ICON holds two 32-bit images, 16 x 16 and
32 x 32 (each pixel doubled), with the picture in the middle. The same
picture always gives the same bytes.
"""
import struct
import sys

BACKGROUND = (192, 192, 192)


def read_bitmap(path):
    """The picture's rows, top first, as lists of (red, green, blue)."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:2] != b'BM':
        raise ValueError(f'{path}: not a bitmap')
    offset, = struct.unpack_from('<I', data, 10)
    size, width, height, _, bits, compression, _, _, _, used, _ = struct.unpack_from('<IiiHHIIiiII', data, 14)
    if bits != 4 or compression != 0 or width <= 0 or height == 0:
        raise ValueError(f'{path}: not an uncompressed 16-colour bitmap')
    colours = used or 16
    palette = [struct.unpack_from('<BBB', data, 14 + size + 4 * i)[::-1] for i in range(colours)]
    stride = ((width * 4 + 31) // 32) * 4
    rows = []
    for row in range(abs(height)):
        start = offset + row * stride
        line = []
        for x in range(width):
            byte = data[start + x // 2]
            line.append(palette[(byte >> 4) if x % 2 == 0 else (byte & 0x0F)])
        rows.append(line)
    if height > 0:  # stored bottom-up
        rows.reverse()
    return rows


def icon_image(rows, side, scale):
    """One icon image: its BITMAPINFOHEADER, pixels (bottom-up BGRA) and mask."""
    height, width = len(rows), len(rows[0])
    left = (side - width * scale) // 2
    top = (side - height * scale) // 2
    pixels = [[None] * side for _ in range(side)]
    for y in range(height * scale):
        for x in range(width * scale):
            colour = rows[y // scale][x // scale]
            pixels[top + y][left + x] = None if colour == BACKGROUND else colour
    header = struct.pack('<IiiHHIIiiII', 40, side, side * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour_bytes = bytearray()
    mask_bytes = bytearray()
    mask_stride = ((side + 31) // 32) * 4
    for line in reversed(pixels):
        mask = bytearray(mask_stride)
        for x, pixel in enumerate(line):
            if pixel is None:
                colour_bytes += b'\0\0\0\0'
                mask[x // 8] |= 0x80 >> (x % 8)
            else:
                red, green, blue = pixel
                colour_bytes += bytes((blue, green, red, 255))
        mask_bytes += mask
    return header + bytes(colour_bytes) + bytes(mask_bytes)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    rows = read_bitmap(argv[1])
    images = [(16, icon_image(rows, 16, 1)), (32, icon_image(rows, 32, 2))]
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for side, image in images:
        directory += struct.pack('<BBBBHHII', side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(argv[2], 'wb') as f:
        f.write(directory + b''.join(image for _, image in images))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
