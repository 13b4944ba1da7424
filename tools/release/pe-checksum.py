#!/usr/bin/env python3
"""Writes the PE checksum into the optional header of each Windows binary:
    pe-checksum.py FILE...
Signing tools and some scanners read it; Windows checks it for drivers. The
sum is the one CheckSumMappedFile computes: the file's 16-bit words added
with their carries folded back, the checksum field itself counted as 0,
plus the file's length. objcopy writes such a sum too, but the stripped
binaries end with the string table that the debug link's long section name
needs, of odd size, and readers differ on an odd last byte (Windows' loader
pairs it with a zero, osslsigncode leaves it out and calls the sum
invalid). So a file whose length is not a multiple of 8 first gets zeros up
to one, as signing pads it anyway, and then its sum."""
import struct
import sys

from pe_file import pe_header


def checksum_offset(data):
    return pe_header(data) + 4 + 20 + 64  # signature, file header, then the optional header's CheckSum


def pe_checksum(data, field):
    words = bytearray(data + b'\0' * (len(data) % 2))
    words[field:field + 4] = bytes(4)  # the field itself counts as 0
    total = 0
    for (word,) in struct.iter_unpack('<H', words):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def main(paths):
    for path in paths:
        with open(path, 'r+b') as binary:
            data = binary.read()
            data += bytes(-len(data) % 8)
            binary.write(bytes(len(data) - binary.tell()))
            field = checksum_offset(data)
            binary.seek(field)
            binary.write(struct.pack('<I', pe_checksum(data, field)))
    return 0


if __name__ == '__main__':
    if sys.argv[1:] in (['-h'], ['--help']):
        print(__doc__.strip())
        sys.exit(0)
    if len(sys.argv) < 2:
        sys.exit('usage: pe-checksum.py FILE...')
    sys.exit(main(sys.argv[1:]))
