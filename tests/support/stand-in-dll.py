#!/usr/bin/env python3
"""Writes a stand-in for the DLL a Windows 11 package names, for the package
tests: an x86-64 PE header (the machine the package's architecture follows)
and then what the package build's checks look for in the DLL:
    stand-in-dll.py FILE TEXT CLASS
TEXT is stored as UTF-16 (a package family name, or empty); CLASS is a class
id whose bytes follow it (empty for none)."""
import sys
import uuid

if len(sys.argv) != 4:
    sys.exit(__doc__.strip())
path, text, clsid = sys.argv[1:]
header = b'MZ' + bytes(58) + (64).to_bytes(4, 'little') + b'PE\0\0' + (0x8664).to_bytes(2, 'little')
with open(path, 'wb') as stand_in:
    stand_in.write(header + text.encode('utf-16-le') + (uuid.UUID(clsid).bytes_le if clsid else b''))
