#!/usr/bin/env python3
"""Packs the Windows 11 package (a packaging zip) from a folder:
    pack-package.py FOLDER OUT.msix
FOLDER holds AppxManifest.xml and the files it names (the logos under
Assets/). The package holds them, then AppxBlockMap.xml (each file's size,
local header size and the SHA-256 of each 64 KB block) and
[Content_Types].xml, which is what Windows reads before it trusts a file.

Laid out as Microsoft's packer lays it out where it matters: the XML parts
deflated, each 64 KB block of a file flushed on its own so that the block
map can give the block's compressed size, pictures (already compressed)
stored. Signing rewrites [Content_Types].xml deflated whatever its entry
said, so a stored entry would no longer match its bytes. Name order, a
fixed time and no extra fields: one folder always gives the same bytes."""
import base64
import hashlib
import os
import struct
import sys
import zlib

BLOCK = 64 * 1024
DOS_TIME, DOS_DATE = 0, (1980 - 1980) << 9 | 1 << 5 | 1  # 1980-01-01 00:00, the zip format's first day
CONTENT_TYPES = {'png': 'image/png', 'xml': 'application/vnd.ms-appx.manifest+xml'}
BLOCK_MAP_TYPE = 'application/vnd.ms-appx.blockmap+xml'
STORED = {'png'}  # already compressed
STORE, DEFLATE = 0, 8


def files_of(folder):
    names = []
    for root, _, files in os.walk(folder):
        for name in files:
            names.append(os.path.relpath(os.path.join(root, name), folder).replace(os.sep, '/'))
    if 'AppxManifest.xml' not in names:
        raise SystemExit('pack-package: %s has no AppxManifest.xml' % folder)
    for name in names:
        if extension(name) not in CONTENT_TYPES:
            raise SystemExit('pack-package: no content type for %s' % name)
    return sorted(names, key=lambda n: (n != 'AppxManifest.xml', n))


def extension(name):
    return name.rsplit('.', 1)[-1].lower()


def deflated_blocks(content):
    """The raw deflate stream of content and each 64 KB block's share of it
    (the stream's closing bytes belong to no block)."""
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    sizes, data = [], b''
    for start in range(0, len(content), BLOCK):
        chunk = compressor.compress(content[start:start + BLOCK]) + compressor.flush(zlib.Z_FULL_FLUSH)
        sizes.append(len(chunk))
        data += chunk
    return data + compressor.flush(zlib.Z_FINISH), sizes


class ZipWriter:
    def __init__(self):
        self.data = bytearray()
        self.central = bytearray()
        self.count = 0

    def add(self, name, content, method, packed):
        """Adds one file (packed: its bytes as stored); returns the size of its local header."""
        encoded = name.encode('ascii')
        crc = zlib.crc32(content)
        header = struct.pack('<IHHHHHIIIHH', 0x04034B50, 20, 0, method, DOS_TIME, DOS_DATE, crc, len(packed),
                             len(content), len(encoded), 0) + encoded
        self.central += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014B50, 20, 20, 0, method, DOS_TIME, DOS_DATE, crc,
                                    len(packed), len(content), len(encoded), 0, 0, 0, 0, 0,
                                    len(self.data)) + encoded
        self.data += header + packed
        self.count += 1
        return len(header)

    def add_part(self, name, content):
        """A part outside the block map, deflated."""
        self.add(name, content, DEFLATE, deflated_blocks(content)[0])

    def bytes(self):
        end = struct.pack('<IHHHHIIH', 0x06054B50, 0, 0, self.count, self.count, len(self.central), len(self.data), 0)
        return bytes(self.data + self.central + end)


def add_file(archive, name, content):
    """Adds a payload file; returns its block map entry."""
    blocks = [content[start:start + BLOCK] for start in range(0, len(content), BLOCK)]
    if extension(name) in STORED:
        header_size = archive.add(name, content, STORE, content)
        sizes = [None] * len(blocks)
    else:
        packed, sizes = deflated_blocks(content)
        header_size = archive.add(name, content, DEFLATE, packed)
    lines = ['  <File Name="%s" Size="%d" LfhSize="%d">' % (name.replace('/', '\\'), len(content), header_size)]
    for block, size in zip(blocks, sizes):
        digest = base64.b64encode(hashlib.sha256(block).digest()).decode('ascii')
        lines.append('    <Block Hash="%s"%s />' % (digest, '' if size is None else ' Size="%d"' % size))
    lines.append('  </File>')
    return '\n'.join(lines)


def main(folder, out):
    archive = ZipWriter()
    entries = []
    for name in files_of(folder):
        with open(os.path.join(folder, name), 'rb') as source:
            entries.append(add_file(archive, name, source.read()))
    block_map = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                 '<BlockMap xmlns="http://schemas.microsoft.com/appx/2010/blockmap" '
                 'HashMethod="http://www.w3.org/2001/04/xmlenc#sha256">\n' + '\n'.join(entries) + '\n</BlockMap>\n')
    archive.add_part('AppxBlockMap.xml', block_map.encode('utf-8'))
    types = ''.join('<Default Extension="%s" ContentType="%s" />' % item for item in sorted(CONTENT_TYPES.items()))
    content_types = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                     '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">' + types +
                     '<Override PartName="/AppxBlockMap.xml" ContentType="%s" /></Types>\n' % BLOCK_MAP_TYPE)
    archive.add_part('[Content_Types].xml', content_types.encode('utf-8'))
    with open(out, 'wb') as package:
        package.write(archive.bytes())


if __name__ == '__main__':
    if sys.argv[1:] in (['-h'], ['--help']):
        print(__doc__.strip())
        sys.exit(0)
    if len(sys.argv) != 3:
        sys.exit('usage: pack-package.py FOLDER OUT.msix')
    main(sys.argv[1], sys.argv[2])
