"""Where a PE file's headers lie, for the release tools that read or mend
them (pe-checksum.py, pe-reproducible.py, tools/package/machine.py)."""
import struct


def pe_header(data):
    """The offset of the PE signature, after which come the COFF file header
    and the optional header; ValueError for a file that is no PE file."""
    if data[:2] != b'MZ' or len(data) < 0x40:
        raise ValueError('not a PE file (no MZ header)')
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        raise ValueError('not a PE file (no PE signature)')
    return pe
