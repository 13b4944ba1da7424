#!/usr/bin/env python3
"""Draws the menu pictures from their scalable sources (resources/pictures/)
into the icons the DLL carries, each a light and a dark one:

    make-pictures.py SOURCES OUT
    make-pictures.py resources/pictures resources/menu-icons

writes into the folder OUT, for each picture of the table below, NAME.ico
and NAME-dark.ico: 32-bit images with alpha (PNG-compressed) at every size
the picture is shown at. Windows 11's menu shows the icon sizes (16, 20, 24,
32 and 48 pixels: its 100 to 300 % scales); the classic menu shows the
check-mark sizes, one picture drawn for each size the check mark takes at
the usual scales. The icons are committed (resources/menu-icons/), so every
build carries the same bytes whatever its compression library would write;
tests/resources/drawing-test.py fails when they no longer hold what the
sources draw: run the second line above after changing a picture.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), 'pictures'))
import drawing  # noqa: E402

ICON_SIZES = (16, 20, 24, 32, 48)
# SM_CXMENUCHECK: Windows 10 and 11 at 100, 125, 150, 175, 200, 250 and 300 %
# (an odd size from the menu font's height), and Wine's 200 %.
# 13 where a smaller menu font gives it (and 100 % of Wine and the classic
# look, which a themed menu needs drawn too).
CHECK_SIZES = (13, 15, 19, 23, 25, 27, 31, 39, 47)

# icon name: (source, shown in Windows 11's menu, shown in the classic menu)
PICTURES = {
    'product': ('stopwatch.svg', True, False),
    'options': ('options.svg', True, True),
    'modified': ('modified.svg', True, True),
    'accessed': ('accessed.svg', True, True),
    'entry': ('menu.svg', False, True),
}


def sizes(icon, classic):
    chosen = set(ICON_SIZES if icon else ())
    if classic:
        chosen.update(CHECK_SIZES)
    return sorted(chosen)


def main(argv):
    if len(argv) == 2 and argv[1] in ('-h', '--help'):
        sys.stdout.write(__doc__)
        return 0
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    sources, out = argv[1], argv[2]
    os.makedirs(out, exist_ok=True)
    for name, (source, icon, classic) in PICTURES.items():
        picture = drawing.Picture(os.path.join(sources, source))
        for dark in (False, True):
            images = [(size, drawing.png(picture.draw(size, dark))) for size in sizes(icon, classic)]
            path = os.path.join(out, name + ('-dark' if dark else '') + '.ico')
            with open(path, 'wb') as f:
                f.write(drawing.icon_file(images))
    return 0


if __name__ == '__main__':
    if sys.argv[1:] in (['-h'], ['--help']):
        print(__doc__.strip())
        sys.exit(0)
    sys.exit(main(sys.argv))
