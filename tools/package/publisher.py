#!/usr/bin/env python3
"""The Windows 11 package's Publisher and family name, the one place that
computes them (the manifest, its checker and the family name the DLL looks
for all come from here):
    publisher.py CERTIFICATE.pem       prints the certificate's subject as the Publisher
    publisher.py --unsigned            prints the Publisher of an unsigned build
    publisher.py --family PUBLISHER    prints the family name that Publisher gives the package

Windows compares the Publisher with the signing certificate's subject as its
CertNameToStr writes it (CERT_X500_NAME_STR with CERT_NAME_STR_REVERSE_FLAG):
the most specific part first, ", " between parts, " + " inside a multi-valued
part, its own key names (S for a state, E for an e-mail address,
OID.<dotted> for a type it has no name for), and a value in double quotes,
its own quotes doubled, when it is empty, starts or ends with white space or
holds one of , + = " < > # ; or a line break.

The package manifest refuses some of what CertNameToStr writes: a subject
that gives a Publisher outside the Identity element's pattern (a part of
several attributes, a value holding a line break, none at all, more than
8,192 characters) stops here with one line naming it."""
import hashlib
import re
import subprocess
import sys

PACKAGE_NAME = 'Quenbridge.Tessaly'
# An unsigned package's Publisher must end with this to be registered at all
# ("Create an unsigned MSIX package"); no certificate subject carries it.
UNSIGNED_PUBLISHER_ATTRIBUTE = 'OID.2.25.311729368913984317654407730594956997722=1'
UNSIGNED_PUBLISHER = 'CN=Quenbridge, ' + UNSIGNED_PUBLISHER_ATTRIBUTE
# The key names of Windows' own table of subject attributes.
KEY_NAMES = {
    '2.5.4.3': 'CN', '2.5.4.7': 'L', '2.5.4.10': 'O', '2.5.4.11': 'OU', '1.2.840.113549.1.9.1': 'E',
    '2.5.4.6': 'C', '2.5.4.8': 'S', '2.5.4.9': 'STREET', '2.5.4.12': 'T', '2.5.4.42': 'G', '2.5.4.43': 'I',
    '2.5.4.4': 'SN', '0.9.2342.19200300.100.1.25': 'DC', '2.5.4.5': 'SERIALNUMBER', '2.5.4.13': 'Description',
    '2.5.4.17': 'PostalCode', '2.5.4.18': 'POBox', '2.5.4.20': 'Phone', '2.5.4.24': 'X21Address',
    '2.5.4.46': 'dnQualifier',
}
QUOTED_CHARACTERS = set(',+="<>#;\n')
# The Identity element's Publisher, as its documentation describes it: 1 to
# 8,192 characters of KEY=VALUE parts joined by ", ", KEY one of these names
# or OID.<dotted number>, VALUE plain (none of , + = " < > # ;) or in double
# quotes (anything but a line break: the pattern language's "." matches
# neither \n nor \r). Written here from that description, not taken from
# the schema files.
_PATTERN_KEY = ('(?:CN|L|O|OU|E|C|S|STREET|T|G|I|SN|DC|SERIALNUMBER|Description|PostalCode|POBox|Phone|X21Address'
                '|dnQualifier|OID\\.(?:0|[1-9][0-9]*)(?:\\.(?:0|[1-9][0-9]*))+)')
_PATTERN_PART = _PATTERN_KEY + '=(?:[^,+="<>#;]+|"[^\\r\\n]*")'
PUBLISHER_PATTERN = re.compile('%s(?:, %s)*' % (_PATTERN_PART, _PATTERN_PART))
PUBLISHER_MAX_LENGTH = 8192
WHITE_SPACE = ' \t\n\v\f\r'
# DER string types and how their bytes read.
# A teletex string is read as UTF-8 where it is that, else byte for byte.
TEXT_TYPES = {0x0C: 'utf-8', 0x12: 'latin-1', 0x13: 'latin-1', 0x14: 'utf-8', 0x16: 'latin-1', 0x1A: 'latin-1',
              0x1C: 'utf-32-be', 0x1E: 'utf-16-be'}
TELETEX = 0x14


class PublisherError(Exception):
    pass


def der_items(data):
    """The (tag, contents) of each DER element in data, in order."""
    items, at = [], 0
    while at < len(data):
        if at + 2 > len(data):
            raise PublisherError("the certificate's DER is truncated")
        tag, length, at = data[at], data[at + 1], at + 2
        if length & 0x80:
            count = length & 0x7F
            length, at = int.from_bytes(data[at:at + count], 'big'), at + count
        if at + length > len(data):
            raise PublisherError("the certificate's DER is truncated")
        items.append((tag, data[at:at + length]))
        at += length
    return items


