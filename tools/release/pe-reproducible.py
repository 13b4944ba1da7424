#!/usr/bin/env python3
"""Makes a PE file from Zig's linker (the ARM64 build) the same bytes
wherever it is built:
    pe-reproducible.py FILE...
Sets to 0 the time stamps the linker writes (the COFF header's, the export
and resource directories', each debug directory entry's), as mingw-w64's
linker leaves them with --no-insert-timestamp, which Zig's refuses; and
removes the debug directory's record of the PDB the linker wrote beside the
file. That PDB is not shipped (the DWARF in the file is its debug
information, as in the other builds) and its id, a hash of the PDB, changes
with the build folder's path, which the PDB holds."""
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


def cleared_ranges(data):
    """The (offset, length) of every byte range to zero."""
    pe = pe_header(data)
    yield pe + 8, 4  # the COFF header's time stamp
    optional = pe + 24
    magic = struct.unpack_from('<H', data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    for index in (0, 2):  # the export and the resource directory: a stamp at +4
        rva, size = struct.unpack_from('<II', data, directories + 8 * index)
        if size:
            yield file_offset(data, pe, rva) + 4, 4
    rva, size = struct.unpack_from('<II', data, directories + 8 * 6)  # the debug directory, 28 bytes an entry
    if size:
        first = file_offset(data, pe, rva)
        for entry in range(size // 28):
            record_size, _, record_at = struct.unpack_from('<III', data, first + 28 * entry + 16)
            if record_at:
                yield record_at, record_size
        yield first, size
        yield directories + 8 * 6, 8


def main(paths):
    for path in paths:
        with open(path, 'r+b') as binary:
            data = binary.read()
            for offset, length in list(cleared_ranges(data)):
                binary.seek(offset)
                binary.write(bytes(length))
    return 0


if __name__ == '__main__':
    if len(sys.argv) < 2 or sys.argv[1] in ('-h', '--help'):
        print(__doc__.strip())
        sys.exit(0 if len(sys.argv) == 2 else 2)
    sys.exit(main(sys.argv[1:]))
