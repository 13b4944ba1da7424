#!/usr/bin/env python3
"""The Publisher as Windows spells it, and the family name it gives:
    publisher-test.py
Certificates with the subjects below (tools/release/make-test-certificate.sh)
must give the Publisher written beside each, the spelling of Windows'
CertNameToStr for a package's Publisher (its key names, most specific part
first, its quoting), which must fit the manifest's Publisher pattern; or,
where the manifest cannot hold that spelling, a refusal: one line naming
it, from publisher.py and from the tools that read the Publisher through
it. Then the family names of published packages, public with their
Publishers, must come out of our computation, and so must those of a few
dozen generated Publishers by a second computation written here with the
standard library's base 32 and its own alphabet."""
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

# What | subject as openssl takes it | the Publisher | whether a package may hold it
SUBJECTS = [
    ('plain', '/CN=Quenbridge', 'CN=Quenbridge', True),
    ('usual company', '/C=US/ST=Washington/L=Redmond/O=Microsoft Corporation/CN=Microsoft Corporation',
     'CN=Microsoft Corporation, O=Microsoft Corporation, L=Redmond, S=Washington, C=US', True),
    ('extended validation', '/jurisdictionC=US/jurisdictionST=Delaware/businessCategory=Private Organization'
     '/serialNumber=4567890/C=US/ST=Washington/L=Redmond/street=1 Main Street/postalCode=98052/O=Quenbridge Inc.'
     '/CN=Quenbridge Inc.',
     'CN=Quenbridge Inc., O=Quenbridge Inc., PostalCode=98052, STREET=1 Main Street, L=Redmond, S=Washington, '
     'C=US, SERIALNUMBER=4567890, OID.2.5.4.15=Private Organization, OID.1.3.6.1.4.1.311.60.2.1.2=Delaware, '
     'OID.1.3.6.1.4.1.311.60.2.1.3=US', True),
    ('person and domain', '/DC=com/DC=quenbridge/GN=Ann/SN=Lee/title=Boss/initials=AL'
     '/emailAddress=ann@quenbridge.example/CN=Ann Lee',
     'CN=Ann Lee, E=ann@quenbridge.example, I=AL, T=Boss, SN=Lee, G=Ann, DC=quenbridge, DC=com', True),
    ('quotes', '/O=The "Best" Company/CN=Quenbridge', 'CN=Quenbridge, O="The ""Best"" Company"', True),
    ('commas', '/O=Quenbridge, Ltd/CN=Quenbridge', 'CN=Quenbridge, O="Quenbridge, Ltd"', True),
    ('plus signs', '/O=C\\+\\+ Tools/CN=Quenbridge', 'CN=Quenbridge, O="C++ Tools"', True),
    ('other special characters', '/CN= padded /O=a;b/OU=#1/L=x=y<z>', 'L="x=y<z>", OU="#1", O="a;b", CN=" padded "',
     True),
    ('white space at the end only', '/CN=Quenbridge  ', 'CN="Quenbridge  "', True),
    ('non-ASCII', '/L=Zürich/O=Quenbridge 株式会社/CN=Ünïcødé', 'CN=Ünïcødé, O=Quenbridge 株式会社, L=Zürich', True),
    ('a multi-valued part', '/O=C\\+\\+ Tools/CN=Quenbridge+OU=Tools', 'OU=Tools + CN=Quenbridge, O="C++ Tools"', False),
    ('a line break', '/O=Quen\nbridge/CN=Quenbridge', 'CN=Quenbridge, O="Quen\nbridge"', False),
    ('no attribute', '/', '', False),
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
    letters without i, l, o and u), lower case."""
    digest = hashlib.sha256(publisher.encode('utf-16-le')).digest()[:8]
    crockford = string.digits + ''.join(c for c in string.ascii_lowercase if c not in 'ilou')
    return base64.b32encode(digest).decode('ascii')[:13].translate(
        str.maketrans(string.ascii_uppercase + '234567', crockford))


def refusal_problem(command, environment, spelling):
    """What is wrong with how a tool refused, or '': it must fail with one
    line naming the subject as Windows spells it."""
    run = subprocess.run(command, env=dict(os.environ, **environment), capture_output=True, text=True)
    lines = run.stderr.splitlines()
    if run.returncode != 0 and len(lines) == 1 and spelling.replace('\n', '\\n') in lines[0]:
        return ''
    return 'exit %d, error output %r' % (run.returncode, run.stderr)


def main():
    results = []  # (passed, what, problem)
    tools = os.path.join(ROOT, 'tools')
    with tempfile.TemporaryDirectory(prefix='tessaly-publisher.') as work:
        for index, (what, subject, spelling, accepted) in enumerate(SUBJECTS):
            folder = os.path.join(work, str(index))
            subprocess.run(['bash', os.path.join(tools, 'release', 'make-test-certificate.sh'), folder, subject],
                           check=True, stdout=subprocess.DEVNULL)
            try:
                ours = publisher_of(os.path.join(folder, 'certificate.pem'))
            except PublisherError as error:
                ours = error
            if accepted:
                results.append((ours == spelling, '%s: %s' % (what, spelling), 'ours %r' % ours))
                results.append((fits_publisher_pattern(spelling), '%s: fits the Publisher pattern' % what, ''))
                continue
            results.append((isinstance(ours, PublisherError), '%s: refused' % what, 'ours %r' % ours))
            # The build's tool, which reads the Publisher before anything else.
            problem = refusal_problem(['bash', os.path.join(tools, 'package', 'build-package.sh')] + ['-'] * 8,
                                      {'TESSALY_SIGN_PFX': os.path.join(folder, 'certificate.pfx'),
                                       'TESSALY_SIGN_PASSWORD_FILE': os.path.join(folder, 'password')}, spelling)
            results.append((not problem, '%s: build-package.sh stops with one line naming it' % what, problem))
        # A certificate that cannot be read: every tool that reads the Publisher fails with publisher.sh's line.
        for tool in ('publisher.sh', 'package-family.sh'):
            problem = refusal_problem(['bash', os.path.join(tools, 'package', tool)],
                                      {'TESSALY_SIGN_PFX': os.path.join(work, 'missing.pfx')}, 'missing.pfx')
            results.append((not problem, '%s fails on a certificate it cannot read' % tool, problem))

    for publisher, expected in FAMILIES:
        ours = family_name('Name', publisher).split('_', 1)[1]
        other = publisher_id_by_base32(publisher)
        results.append((ours == expected == other, '%s: %s' % (publisher, expected),
                        'ours %s, by base 32 %s' % (ours, other)))
    # Generated Publishers, until every digit of the alphabet has been written.
    generated = ['CN=Quenbridge %d, O=Generated' % n for n in range(48)]
    wrong = [p for p in generated if family_name('Name', p).split('_', 1)[1] != publisher_id_by_base32(p)]
    digits = set(''.join(publisher_id_by_base32(p) for p in generated))
    results.append((not wrong and len(digits) == 32, '%d generated Publishers: both computations agree, using all '
                    '32 digits' % len(generated), 'differ for %s; %d digits seen' % (wrong[:3], len(digits))))

    for passed, what, problem in results:
        print('%s %s%s' % ('ok  ' if passed else 'FAIL', what, '' if passed else ' -- ' + problem))
    failures = sum(not passed for passed, _, _ in results)
    print('publisher: %d passed, %d failed' % (len(results) - failures, failures))
    return 1 if failures else 0


if __name__ == '__main__':
    if sys.argv[1:] in (['-h'], ['--help']):
        print(__doc__.strip())
        sys.exit(0)
    sys.exit(main())
