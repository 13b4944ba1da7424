#!/usr/bin/env python3
"""Prints the package architecture of a Windows binary (x64, arm64, x86), as
a package's ProcessorArchitecture names it, from its COFF header's machine:
    machine.py FILE
A package's architecture follows the DLL it names: Windows starts the
surrogate that loads the DLL for the package's architecture."""
import struct
import sys

ARCHITECTURES = {0x8664: 'x64', 0xAA64: 'arm64', 0x14C: 'x86'}


def architecture_of(data):
    """The architecture of a PE file's bytes, None for another file or machine."""
    if data[:2] != b'MZ' or len(data) < 0x40:
        return None
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        return None
    return ARCHITECTURES.get(struct.unpack_from('<H', data, pe + 4)[0])


if __name__ == '__main__':
    if len(sys.argv) != 2 or sys.argv[1] in ('-h', '--help'):
        print(__doc__.strip())
        sys.exit(0 if len(sys.argv) == 2 else 2)
    with open(sys.argv[1], 'rb') as binary:
        architecture = architecture_of(binary.read())
    if architecture is None:
        sys.exit('machine.py: %s is no PE file of a known machine' % sys.argv[1])
    print(architecture)
