#!/usr/bin/env python3
"""Our packer's output as the package format wants it, read back with
Python's zip reader, and the logos it packs:
    packer-test.py STAGE
STAGE is the built package's folder (the manifest and its Assets). A copy of
it, with a stored and a deflated part of more than 64 KB added, is packed
twice: the same bytes both times; every entry sound; pictures stored, the
XML parts deflated; the block map naming each payload file as Windows does
(backslashes), with its size and local header size and one block per
65,536 bytes, each block's hash that of its bytes and, for a deflated file,
its size that of its own compressed bytes, which inflate alone. The built
logos keep the icon's transparency: each has fully transparent pixels."""
import base64
import hashlib
import io
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile
import zlib

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
PACKER = os.path.join(ROOT, 'tools', 'package', 'pack-package.py')
BLOCK = 65536
BLOCK_MAP = '{http://schemas.microsoft.com/appx/2010/blockmap}'


def alphas(png):
    """Every pixel's alpha of an 8-bit RGBA, non-interlaced PNG (as the logos are drawn)."""
    at, chunks = 8, {}
    while at < len(png):
        length, kind = struct.unpack_from('>I4s', png, at)
        chunks[kind] = chunks.get(kind, b'') + png[at + 8:at + 8 + length]
        at += 12 + length
    width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', chunks[b'IHDR'])
    if (depth, colour, interlace) != (8, 6, 0):
        raise ValueError('a logo that is no 8-bit RGBA picture')
    raw, stride, previous, values = zlib.decompress(chunks[b'IDAT']), width * 4, bytearray(width * 4), []
    for y in range(height):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = row[x - 4] if x >= 4 else 0
            up, corner = previous[x], previous[x - 4] if x >= 4 else 0
            guess = left + up - corner
            paeth = min((abs(guess - left), 0, left), (abs(guess - up), 1, up), (abs(guess - corner), 2, corner))[2]
            row[x] = (row[x] + (0, left, up, (left + up) // 2, paeth)[kind]) & 0xFF
        values.extend(row[3::4])
        previous = row
    return values


def inflated(packed):
    """What a raw deflate stream piece inflates to, and whether it ended the stream."""
    inflater = zlib.decompressobj(-15)
    try:
        return inflater.decompress(packed), inflater.eof
    except zlib.error:
        return None, False


def check_package(data, folder):
    problems = []
    archive = zipfile.ZipFile(io.BytesIO(data))
    if archive.testzip() is not None:
        problems.append('entry %s does not read back' % archive.testzip())
    entries = {info.filename: info for info in archive.infolist()}
    for name, info in entries.items():
        source = os.path.join(folder, *name.split('/'))
        if os.path.isfile(source) and archive.read(name) != open(source, 'rb').read():
            problems.append('%s is not the file packed' % name)
        expected = zipfile.ZIP_STORED if name.endswith('.png') else zipfile.ZIP_DEFLATED
        if info.compress_type != expected:
            problems.append('%s is %s' % (name, 'deflated' if info.compress_type else 'stored'))
    block_map = ET.fromstring(archive.read('AppxBlockMap.xml'))
    listed = set()
    for entry in block_map.iter(BLOCK_MAP + 'File'):
        name = entry.get('Name')
        info = entries.get(name.replace('\\', '/'))
        listed.add(name)
        if info is None or ('/' in info.filename) != ('\\' in name):
            problems.append('block map name %r is not an entry spelled with backslashes' % name)
            continue
        content = archive.read(info)
        name_length, extra_length = struct.unpack_from('<HH', data, info.header_offset + 26)
        if int(entry.get('Size')) != len(content) or int(entry.get('LfhSize')) != 30 + name_length + extra_length:
            problems.append('%s: block map size or local header size wrong' % name)
        blocks = entry.findall(BLOCK_MAP + 'Block')
        if len(blocks) != (len(content) + BLOCK - 1) // BLOCK:
            problems.append('%s: %d blocks for %d bytes' % (name, len(blocks), len(content)))
        packed_at = info.header_offset + 30 + name_length + extra_length
        for index, block in enumerate(blocks):
            piece = content[index * BLOCK:(index + 1) * BLOCK]
            if block.get('Hash') != base64.b64encode(hashlib.sha256(piece).digest()).decode('ascii'):
                problems.append('%s: block %d hash is not its bytes\'' % (name, index))
            if info.compress_type == zipfile.ZIP_STORED:
                if block.get('Size') is not None:
                    problems.append('%s: a stored block has a compressed size' % name)
                continue
            size = int(block.get('Size', -1))
            if inflated(data[packed_at:packed_at + size]) != (piece, False):
                problems.append('%s: block %d compressed size %d does not cover it alone' % (name, index, size))
            packed_at += size
        # After the blocks only the deflate stream's end remains.
        if info.compress_type == zipfile.ZIP_DEFLATED and inflated(
                data[packed_at:info.header_offset + 30 + name_length + extra_length + info.compress_size]) != (b'', True):
            problems.append('%s: the blocks\' compressed sizes do not add up to its compressed bytes' % name)
    payload = {name.replace('/', '\\') for name in entries} - {'AppxBlockMap.xml', '[Content_Types].xml'}
    if listed != payload:
        problems.append('the block map lists %s, the payload is %s' % (sorted(listed), sorted(payload)))
    return problems


def main(stage):
    failures = 0
    with tempfile.TemporaryDirectory(prefix='tessaly-packer.') as work:
        folder = os.path.join(work, 'files')
        shutil.copytree(stage, folder)
        with open(os.path.join(folder, 'Assets', 'large.png'), 'wb') as large:
            large.write(hashlib.sha256(b'seed').digest() * 4688)  # 150,016 bytes: three blocks
        with open(os.path.join(folder, 'Assets', 'large.xml'), 'wb') as large:
            large.write(b''.join(b'<line number="%d" />\n' % n for n in range(9000)))  # about 200 KB: four blocks
        packages = []
        for name in ('first.msix', 'second.msix'):
            subprocess.run([sys.executable, PACKER, folder, os.path.join(work, name)], check=True)
            packages.append(open(os.path.join(work, name), 'rb').read())
        for what, problems in (('two packings give the same bytes', [] if packages[0] == packages[1] else ['differ']),
                               ('the package reads back as packed', check_package(packages[0], folder))):
            print('%s %s%s' % ('FAIL' if problems else 'ok  ', what, ': ' + '; '.join(problems) if problems else ''))
            failures += bool(problems)
    for logo in sorted(os.listdir(os.path.join(stage, 'Assets'))):
        values = alphas(open(os.path.join(stage, 'Assets', logo), 'rb').read())
        transparent = values.count(0)
        ok = 0 < transparent < len(values)
        print('%s %s keeps the icon\'s transparency: %d of %d pixels transparent' % (
            'ok  ' if ok else 'FAIL', logo, transparent, len(values)))
        failures += not ok
    print('packer: %s' % ('all passed' if not failures else '%d failed' % failures))
    return 1 if failures else 0


if __name__ == '__main__':
    if sys.argv[1:] in (['-h'], ['--help']):
        print(__doc__.strip())
        sys.exit(0)
    if len(sys.argv) != 2:
        sys.exit('usage: packer-test.py STAGE')
    sys.exit(main(sys.argv[1]))
