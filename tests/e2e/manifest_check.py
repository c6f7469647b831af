#!/usr/bin/env python3
# What Windows reads from the programs before they run: the application
# manifest (resource 1 of type 24, the only one, language neutral), parsed as
# XML, and the terminal-server flag of the PE header.
# Usage: manifest_check.py <programs folder>...

import os
import struct
import sys
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_resources            # noqa: E402

PROGRAMS = ('Install_VezOdorQFZ27.exe', 'Uninstall_VezOdorQFZ27.exe')
RT_MANIFEST = 24
TERMINAL_SERVER_AWARE = 0x8000

ASM_V1 = '{urn:schemas-microsoft-com:asm.v1}'
ASM_V3 = '{urn:schemas-microsoft-com:asm.v3}'
COMPATIBILITY = '{urn:schemas-microsoft-com:compatibility.v1}'
SETTINGS_2005 = '{http://schemas.microsoft.com/SMI/2005/WindowsSettings}'

# Windows Vista, 7, 8, 8.1, and 10 and 11 (which share theirs).
SUPPORTED_OS = {
    '{e2011457-1546-43c5-a5fe-008deee3d3f0}',
    '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}',
    '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}',
    '{1f676c76-80e1-4239-95bb-83d0f6d0da78}',
    '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}',
}
COMMON_CONTROLS = {
    'type': 'win32',
    'name': 'Microsoft.Windows.Common-Controls',
    'version': '6.0.0.0',
    'processorArchitecture': '*',
    'publicKeyToken': '6595b64144ccf1df',
}
# Settings that must not be there: a UTF-8 code page would garble every
# umlaut of the ANSI texts, long paths do not fit the 260-byte buffers, and a
# dpiAwareness element would override dpiAware on Windows 10 and 11.
FORBIDDEN = ('activeCodePage', 'longPathAware', 'dpiAwareness')


def only(parent, path):
    found = parent.findall(path)
    if len(found) != 1:
        raise AssertionError('%d elements %s, expected 1' % (len(found), path))
    return found[0]


def check_manifest(text):
    root = ElementTree.fromstring(text)
    assert root.tag == ASM_V1 + 'assembly', root.tag
    assert root.get('manifestVersion') == '1.0', root.get('manifestVersion')

    level = only(root, ASM_V3 + 'trustInfo/' + ASM_V3 + 'security/' + ASM_V3 +
                 'requestedPrivileges/' + ASM_V3 + 'requestedExecutionLevel')
    assert level.attrib == {'level': 'requireAdministrator', 'uiAccess': 'false'}, level.attrib

    application = only(root, COMPATIBILITY + 'compatibility/' + COMPATIBILITY + 'application')
    ids = [entry.get('Id') for entry in application.findall(COMPATIBILITY + 'supportedOS')]
    assert len(ids) == len(set(ids)) and set(ids) == SUPPORTED_OS, ids

    identity = only(root, ASM_V1 + 'dependency/' + ASM_V1 + 'dependentAssembly/' +
                    ASM_V1 + 'assemblyIdentity')
    for name, value in COMMON_CONTROLS.items():
        assert identity.get(name) == value, (name, identity.get(name))
    assert len(root.findall(ASM_V1 + 'dependency')) == 1

    dpi_aware = only(root, ASM_V3 + 'application/' + ASM_V3 + 'windowsSettings/' +
                     SETTINGS_2005 + 'dpiAware')
    assert (dpi_aware.text or '').strip().lower() == 'true', dpi_aware.text

    for element in root.iter():
        local_name = element.tag.rsplit('}', 1)[-1]
        assert local_name not in FORBIDDEN, element.tag


def dll_characteristics(filename):
    with open(filename, 'rb') as f:
        image = f.read()
    pe = struct.unpack_from('<I', image, 0x3c)[0]
    # In the optional header at offset 70, for PE32 and PE32+ alike.
    return struct.unpack_from('<H', image, pe + 24 + 70)[0]


def check_program(filename):
    manifests = [(name, language, data)
                 for kind, name, language, data in pe_resources.read_resources(filename)
                 if kind == RT_MANIFEST]
    assert len(manifests) == 1, '%d manifest resources' % len(manifests)
    name, language, data = manifests[0]
    assert (name, language) == (1, 0), 'manifest %r in language %#x' % (name, language)
    check_manifest(data)
    flags = dll_characteristics(filename)
    assert flags & TERMINAL_SERVER_AWARE, 'not terminal-server aware: %#06x' % flags
    return data


def main(folders):
    failed = False
    for folder in folders:
        for program in PROGRAMS:
            path = os.path.join(folder, program)
            try:
                check_program(path)
                print('ok: %s' % path)
            except (AssertionError, OSError, ValueError, ElementTree.ParseError) as error:
                print('FAIL: %s: %s' % (path, error))
                failed = True
    return 1 if failed or not folders else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
