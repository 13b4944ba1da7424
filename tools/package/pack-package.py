#!/usr/bin/env python3
"""Packs the Windows 11 package (a packaging zip) from a folder:
    pack-package.py FOLDER OUT.msix
FOLDER holds AppxManifest.xml and the files it names (the logos under
Assets/). The package holds them, then AppxBlockMap.xml (each file's size,
local header size and the SHA-256 of each 64 KB block) and
[Content_Types].xml, which is what Windows reads before it trusts a file.
The files are stored, not compressed, in name order, with a fixed time and
no extra fields, so one folder always gives the same bytes."""
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


def files_of(folder):
    names = []
    for root, _, files in os.walk(folder):
        for name in files:
            names.append(os.path.relpath(os.path.join(root, name), folder).replace(os.sep, '/'))
    if 'AppxManifest.xml' not in names:
        raise SystemExit('pack-package: %s has no AppxManifest.xml' % folder)
    for name in names:
        if name.rsplit('.', 1)[-1].lower() not in CONTENT_TYPES:
            raise SystemExit('pack-package: no content type for %s' % name)
    return sorted(names, key=lambda n: (n != 'AppxManifest.xml', n))


class ZipWriter:
    def __init__(self):
        self.data = bytearray()
        self.central = bytearray()
        self.count = 0

    def add(self, name, content):
        """Stores one file; returns the size of its local header."""
        encoded = name.encode('ascii')
        crc = zlib.crc32(content)
        header = struct.pack('<IHHHHHIIIHH', 0x04034B50, 20, 0, 0, DOS_TIME, DOS_DATE, crc, len(content),
                             len(content), len(encoded), 0) + encoded
        self.central += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014B50, 20, 20, 0, 0, DOS_TIME, DOS_DATE, crc,
                                    len(content), len(content), len(encoded), 0, 0, 0, 0, 0, len(self.data)) + encoded
        self.data += header + content
        self.count += 1
        return len(header)

    def bytes(self):
        end = struct.pack('<IHHHHIIH', 0x06054B50, 0, 0, self.count, self.count, len(self.central), len(self.data), 0)
        return bytes(self.data + self.central + end)


def block_map_entry(name, content, header_size):
    lines = ['  <File Name="%s" Size="%d" LfhSize="%d">' % (name.replace('/', '\\'), len(content), header_size)]
    for start in range(0, len(content), BLOCK):
        digest = base64.b64encode(hashlib.sha256(content[start:start + BLOCK]).digest()).decode('ascii')
        lines.append('    <Block Hash="%s" />' % digest)
    lines.append('  </File>')
    return '\n'.join(lines)


def main(folder, out):
    archive = ZipWriter()
    entries = []
    for name in files_of(folder):
        with open(os.path.join(folder, name), 'rb') as source:
            content = source.read()
        entries.append(block_map_entry(name, content, archive.add(name, content)))
    block_map = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                 '<BlockMap xmlns="http://schemas.microsoft.com/appx/2010/blockmap" '
                 'HashMethod="http://www.w3.org/2001/04/xmlenc#sha256">\n' + '\n'.join(entries) + '\n</BlockMap>\n')
    archive.add('AppxBlockMap.xml', block_map.encode('utf-8'))
    types = ''.join('<Default Extension="%s" ContentType="%s" />' % item for item in sorted(CONTENT_TYPES.items()))
    content_types = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                     '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">' + types +
                     '<Override PartName="/AppxBlockMap.xml" ContentType="%s" /></Types>\n' % BLOCK_MAP_TYPE)
    archive.add('[Content_Types].xml', content_types.encode('utf-8'))
    with open(out, 'wb') as package:
        package.write(archive.bytes())


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit('usage: pack-package.py FOLDER OUT.msix')
    main(sys.argv[1], sys.argv[2])
