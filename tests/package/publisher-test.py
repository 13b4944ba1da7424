#!/usr/bin/env python3
"""The Publisher as Windows spells it, and the family name it gives:
    publisher-test.py
Certificates with the subjects below (tools/release/make-test-certificate.sh)
must give the Publisher written beside each, the spelling of Windows'
CertNameToStr for a package's Publisher (its key names, most specific part
first, its quoting), fitting the manifest's Publisher pattern; or, where no
Publisher may hold that spelling, a refusal naming it, which stops
build-package.sh with that one line. Then the family names of published
packages, public with their Publishers, and of a few dozen generated ones,
must come out of our computation and of a second one written here with the
standard library's base 32 and Crockford's alphabet built from its rule."""
import base64
import hashlib
import os
import string
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'package'))
from publisher import PublisherError, family_name, fits_publisher_pattern, publisher_of  # noqa: E402

# What | subject as openssl takes it | the Publisher, or the refusal naming it
REFUSED = 'refused: '
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
    ('plus signs', '/O=C\\+\\+ Tools/CN=Quenbridge', 'CN=Quenbridge, O="C++ Tools"'),
    ('a multi-valued part', '/O=C\\+\\+ Tools/CN=Quenbridge+OU=Tools', REFUSED + 'OU=Tools + CN=Quenbridge, O="C++ Tools"'),
    ('other special characters', '/CN= padded /O=a;b/OU=#1/L=x=y<z>', 'L="x=y<z>", OU="#1", O="a;b", CN=" padded "'),
    ('white space at the end only', '/CN=Quenbridge  ', 'CN="Quenbridge  "'),
    ('a line break', '/O=Quen\nbridge/CN=Quenbridge', REFUSED + 'CN=Quenbridge, O="Quen\\nbridge"'),
    ('no attribute', '/', REFUSED),
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
    the hash, its alphabet mapped onto Crockford's (the digits, then the
    letters but i, l, o and u), lower case."""
    digest = hashlib.sha256(publisher.encode('utf-16-le')).digest()[:8]
    crockford = string.digits + ''.join(c for c in string.ascii_lowercase if c not in 'ilou')
    return base64.b32encode(digest).decode('ascii')[:13].translate(
        str.maketrans(string.ascii_uppercase + '234567', crockford))


def main():
    failures = 0
    with tempfile.TemporaryDirectory(prefix='tessaly-publisher.') as work:
        for what, subject, expected in SUBJECTS:
            folder = os.path.join(work, what)
            subprocess.run(['bash', os.path.join(ROOT, 'tools', 'release', 'make-test-certificate.sh'), folder,
                            subject], check=True, stdout=subprocess.DEVNULL)
            try:
                ours = publisher_of(os.path.join(folder, 'certificate.pem'))
                ok = ours == expected and fits_publisher_pattern(ours)
            except PublisherError as error:
                ours = REFUSED + str(error)
                ok = expected.startswith(REFUSED) and "'%s'" % expected[len(REFUSED):] in ours
            print('%s %s: %s%s' % ('ok  ' if ok else 'FAIL', what, expected, '' if ok else ' -- ours %r' % ours))
            failures += not ok
        # The build stops at the Publisher with that one line; the family
        # name's tool, on a certificate it cannot read, with the line saying so.
        multi = os.path.join(work, 'a multi-valued part')
        spelling = {what: expected for what, _, expected in SUBJECTS}['a multi-valued part'][len(REFUSED):]
        for tool, pfx, named in (('build-package.sh', os.path.join(multi, 'certificate.pfx'), spelling),
                                 ('package-family.sh', os.path.join(work, 'missing.pfx'), 'missing.pfx')):
            arguments = ['-'] * 8 if tool == 'build-package.sh' else []
            run = subprocess.run(['bash', os.path.join(ROOT, 'tools', 'package', tool)] + arguments,
                                 capture_output=True, text=True, env=dict(os.environ, TESSALY_SIGN_PFX=pfx,
                                 TESSALY_SIGN_PASSWORD_FILE=os.path.join(multi, 'password')))
            ok = run.returncode != 0 and len(run.stderr.splitlines()) == 1 and named in run.stderr
            print('%s %s fails with one line naming %s%s' % ('ok  ' if ok else 'FAIL', tool, named,
                                                              '' if ok else ' -- %r' % run.stderr))
            failures += not ok
    generated = ['CN=Quenbridge %d, O=Generated' % n for n in range(48)]  # they use all 32 digits
    for publisher, expected in FAMILIES + [(p, publisher_id_by_base32(p)) for p in generated]:
        ours = family_name('Name', publisher).split('_', 1)[1]
        other = publisher_id_by_base32(publisher)
        ok = ours == expected == other
        print('%s %s: %s%s' % ('ok  ' if ok else 'FAIL', publisher, expected,
                               '' if ok else ' -- ours %s, by base 32 %s' % (ours, other)))
        failures += not ok
    total = len(SUBJECTS) + 2 + len(FAMILIES) + len(generated)
    print('publisher: %d passed, %d failed' % (total - failures, failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
