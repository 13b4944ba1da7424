"""Draws the product's pictures from their scalable sources at any size.

A source is a small SVG file (resources/pictures/) drawn on a 16 x 16 grid
with a subset of SVG that this module reads itself: circle, rect, line,
polyline and polygon, filled and stroked in plain colours. Any SVG viewer
shows a source as the light picture; two attributes of ours add to it:

    data-dark-fill, data-dark-stroke  the colour in the dark variant
    data-min-size                     drawn only at that many pixels or more

Small sizes are hinted: stroke widths become whole pixels and every edge of
a straight stroke or fill lands on a pixel boundary, so a 1-pixel line is one
row of full pixels instead of two half-grey ones. Coverage is computed per
pixel (exact across a row, 16 samples down it), so the same source, size and
variant always give the same bytes: nothing here depends on a library or the
machine but Python and zlib.
"""
import math
import re
import struct
import xml.etree.ElementTree as ElementTree
import zlib

GRID = 16.0
# Above this many pixels the drawing is left as designed, unhinted.
HINTED_UP_TO = 51
SVG = '{http://www.w3.org/2000/svg}'


class Picture:
    """One source: its shapes in drawing order."""

    def __init__(self, path):
        root = ElementTree.parse(path).getroot()
        box = [float(v) for v in root.get('viewBox', '0 0 16 16').split()]
        if box != [0.0, 0.0, GRID, GRID]:
            raise ValueError('%s: the grid is viewBox="0 0 16 16"' % path)
        self.shapes = [element for element in root.iter() if element.tag.replace(SVG, '') in SHAPES]

    def draw(self, size, dark=False):
        """The picture as rows of (r, g, b, a) bytes, size x size, top row first."""
        canvas = Canvas(size)
        grid = Grid(size / GRID, size <= HINTED_UP_TO)
        for element in self.shapes:
            if size < int(element.get('data-min-size', '0')):
                continue
            fill = colour(element, 'fill', dark)
            stroke = colour(element, 'stroke', dark)
            width = grid.stroke_width(float(element.get('stroke-width', '1'))) if stroke else 0.0
            outline = SHAPES[element.tag.replace(SVG, '')](element, grid, width)
            if fill and outline.fill:
                canvas.paint(outline.fill, fill)
            if stroke and outline.stroke:
                canvas.paint(outline.stroke, stroke)
        return canvas.pixels()


def colour(element, kind, dark):
    value = (dark and element.get('data-dark-' + kind)) or element.get(kind, 'none' if kind == 'stroke' else '#000000')
    if value == 'none':
        return None
    match = re.fullmatch(r'#([0-9a-fA-F]{6})', value)
    if not match:
        raise ValueError('colours are written #rrggbb: %r' % value)
    return tuple(int(match.group(1)[i:i + 2], 16) for i in (0, 2, 4))


class Grid:
    """From the 16-unit grid to pixels, with hinting at small sizes."""

    def __init__(self, scale, hinted):
        self.scale = scale
        self.hinted = hinted

    def stroke_width(self, width):
        pixels = width * self.scale
        return float(max(1, round(pixels))) if self.hinted else pixels

    def edge(self, value):
        """Where an edge of a fill lies."""
        pixels = value * self.scale
        return float(round(pixels)) if self.hinted else pixels

    def centre(self, value, width):
        """Where the middle of a stroke of that width lies: its two edges on pixel boundaries."""
        pixels = value * self.scale
        return round(pixels - width / 2) + width / 2 if self.hinted else pixels


class Outline:
    def __init__(self, fill=None, stroke=None):
        self.fill = fill
        self.stroke = stroke


def number(element, name):
    return float(element.get(name, '0'))


def points(element):
    values = [float(v) for v in re.split(r'[\s,]+', element.get('points', '').strip()) if v]
    return list(zip(values[0::2], values[1::2]))


