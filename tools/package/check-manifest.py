#!/usr/bin/env python3
"""Checks the Windows 11 package's manifest for what Tessaly depends on:
    check-manifest.py MANIFEST --folder DIR --dll DLL --program EXE [--version A.B.C.D] [--certificate CERT.pem]
DIR holds the package's other files (the logos), DLL is the DLL the package
names and EXE the program its Application names, as they will be installed
(side by side). Without a certificate the package is an unsigned one.
Prints one line per broken rule and exits 1, or exits 0 in silence.

The rules are ours, not Windows' whole schema: the ones whose failure would
keep the package from installing or the command from showing."""
import argparse
import os
import re
import sys
import uuid
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from machine import architecture_of  # noqa: E402
from publisher import PACKAGE_NAME, UNSIGNED_PUBLISHER_ATTRIBUTE, publisher_of  # noqa: E402

NAMESPACES = {
    '': 'http://schemas.microsoft.com/appx/manifest/foundation/windows10',
    'uap': 'http://schemas.microsoft.com/appx/manifest/uap/windows10',
    'uap10': 'http://schemas.microsoft.com/appx/manifest/uap/windows10/10',
    'rescap': 'http://schemas.microsoft.com/appx/manifest/foundation/windows10/restrictedcapabilities',
    'desktop4': 'http://schemas.microsoft.com/appx/manifest/desktop/windows10/4',
    'desktop5': 'http://schemas.microsoft.com/appx/manifest/desktop/windows10/5',
    'com': 'http://schemas.microsoft.com/appx/manifest/com/windows10',
}
ITEM_TYPES = {'Directory', 'Directory\\Background'}


def q(name):
    prefix, _, local = name.rpartition(':')
    return '{%s}%s' % (NAMESPACES[prefix], local)


def declared_namespaces(path):
    declared = {}
    for _, (prefix, uri) in ET.iterparse(path, events=('start-ns',)):
        declared.setdefault(prefix, uri)
    return declared


