#!/usr/bin/env python3
"""Draws the Windows 11 package's logos from the product's picture source:
    make-logos.py PICTURE OUT_FOLDER
writes StoreLogo.png (50 x 50), Square44x44Logo.png and Square150x150Logo.png
into OUT_FOLDER, the sizes the manifest names (at scale 100, the only one it
names), each drawn for its size from PICTURE (resources/pictures/
stopwatch.svg) on a transparent ground, as Windows shows a logo on its own
colour. The same picture always gives the same bytes."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'pictures'))
import drawing  # noqa: E402

SIZES = (('StoreLogo.png', 50), ('Square44x44Logo.png', 44), ('Square150x150Logo.png', 150))


def main(source, folder):
    picture = drawing.Picture(source)
    os.makedirs(folder, exist_ok=True)
    for name, size in SIZES:
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(drawing.png(picture.draw(size)))


if __name__ == '__main__':
    if sys.argv[1:] in (['-h'], ['--help']):
        print(__doc__.strip())
        sys.exit(0)
    if len(sys.argv) != 3:
        sys.exit('usage: make-logos.py PICTURE OUT_FOLDER')
    main(sys.argv[1], sys.argv[2])