def circle_shape(element, grid, width):
    cx, cy, r = number(element, 'cx'), number(element, 'cy'), number(element, 'r')
    # The outer edge (the fill's edge, or the stroke's outer edge) on whole pixels.
    left, right = grid.edge(cx - r - width / grid.scale / 2), grid.edge(cx + r + width / grid.scale / 2)
    top, bottom = grid.edge(cy - r - width / grid.scale / 2), grid.edge(cy + r + width / grid.scale / 2)
    centre = ((left + right) / 2, (top + bottom) / 2)
    outer = ((right - left) / 2, (bottom - top) / 2)
    fill_radius = (outer[0] - width / 2, outer[1] - width / 2) if width else outer
    stroke = None
    if width:
        inner = (outer[0] - width, outer[1] - width)
        stroke = [ellipse(centre, outer), list(reversed(ellipse(centre, inner)))] if min(inner) > 0 else \
            [ellipse(centre, outer)]
    return Outline([ellipse(centre, fill_radius)], stroke)


def ellipse(centre, radii):
    steps = max(24, int(4 * math.pi * max(radii)))
    return [(centre[0] + radii[0] * math.cos(2 * math.pi * i / steps),
             centre[1] + radii[1] * math.sin(2 * math.pi * i / steps)) for i in range(steps)]


def rect_shape(element, grid, width):
    x, y = number(element, 'x'), number(element, 'y')
    w, h = number(element, 'width'), number(element, 'height')
    corners = [(x, y), (x + w, y), (x + w, y + h), (x, y + h)]
    return polygon_outline(corners, grid, width, closed=True)


def line_shape(element, grid, width):
    ends = [(number(element, 'x1'), number(element, 'y1')), (number(element, 'x2'), number(element, 'y2'))]
    return polygon_outline(ends, grid, width, closed=False, cap=element.get('stroke-linecap', 'butt'))


def polyline_shape(element, grid, width):
    return polygon_outline(points(element), grid, width, closed=False, cap=element.get('stroke-linecap', 'butt'))


def polygon_shape(element, grid, width):
    return polygon_outline(points(element), grid, width, closed=True)


def polygon_outline(corners, grid, width, closed, cap='butt'):
    if width:
        placed = [(grid.centre(x, width), grid.centre(y, width)) for x, y in corners]
    else:
        placed = [(grid.edge(x), grid.edge(y)) for x, y in corners]
    fill = [placed] if closed else None
    stroke = None
    if width:
        if not closed and cap == 'square':
            placed = extend_ends(placed, width / 2)
        if closed:
            stroke = [offset(placed, width / 2, True), list(reversed(offset(placed, -width / 2, True)))]
        else:
            stroke = [offset(placed, width / 2, False) + list(reversed(offset(placed, -width / 2, False)))]
    return Outline(fill, stroke)


def extend_ends(path, length):
    def moved(point, towards, by):
        dx, dy = point[0] - towards[0], point[1] - towards[1]
        norm = math.hypot(dx, dy) or 1.0
        return (point[0] + dx / norm * by, point[1] + dy / norm * by)
    return [moved(path[0], path[1], length)] + path[1:-1] + [moved(path[-1], path[-2], length)]


def offset(path, distance, closed):
    """The path moved sideways by distance (left of its direction), corners mitred."""
    count = len(path)
    lines = []
    segments = range(count) if closed else range(count - 1)
    for i in segments:
        (x0, y0), (x1, y1) = path[i], path[(i + 1) % count]
        length = math.hypot(x1 - x0, y1 - y0) or 1.0
        nx, ny = -(y1 - y0) / length * distance, (x1 - x0) / length * distance
        lines.append(((x0 + nx, y0 + ny), (x1 + nx, y1 + ny)))
    result = []
    for i in range(count):
        if not closed and i == 0:
            result.append(lines[0][0])
        elif not closed and i == count - 1:
            result.append(lines[-1][1])
        else:
            result.append(meet(lines[i - 1], lines[i % len(lines)]))
    return result


def meet(first, second):
    (x1, y1), (x2, y2) = first
    (x3, y3), (x4, y4) = second
    d = (x1 - x2) * (y3 - y4) - (y1 - y2) * (x3 - x4)
    if abs(d) < 1e-9:
        return first[1]
    t = ((x1 - x3) * (y3 - y4) - (y1 - y3) * (x3 - x4)) / d
    return (x1 + t * (x2 - x1), y1 + t * (y2 - y1))


SHAPES = {'circle': circle_shape, 'rect': rect_shape, 'line': line_shape,
          'polyline': polyline_shape, 'polygon': polygon_shape}


