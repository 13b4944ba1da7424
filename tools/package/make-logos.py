#!/usr/bin/env python3
"""Makes the Windows 11 package's logos from the product's icon:
    make-logos.py ICON OUT_FOLDER
writes StoreLogo.png (50 x 50), Square44x44Logo.png and Square150x150Logo.png
into OUT_FOLDER: the icon's largest picture scaled to each size (nearest
pixel, so the drawing stays crisp), its mask as transparency. The same icon
always gives the same bytes."""
import os
import struct
import sys
import zlib

SIZES = (('StoreLogo.png', 50), ('Square44x44Logo.png', 44), ('Square150x150Logo.png', 150))


def largest_picture(data):
    """The icon's largest image as rows of (r, g, b, a), top row first."""
    _, kind, count = struct.unpack_from('<HHH', data, 0)
    if kind != 1 or count == 0:
        raise ValueError('not an icon file')
    entries = [struct.unpack_from('<BBBBHHII', data, 6 + 16 * i) for i in range(count)]
    entry = max(entries, key=lambda e: (e[0] or 256, e[5]))
    offset = entry[7]
    header_size, width, double_height, _, bits = struct.unpack_from('<IiiHH', data, offset)
    height = double_height // 2
    if data[offset + 1:offset + 4] == b'PNG':
        raise ValueError('icons holding PNG pictures are not read here')
    palette_size = (1 << bits) if bits <= 8 else 0
    palette_at = offset + header_size
    palette = [struct.unpack_from('<BBBB', data, palette_at + 4 * i) for i in range(palette_size)]
    colour_at = palette_at + 4 * palette_size
    colour_stride = ((width * bits + 31) // 32) * 4
    mask_at = colour_at + colour_stride * height
    mask_stride = ((width + 31) // 32) * 4
    rows = []
    for y in range(height - 1, -1, -1):  # stored bottom-up
        row = []
        for x in range(width):
            if bits <= 8:
                bit = x * bits
                byte = data[colour_at + y * colour_stride + bit // 8]
                index = (byte >> (8 - bits - bit % 8)) & ((1 << bits) - 1)
                b, g, r, _ = palette[index]
                alpha = 255
            else:
                pixel = colour_at + y * colour_stride + x * (bits // 8)
                b, g, r = data[pixel:pixel + 3]
                alpha = data[pixel + 3] if bits == 32 else 255
            if bits != 32:
                transparent = data[mask_at + y * mask_stride + x // 8] >> (7 - x % 8) & 1
                alpha = 0 if transparent else alpha
            row.append((r, g, b, alpha))
        rows.append(row)
    return rows


def scaled(rows, size):
    height, width = len(rows), len(rows[0])
    return [[rows[y * height // size][x * width // size] for x in range(size)] for y in range(size)]


def png(rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    width, height = len(rows[0]), len(rows)
    raw = b''.join(b'\0' + bytes(v for pixel in row for v in pixel) for row in rows)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main(icon, folder):
    with open(icon, 'rb') as source:
        picture = largest_picture(source.read())
    os.makedirs(folder, exist_ok=True)
    for name, size in SIZES:
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(png(scaled(picture, size)))


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit('usage: make-logos.py ICON OUT_FOLDER')
    main(sys.argv[1], sys.argv[2])
