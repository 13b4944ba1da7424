#!/usr/bin/env python3
"""Prints the package architecture of a Windows binary (x64, arm64, x86), as
a package's ProcessorArchitecture names it, from its COFF header's machine:
    machine.py FILE
A package's architecture follows the DLL it names: Windows starts the
surrogate that loads the DLL for the package's architecture."""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'release'))
from pe_file import pe_header  # noqa: E402

ARCHITECTURES = {0x8664: 'x64', 0xAA64: 'arm64', 0x14C: 'x86'}


def architecture_of(data):
    """The architecture of a PE file's bytes, None for another file or machine."""
    try:
        pe = pe_header(data)
    except ValueError:
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
