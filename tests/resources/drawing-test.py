#!/usr/bin/env python3
"""The picture drawing tool: hinting to whole pixels; the committed icons the
DLL carries hold what the sources draw; each picture reads on every menu it
is shown on, and keeps its shape as the ink a menu without a theme draws."""
import copy
import os
import sys
import tempfile
import unittest

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


class CommittedIcons(unittest.TestCase):
    def test_hold_exactly_what_the_sources_draw_at_every_size_shown(self):
        for name, (source, icon, classic) in make_pictures.PICTURES.items():
            picture = drawing.Picture(os.path.join(ROOT, 'resources', 'pictures', source))
            for dark in (False, True):
                file = name + ('-dark' if dark else '') + '.ico'
                images = drawing.read_icon(os.path.join(ICONS, file))
                self.assertEqual(sorted(images), make_pictures.sizes(icon, classic), file)
                for size, rows in images.items():
                    self.assertTrue(rows == picture.draw(size, dark),
                                    '%s at %d: run tools/make-pictures.py resources/pictures resources/menu-icons'
                                    % (file, size))


class Contrast(unittest.TestCase):
    def test_every_picture_reads_on_every_menu_and_highlight_it_is_shown_on(self):
        # The set that reads on a light menu vanishes on a dark one, and the
        # other way round: each menu must get its own (the last two rows).
        rows = [(name, menu, highlight, dark == 'dark', text, True)
                for name, menu, highlight, dark, text in surfaces.SURFACES]
        rows += [('light set on Windows 11 dark', '#2b2b2b', None, False, None, False),
                 ('dark set on Windows 11 light', '#f9f9f9', None, True, None, False)]
        for name, menu, highlight, dark, text, reads in rows:
            for file in sorted(os.listdir(ICONS)):
                for size, picture in drawing.read_icon(os.path.join(ICONS, file)).items():
                    if text and size in make_pictures.CHECK_SIZES:
                        # Without a theme: the light picture's ink in the text colours.
                        if file.endswith('-dark.ico'):
                            continue
                        shown = [(surfaces.monochrome(picture, surfaces.rgb(ink)), colour)
                                 for ink, colour in zip(text, (menu, highlight))]
                    elif file.endswith('-dark.ico') == dark:
                        # Blended; the first menu's icons in high contrast on its colour.
                        shown = [(picture, colour) for colour in (menu, None if text else highlight) if colour]
                    else:
                        continue
                    worst = min(surfaces.edge_contrast(image, surfaces.rgb(colour)) for image, colour in shown)
                    with self.subTest(menu=name, picture=file, size=size):
                        if reads:
                            self.assertGreaterEqual(worst, surfaces.MINIMUM_CONTRAST)
                        elif file.startswith(('entry', 'product')):
                            # Their outlines are the first to go.
                            self.assertLess(worst, surfaces.MINIMUM_CONTRAST)

    def test_the_monochrome_pictures_keep_every_mark_and_leave_the_fills_clear_at_every_size(self):
        # A mark reads on white (3 : 1); a fill that does not (the face, the
        # pages) is left to the menu, else the ink would be a blob.
        white = (255, 255, 255)
        for name, (source, _, classic) in make_pictures.PICTURES.items():
            if not classic:
                continue
            picture = drawing.Picture(os.path.join(ROOT, 'resources', 'pictures', source))
            fills = {drawing.colour(shape, 'fill', False) for shape in picture.shapes} - {None}
            fills = {fill for fill in fills if surfaces.contrast(fill, white) < surfaces.MINIMUM_CONTRAST}
            for size in make_pictures.CHECK_SIZES:
                whole = picture.draw(size)
                marked = 0
                for index, shape in enumerate(picture.shapes):
                    alone = copy.copy(picture)
                    alone.shapes = [shape]
                    mark = [(x, y) for y, row in enumerate(alone.draw(size)) for x, pixel in enumerate(row)
                            if pixel[3] >= 128 and surfaces.contrast(pixel[:3], white) >= surfaces.MINIMUM_CONTRAST]
                    marked += len(mark)
                    with self.subTest(picture=name, size=size, shape=index):
                        self.assertGreaterEqual(sum(surfaces.ink(whole[y][x]) for x, y in mark), 0.9 * len(mark))
                with self.subTest(picture=name, size=size):
                    self.assertGreater(marked, size)
                    self.assertFalse([pixel for row in whole for pixel in row
                                      if pixel[3] == 255 and pixel[:3] in fills and surfaces.ink(pixel)])


if __name__ == '__main__':
    unittest.main()