def oid_text(contents):
    numbers, value = [], 0
    for byte in contents:
        value = value << 7 | byte & 0x7F
        if not byte & 0x80:
            numbers.append(value)
            value = 0
    first = min(numbers[0] // 40, 2)
    return '.'.join(str(n) for n in [first, numbers[0] - 40 * first] + numbers[1:])


def subject_of(certificate_der):
    """The subject's parts in certificate order, each a list of (OID, text)."""
    (_, certificate), = der_items(certificate_der)
    fields = der_items(der_items(certificate)[0][1])
    if fields[0][0] == 0xA0:  # an explicit version comes first
        fields = fields[1:]
    parts = []
    for _, part in der_items(fields[4][1]):  # serial, algorithm, issuer, validity, subject
        attributes = []
        for _, pair in der_items(part):
            (_, oid), (kind, value) = der_items(pair)
            if kind not in TEXT_TYPES:
                raise PublisherError('attribute %s has a value of type 0x%02X, which Windows shows in hexadecimal '
                                     'and a Publisher cannot hold' % (oid_text(oid), kind))
            try:
                text = value.decode(TEXT_TYPES[kind])
            except UnicodeDecodeError:
                if kind != TELETEX:
                    raise
                text = value.decode('latin-1')
            attributes.append((oid_text(oid), text))
        parts.append(attributes)
    return parts


def quoted(value):
    if (not value or value[0] in WHITE_SPACE or value[-1] in WHITE_SPACE or
            any(character in QUOTED_CHARACTERS for character in value)):
        return '"%s"' % value.replace('"', '""')
    return value


def fits_publisher_pattern(publisher):
    return len(publisher) <= PUBLISHER_MAX_LENGTH and PUBLISHER_PATTERN.fullmatch(publisher) is not None


def publisher_of_subject(parts):
    """The Publisher; PublisherError when a package manifest cannot hold it.
    (The pattern alone would let a part of several attributes through when
    a quoted value follows it.)"""
    publisher = ', '.join(' + '.join('%s=%s' % (KEY_NAMES.get(oid, 'OID.' + oid), quoted(value))
                                     for oid, value in attributes) for attributes in reversed(parts))
    several = any(len(attributes) > 1 for attributes in parts)
    if several or not fits_publisher_pattern(publisher):
        why = ('a part of several attributes (" + ")' if several else 'no attribute' if not publisher else
               'more than %d characters' % PUBLISHER_MAX_LENGTH if len(publisher) > PUBLISHER_MAX_LENGTH else
               'a line break in a value')
        shown = publisher.replace('\r', '\\r').replace('\n', '\\n')  # the message stays one line
        raise PublisherError("the certificate's subject '%s' has %s, which a package's Publisher cannot hold" %
                             (shown, why))
    return publisher


def publisher_of(certificate):
    """The subject of the certificate in the PEM file, as the Publisher."""
    der = subprocess.run(['openssl', 'x509', '-in', certificate, '-outform', 'DER'], check=True,
                         capture_output=True).stdout
    return publisher_of_subject(subject_of(der))


def family_name(name, publisher):
    """Name_PublisherId: the publisher id is the first 64 bits of the SHA-256
    of the UTF-16 Publisher, with one 0 bit more, in Windows' base-32 digits."""
    digest = hashlib.sha256(publisher.encode('utf-16-le')).digest()[:8]
    bits = ''.join(format(byte, '08b') for byte in digest) + '0'
    digits = '0123456789abcdefghjkmnpqrstvwxyz'
    return name + '_' + ''.join(digits[int(bits[i:i + 5], 2)] for i in range(0, 65, 5))


def main(arguments):
    if len(arguments) == 2 and arguments[0] == '--family':
        print(family_name(PACKAGE_NAME, arguments[1]))
    elif arguments == ['--unsigned']:
        print(UNSIGNED_PUBLISHER)
    elif len(arguments) == 1 and not arguments[0].startswith('-'):
        try:
            print(publisher_of(arguments[0]))
        except subprocess.CalledProcessError:
            sys.exit('publisher: %s is not a certificate openssl can read' % arguments[0])
        except PublisherError as error:
            sys.exit('publisher: %s' % error)
        except (ValueError, IndexError) as error:
            sys.exit('publisher: %s: %s' % (arguments[0], error or 'malformed subject'))
    else:
        sys.exit('usage: publisher.py CERTIFICATE.pem | --unsigned | --family PUBLISHER')
    return 0


if __name__ == '__main__':
    if sys.argv[1:] in (['-h'], ['--help']):
        print(__doc__.strip())
        sys.exit(0)
    sys.exit(main(sys.argv[1:]))
