"""The menus Tessaly's pictures are shown on, and what each one gets
(shellext/MenuTheme.cpp chooses; docs/windows11.md says why):

    name, the menu's colour, its highlight, the set of colour pictures,
    the text colours on the menu and on the highlight (None: themed)

Themed menus (Windows 10 and 11) blend a picture's alpha onto the menu and
onto the highlight, so it must read on both. Menus drawn without a theme
(the classic look, high contrast) get each picture's ink as a monochrome
bitmap, which they draw in the item's text colour: the menu text on the
menu, the highlighted text on the highlight; there the set is that of the
first menu's icons in high contrast. The colours are those of the themes
as shown on screen; the classic grey and its highlight are Windows 2000's
COLOR_MENU and COLOR_HIGHLIGHT; the contrast themes' highlights are those
of Windows 11's Night sky (black) and Desert (light), as the Firefox design
system lists them (toolkit/themes/shared/design-system, "HCM Theme":
Highlight, HighlightText).
"""

SURFACES = (
    ('Windows 10 light', '#f2f2f2', '#91c9f7', 'light', None),
    ('Windows 11 light', '#f9f9f9', '#e0e0e0', 'light', None),
    ('Windows 11 dark', '#2b2b2b', '#414141', 'dark', None),
    ('classic grey', '#d4d0c8', '#0a246a', 'light', ('#000000', '#ffffff')),
    ('High Contrast Black', '#000000', '#d6b4fd', 'dark', ('#ffffff', '#2b2b2b')),
    ('High Contrast White', '#ffffff', '#903909', 'light', ('#000000', '#fff5e3')),
)

# Contrast the outlines and marks of a picture keep against the colour
# behind it (the least of WCAG's non-text contrast).
MINIMUM_CONTRAST = 3.0


def rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def luminance(colour):
    def linear(channel):
        value = channel / 255.0
        return value / 12.92 if value <= 0.04045 else ((value + 0.055) / 1.055) ** 2.4
    return 0.2126 * linear(colour[0]) + 0.7152 * linear(colour[1]) + 0.0722 * linear(colour[2])


def contrast(first, second):
    lighter, darker = sorted((luminance(first), luminance(second)), reverse=True)
    return (lighter + 0.05) / (darker + 0.05)


def ink(pixel):
    """Whether a pixel of a light picture is ink in its monochrome bitmap
    (as shellext/MenuPictures.cpp decides): a third dark or more, so a
    one-pixel line drawn across two half-covered pixels keeps both."""
    return pixel[3] / 255.0 * (1.0 - luminance(pixel[:3])) >= 1.0 / 3


def monochrome(rows, colour):
    """The picture as a menu without a theme draws it: its ink in `colour`."""
    return [[colour + (255,) if ink(pixel) else (0, 0, 0, 0) for pixel in row] for row in rows]


def edge_contrast(rows, background):
    """The least contrast where the picture meets the colour behind it: at
    every step from a pixel of the picture (at least half covered) out to
    one that is not, the better of that pixel's colour and the colour of
    the pixel next inside it. An anti-aliased fringe thus counts with the
    line it belongs to, and a fill reads only where its own colour does."""
    size = len(rows)

    def inked(x, y):
        return 0 <= x < size and 0 <= y < size and rows[y][x][3] >= 128
    least = float('inf')
    for y in range(size):
        for x in range(size):
            if not inked(x, y):
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if inked(x + dx, y + dy):
                    continue
                best = contrast(rows[y][x][:3], background)
                if inked(x - dx, y - dy):
                    best = max(best, contrast(rows[y - dy][x - dx][:3], background))
                least = min(least, best)
    return least