class Canvas:
    """Premultiplied colour and alpha per pixel, painted over in order."""

    def __init__(self, size):
        self.size = size
        self.samples = 16 if size <= 64 else 5
        self.data = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def paint(self, polygons, rgb):
        for index, amount in self.coverage(polygons).items():
            pixel = self.data[index]
            keep = 1.0 - amount
            for channel in range(3):
                pixel[channel] = rgb[channel] / 255.0 * amount + pixel[channel] * keep
            pixel[3] = amount + pixel[3] * keep

    def coverage(self, polygons):
        """How much of each pixel the polygons cover (non-zero winding)."""
        rows = [[] for _ in range(self.size)]
        for polygon in polygons:
            for i, (x0, y0) in enumerate(polygon):
                x1, y1 = polygon[(i + 1) % len(polygon)]
                if y0 == y1:
                    continue
                edge = (min(y0, y1), max(y0, y1), x0, y0, (x1 - x0) / (y1 - y0), 1 if y1 > y0 else -1)
                for row in range(max(0, int(edge[0])), min(self.size, int(math.ceil(edge[1])))):
                    rows[row].append(edge)
        covered = {}
        weight = 1.0 / self.samples
        for row, edges in enumerate(rows):
            if not edges:
                continue
            line = [0.0] * (self.size + 1)
            for sample in range(self.samples):
                y = row + (sample + 0.5) * weight
                crossings = sorted((x0 + (y - y0) * slope, direction)
                                   for low, high, x0, y0, slope, direction in edges if low <= y < high)
                winding = 0
                for x, direction in crossings:
                    if winding == 0:
                        start = x
                    winding += direction
                    if winding == 0:
                        self.span(line, start, x, weight)
            for column in range(self.size):
                if line[column] > 0:
                    covered[row * self.size + column] = min(1.0, line[column])
        return covered

    def span(self, line, left, right, weight):
        left, right = max(0.0, left), min(float(self.size), right)
        column = int(math.floor(left))
        while column < right:
            line[column] += (min(right, column + 1) - max(left, column)) * weight
            column += 1

    def pixels(self):
        rows = []
        for row in range(self.size):
            out = []
            for r, g, b, a in self.data[row * self.size:(row + 1) * self.size]:
                alpha = round(a * 255)
                if alpha == 0:
                    out.append((0, 0, 0, 0))
                else:
                    out.append(tuple(min(255, round(c / a * 255)) for c in (r, g, b)) + (alpha,))
            rows.append(out)
        return rows


def png(rows):
    """A PNG file of 8-bit RGBA rows (colour type 6). No row filter: on these
    small flat pictures that packs best."""
    width, height = len(rows[0]), len(rows)
    raw = b''.join(b'\0' + bytes(v for pixel in row for v in pixel) for row in rows)

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def icon_file(images):
    """An .ico file of (size, PNG bytes) images, smallest first: each a 32-bit
    image with alpha, kept compressed as Windows reads them since Vista."""
    images = sorted(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + b''.join(data for _, data in images)


def read_icon(path):
    """{size: rows of (r, g, b, a)} of an .ico file as icon_file writes it."""
    with open(path, 'rb') as f:
        data = f.read()
    images = {}
    for i in range(struct.unpack_from('<H', data, 4)[0]):
        _, _, _, _, _, _, length, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        png = data[offset:offset + length]
        width, height, depth, kind = struct.unpack_from('>IIBB', png, 16)
        if (depth, kind) != (8, 6):
            raise ValueError('%s: not an 8-bit RGBA image' % path)
        raw, at = b'', 8
        while at < len(png):
            size, = struct.unpack_from('>I', png, at)
            if png[at + 4:at + 8] == b'IDAT':
                raw += png[at + 8:at + 8 + size]
            at += 12 + size
        raw = zlib.decompress(raw)
        stride = 1 + 4 * width
        lines = [raw[y * stride:(y + 1) * stride] for y in range(height)]
        if any(line[0] != 0 for line in lines):
            raise ValueError('%s: a row filter, which icon_file never writes' % path)
        images[width] = [[tuple(line[1 + 4 * x:5 + 4 * x]) for x in range(width)] for line in lines]
    return images