def check(args):
    problems = []
    try:
        declared = declared_namespaces(args.manifest)
        root = ET.parse(args.manifest).getroot()
    except ET.ParseError as error:
        kind = 'a namespace prefix is not declared' if 'unbound prefix' in str(error) else 'not well-formed XML'
        return ['%s: %s (%s)' % (args.manifest, kind, error)]

    for prefix, uri in NAMESPACES.items():
        if declared.get(prefix) != uri:
            problems.append('namespace %s must be declared as %s' % (prefix or '(default)', uri))
    for prefix in root.get('IgnorableNamespaces', '').split():
        if prefix not in declared:
            problems.append('IgnorableNamespaces names %s, which is not declared' % prefix)
    if root.tag != q('Package'):
        return problems + ['the root element must be Package in the foundation namespace']

    identity = root.find(q('Identity'))
    if identity is None:
        return problems + ['no Identity element']
    if identity.get('Name') != PACKAGE_NAME:
        problems.append('Identity Name must be %s, not %r' % (PACKAGE_NAME, identity.get('Name')))
    version = identity.get('Version', '')
    if not re.fullmatch(r'(\d{1,5}\.){3}\d{1,5}', version) or any(int(n) > 65535 for n in version.split('.')):
        problems.append('Identity Version must be four numbers of 0 to 65535, not %r' % version)
    elif args.version and version != args.version:
        problems.append('Identity Version is %s, the project is %s' % (version, args.version))
    # The surrogate that loads the DLL runs as the package's architecture.
    with open(args.dll, 'rb') as dll:
        machine = architecture_of(dll.read())
    if identity.get('ProcessorArchitecture') not in (machine, 'neutral'):
        problems.append('Identity ProcessorArchitecture must be the DLL\'s machine (%s) or neutral, not %r' %
                        (machine, identity.get('ProcessorArchitecture')))
    # Windows installs a package whose Publisher is its signing certificate's
    # subject, or an unsigned one whose Publisher carries the unsigned mark.
    publisher = identity.get('Publisher', '')
    if args.certificate:
        expected = publisher_of(args.certificate)
        if publisher != expected:
            problems.append('Identity Publisher %r is not the certificate subject %r' % (publisher, expected))
    elif not (publisher.startswith('CN=') and publisher.endswith(', ' + UNSIGNED_PUBLISHER_ATTRIBUTE)):
        problems.append('an unsigned package\'s Publisher must be a subject that ends with %s' %
                        UNSIGNED_PUBLISHER_ATTRIBUTE)

    external = root.find('%s/%s' % (q('Properties'), q('uap10:AllowExternalContent')))
    if external is None or (external.text or '').strip() != 'true':
        problems.append('Properties must allow external content (uap10:AllowExternalContent true)')
    capabilities = {c.get('Name') for c in root.iter(q('rescap:Capability'))}
    for needed in ('runFullTrust', 'unvirtualizedResources'):
        if needed not in capabilities:
            problems.append('the %s capability is missing' % needed)

    applications = root.findall('%s/%s' % (q('Applications'), q('Application')))
    if len(applications) != 1:
        return problems + ['there must be exactly one Application']
    application = applications[0]
    if application.get(q('uap10:TrustLevel')) != 'mediumIL' or application.get(q('uap10:RuntimeBehavior')) != 'win32App':
        problems.append('the Application must run at medium integrity as a win32 program '
                        '(uap10:TrustLevel mediumIL, uap10:RuntimeBehavior win32App)')
    # Executable is relative to the external location, where the installer
    # puts the program beside the DLL.
    program_name = os.path.basename(args.program)
    if application.get('Executable') != program_name or not os.path.isfile(args.program):
        problems.append('the Application must name the installed program %s, not %r' %
                        (program_name, application.get('Executable')))

    classes = {}
    for server in application.iter(q('com:SurrogateServer')):
        for declared_class in server.findall(q('com:Class')):
            classes[declared_class.get('Id', '').upper()] = declared_class.get('Path', '')
    item_types = set()
    for item in application.iter(q('desktop5:ItemType')):
        item_types.add(item.get('Type'))
        for verb in item.findall(q('desktop5:Verb')):
            if not re.fullmatch(r'[A-Za-z0-9]{3,64}', verb.get('Id', '')):
                problems.append('verb id %r must be 3 to 64 letters and digits' % verb.get('Id'))
            clsid = verb.get('Clsid', '').upper()
            if clsid not in classes:
                problems.append('verb %s names class %s, which no com:SurrogateServer declares' % (verb.get('Id'), clsid))
    if item_types != ITEM_TYPES:
        problems.append('the command must be declared for exactly %s, not %s' % (sorted(ITEM_TYPES), sorted(item_types)))

    with open(args.dll, 'rb') as dll:
        dll_bytes = dll.read()
    dll_name = args.dll.replace('\\', '/').rsplit('/', 1)[-1]
    for clsid, path in classes.items():
        try:
            binary = uuid.UUID(clsid).bytes_le
        except ValueError:
            problems.append('class id %r is not a GUID' % clsid)
            continue
        if path != dll_name:
            problems.append('class %s names %r, not the DLL %s' % (clsid, path, dll_name))
        elif binary not in dll_bytes:
            problems.append('%s does not hold class %s' % (dll_name, clsid))

    visuals = application.find(q('uap:VisualElements'))
    logos = [root.findtext('%s/%s' % (q('Properties'), q('Logo')))]
    if visuals is not None:
        logos += [visuals.get('Square150x150Logo'), visuals.get('Square44x44Logo')]
    for logo in logos:
        if not logo or not os.path.isfile(os.path.join(args.folder, *logo.split('\\'))):
            problems.append('the package lacks the logo %r' % logo)
    return problems


def main():
    parser = argparse.ArgumentParser(description='Checks the Windows 11 package manifest.')
    parser.add_argument('manifest')
    parser.add_argument('--folder')
    parser.add_argument('--dll')
    parser.add_argument('--program')
    parser.add_argument('--version')
    parser.add_argument('--certificate')
    args = parser.parse_args()
    if not (args.manifest and args.folder and args.dll and args.program):
        parser.error('MANIFEST, --folder, --dll and --program are needed')
    problems = check(args)
    for problem in problems:
        print('check-manifest: ' + problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
