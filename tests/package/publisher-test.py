#!/usr/bin/env python3
"""The Publisher as Windows spells it, and the family name it gives:
    publisher-test.py
Certificates with the subjects below (tools/release/make-test-certificate.sh)
must give the Publisher written beside each, the spelling of Windows'
CertNameToStr for a package's Publisher (its key names, most specific part
first, its quoting). Then the family names of published packages, public
with their Publishers, must come out of our computation and of a second one
written here with the standard library's base 32."""
import base64
import hashlib
import os
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'package'))
from publisher import family_name, publisher_of  # noqa: E402

# What | subject as openssl takes it | the Publisher
SUBJECTS = [
    ('plain', '/CN=Quenbridge', 'CN=Quenbridge'),
    ('usual company', '/C=US/ST=Washington/L=Redmond/O=Microsoft Corporation/CN=Microsoft Corporation',
     'CN=Microsoft Corporation, O=Microsoft Corporation, L=Redmond, S=Washington, C=US'),
    ('extended validation', '/jurisdictionC=US/jurisdictionST=Delaware/businessCategory=Private Organization'
     '/serialNumber=4567890/C=US/ST=Washington/L=Redmond/street=1 Main Street/postalCode=98052/O=Quenbridge Inc.'
     '/CN=Quenbridge Inc.',
     'CN=Quenbridge Inc., O=Quenbridge Inc., PostalCode=98052, STREET=1 Main Street, L=Redmond, S=Washington, '
     'C=US, SERIALNUMBER=4567890, OID.2.5.4.15=Private Organization, OID.1.3.6.1.4.1.311.60.2.1.2=Delaware, '
     'OID.1.3.6.1.4.1.311.60.2.1.3=US'),
    ('person and domain', '/DC=com/DC=quenbridge/GN=Ann/SN=Lee/title=Boss/initials=AL'
     '/emailAddress=ann@quenbridge.example/CN=Ann Lee',
     'CN=Ann Lee, E=ann@quenbridge.example, I=AL, T=Boss, SN=Lee, G=Ann, DC=quenbridge, DC=com'),
    ('quotes', '/O=The "Best" Company/CN=Quenbridge', 'CN=Quenbridge, O="The ""Best"" Company"'),
    ('commas', '/O=Quenbridge, Ltd/CN=Quenbridge', 'CN=Quenbridge, O="Quenbridge, Ltd"'),
    ('plus signs', '/O=C\\+\\+ Tools/CN=Quenbridge+OU=Tools', 'OU=Tools + CN=Quenbridge, O="C++ Tools"'),
    ('other special characters', '/CN= padded /O=a;b/OU=#1/L=x=y<z>', 'L="x=y<z>", OU="#1", O="a;b", CN=" padded "'),
    ('non-ASCII', '/L=Zürich/O=Quenbridge 株式会社/CN=Ünïcødé', 'CN=Ünïcødé, O=Quenbridge 株式会社, L=Zürich'),
]

# Published packages: Publisher | publisher id. Sources: docs/windows11.md.
FAMILIES = [
    ('CN=Microsoft Corporation, O=Microsoft Corporation, L=Redmond, S=Washington, C=US', '8wekyb3d8bbwe'),
    ('CN=Microsoft Windows, O=Microsoft Corporation, L=Redmond, S=Washington, C=US', 'cw5n1h2txyewy'),
    ('CN=Skype Software Sarl, O=Microsoft Corporation, L=Luxembourg, S=Luxembourg, C=LU', 'kzf8qxf38zg5c'),
]


def publisher_id_by_base32(publisher):
    """The same id by another road: standard base 32 of the first 8 bytes of
    the hash, its alphabet mapped onto Windows' (Crockford's, lower case)."""
    digest = hashlib.sha256(publisher.encode('utf-16-le')).digest()[:8]
    return base64.b32encode(digest).decode('ascii')[:13].translate(
        str.maketrans('ABCDEFGHIJKLMNOPQRSTUVWXYZ234567', '0123456789abcdefghjkmnpqrstvwxyz'))


def main():
    failures = 0
    with tempfile.TemporaryDirectory(prefix='tessaly-publisher.') as work:
        for index, (what, subject, expected) in enumerate(SUBJECTS):
            folder = os.path.join(work, str(index))
            subprocess.run(['bash', os.path.join(ROOT, 'tools', 'release', 'make-test-certificate.sh'), folder,
                            subject], check=True, stdout=subprocess.DEVNULL)
            ours = publisher_of(os.path.join(folder, 'certificate.pem'))
            print('%s %s: %s%s' % ('ok  ' if ours == expected else 'FAIL', what, expected,
                                   '' if ours == expected else ' -- ours %r' % ours))
            failures += ours != expected
    for publisher, expected in FAMILIES:
        ours = family_name('Name', publisher).split('_', 1)[1]
        other = publisher_id_by_base32(publisher)
        ok = ours == expected == other
        print('%s %s: %s%s' % ('ok  ' if ok else 'FAIL', publisher, expected,
                               '' if ok else ' -- ours %s, by base 32 %s' % (ours, other)))
        failures += not ok
    total = len(SUBJECTS) + len(FAMILIES)
    print('publisher: %d passed, %d failed' % (total - failures, failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
