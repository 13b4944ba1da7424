#!/usr/bin/env python3
"""Sets the time stamps a linker writes into a PE file to 0:
    pe-stamps.py FILE...
the COFF header's, the export directory's, the resource directory's and
each debug directory entry's, as mingw-w64's linker leaves them with
--no-insert-timestamp. Zig's linker (the ARM64 build) refuses that switch
and stamps the time it runs, so two builds of one commit would differ in
those bytes only. The debug id beside them (the CodeView record's GUID,
which the PDB repeats) is already a hash of the contents, and stays."""
import struct
import sys

from pe_file import pe_header


def sections(data, pe):
    count = struct.unpack_from('<H', data, pe + 6)[0]
    optional_size = struct.unpack_from('<H', data, pe + 20)[0]
    table = pe + 24 + optional_size
    for i in range(count):
        size, address, raw_size, raw_at = struct.unpack_from('<IIII', data, table + 40 * i + 8)
        yield address, max(size, raw_size), raw_at


def file_offset(data, pe, rva):
    for address, size, raw_at in sections(data, pe):
        if address <= rva < address + size:
            return raw_at + rva - address
    raise ValueError(f'address {rva:#x} lies in no section')


def stamp_offsets(data):
    """The file offsets of the four-byte time stamps."""
    pe = pe_header(data)
    yield pe + 8  # after the signature and the machine and section count
    optional = pe + 24
    magic = struct.unpack_from('<H', data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    directory = lambda index: struct.unpack_from('<II', data, directories + 8 * index)
    for index in (0, 2):  # the export and the resource directory: a stamp at +4
        rva, size = directory(index)
        if size:
            yield file_offset(data, pe, rva) + 4
    rva, size = directory(6)  # the debug directory: entries of 28 bytes, each stamped at +4
    if size:
        first = file_offset(data, pe, rva)
        for entry in range(size // 28):
            yield first + 28 * entry + 4


def main(paths):
    for path in paths:
        with open(path, 'r+b') as binary:
            data = binary.read()
            for offset in stamp_offsets(data):
                binary.seek(offset)
                binary.write(bytes(4))
    return 0


if __name__ == '__main__':
    if len(sys.argv) < 2:
        sys.exit('usage: pe-stamps.py FILE...')
    sys.exit(main(sys.argv[1:]))
