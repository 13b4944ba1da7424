#!/usr/bin/env python3
"""The picture drawing tool: hinting to whole pixels; the committed icons the
DLL carries hold what the sources draw; each picture reads on every menu it
is shown on."""
import os
import struct
import sys
import tempfile
import unittest
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..')
sys.path.insert(0, os.path.join(ROOT, 'tools', 'pictures'))
import drawing  # noqa: E402
import surfaces  # noqa: E402
sys.path.insert(0, os.path.join(ROOT, 'tools'))
make_pictures = __import__('make-pictures')
ICONS = os.path.join(ROOT, 'resources', 'menu-icons')


def picture(body):
    handle, path = tempfile.mkstemp(suffix='.svg')
    with os.fdopen(handle, 'w') as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16">%s</svg>' % body)
    try:
        return drawing.Picture(path)
    finally:
        os.remove(path)


class Hinting(unittest.TestCase):
    def test_a_thin_stroke_is_whole_pixels_at_every_small_size(self):
        # A line one unit wide, off the pixel grid at most of these sizes.
        line = picture('<line x1="2" y1="7.3" x2="14" y2="7.3" stroke="#000000" stroke-width="1"/>')
        for size in (13, 15, 16, 19, 23, 25, 47):
            rows = line.draw(size)
            alphas = {y: {pixel[3] for pixel in row[3 * size // 16:12 * size // 16]} for y, row in enumerate(rows)}
            drawn = [y for y, values in alphas.items() if values != {0}]
            self.assertEqual([alphas[y] for y in drawn], [{255}] * len(drawn), 'size %d: no half-covered row' % size)
            self.assertEqual(len(drawn), max(1, round(size / 16)), 'size %d: the width in whole pixels' % size)

    def test_unhinted_above_the_small_sizes(self):
        line = picture('<line x1="2" y1="7.3" x2="14" y2="7.3" stroke="#000000" stroke-width="1"/>')
        partial = {pixel[3] for row in line.draw(150) for pixel in row} - {0, 255}
        self.assertTrue(partial, 'edges where the design puts them, anti-aliased')


def icon_images(path):
    """{size: rows of (r, g, b, a)} of an .ico file of PNG images, as drawing writes them."""
    with open(path, 'rb') as f:
        data = f.read()
    images = {}
    for i in range(struct.unpack_from('<H', data, 4)[0]):
        _, _, _, _, _, _, length, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        png = data[offset:offset + length]
        width, height, depth, kind = struct.unpack_from('>IIBB', png, 16)
        assert (depth, kind) == (8, 6), '8-bit RGBA'
        raw, at = b'', 8
        while at < len(png):
            size, = struct.unpack_from('>I', png, at)
            if png[at + 4:at + 8] == b'IDAT':
                raw += png[at + 8:at + 8 + size]
            at += 12 + size
        raw = zlib.decompress(raw)
        stride = 1 + 4 * width
        rows = []
        for y in range(height):
            line = raw[y * stride:(y + 1) * stride]
            assert line[0] == 0, 'no row filter'
            rows.append([tuple(line[1 + 4 * x:5 + 4 * x]) for x in range(width)])
        images[width] = rows
    return images


class CommittedIcons(unittest.TestCase):
    def test_hold_exactly_what_the_sources_draw_at_every_size_shown(self):
        for name, (source, icon, classic) in make_pictures.PICTURES.items():
            picture = drawing.Picture(os.path.join(ROOT, 'resources', 'pictures', source))
            for dark in (False, True):
                file = name + ('-dark' if dark else '') + '.ico'
                images = icon_images(os.path.join(ICONS, file))
                self.assertEqual(sorted(images), make_pictures.sizes(icon, classic), file)
                for size, rows in images.items():
                    self.assertTrue(rows == picture.draw(size, dark),
                                    '%s at %d: run tools/make-pictures.py resources/pictures resources/menu-icons'
                                    % (file, size))


class Contrast(unittest.TestCase):
    def test_every_picture_reads_on_every_menu_and_highlight_it_is_shown_on(self):
        # The set that reads on a light menu vanishes on a dark one, and the
        # other way round: each menu must get its own (the last two rows).
        rows = [(name, menu, highlight, dark == 'dark', True) for name, menu, highlight, dark in surfaces.SURFACES]
        rows += [('light set on Windows 11 dark', '#2b2b2b', None, False, False),
                 ('dark set on Windows 11 light', '#f9f9f9', None, True, False)]
        for name, menu, highlight, dark, reads in rows:
            for file in sorted(os.listdir(ICONS)):
                if file.endswith('-dark.ico') != dark:
                    continue
                for size, picture in icon_images(os.path.join(ICONS, file)).items():
                    worst = min(surfaces.edge_contrast(picture, surfaces.rgb(colour))
                                for colour in (menu, highlight) if colour)
                    with self.subTest(menu=name, picture=file, size=size):
                        if reads:
                            self.assertGreaterEqual(worst, surfaces.MINIMUM_CONTRAST)
                        elif file.startswith(('entry', 'product')):
                            # Their outlines are the first to go.
                            self.assertLess(worst, surfaces.MINIMUM_CONTRAST)


if __name__ == '__main__':
    unittest.main()
