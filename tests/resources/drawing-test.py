#!/usr/bin/env python3
"""The picture drawing tool: hinting to whole pixels, and the same bytes from
the same sources (two builds of one commit agree)."""
import filecmp
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..')
sys.path.insert(0, os.path.join(ROOT, 'tools', 'pictures'))
import drawing  # noqa: E402


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


class SameBytes(unittest.TestCase):
    def test_two_runs_write_the_same_icons(self):
        tool = os.path.join(ROOT, 'tools', 'make-pictures.py')
        sources = os.path.join(ROOT, 'resources', 'pictures')
        with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second:
            for out in (first, second):
                subprocess.run([sys.executable, tool, sources, out], check=True)
            names = sorted(os.listdir(first))
            self.assertEqual(len(names), 10)
            _, mismatch, errors = filecmp.cmpfiles(first, second, names, shallow=False)
            self.assertEqual((mismatch, errors), ([], []))


if __name__ == '__main__':
    unittest.main()
