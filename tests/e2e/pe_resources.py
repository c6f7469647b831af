# Reads the resources of a Windows program file (PE32 or PE32+) without
# running it: the installer's embedded payload is what the installed files
# must equal, and what the benchmark subtracts from the installer's size.

import struct


def _rva_to_offset(sections, rva):
    for virtual_address, virtual_size, raw_offset, raw_size in sections:
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return raw_offset + rva - virtual_address
    raise ValueError('RVA %#x lies in no section' % rva)


def read_resources(filename):
    """All resources as a list of (type, name, language, bytes); type and name
    are upper-case texts for named entries and numbers otherwise."""
    with open(filename, 'rb') as f:
        image = f.read()
    if image[:2] != b'MZ':
        raise ValueError('%s is no program file' % filename)
    pe = struct.unpack_from('<I', image, 0x3c)[0]
    if image[pe:pe + 4] != b'PE\0\0':
        raise ValueError('%s has no PE header' % filename)
    sections_count, optional_size = struct.unpack_from('<H12xH', image, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from('<H', image, optional)[0]
    directories = optional + (96 if magic == 0x10b else 112)
    resource_rva, resource_size = struct.unpack_from('<II', image, directories + 2 * 8)
    sections = []
    table = optional + optional_size
    for i in range(sections_count):
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from(
            '<IIII', image, table + 40 * i + 8)
        sections.append((virtual_address, virtual_size, raw_offset, raw_size))
    if not resource_rva:
        return []
    base = _rva_to_offset(sections, resource_rva)

    def entry_name(value):
        if value & 0x80000000:
            at = base + (value & 0x7fffffff)
            length = struct.unpack_from('<H', image, at)[0]
            return image[at + 2:at + 2 + 2 * length].decode('utf-16-le').upper()
        return value

    def entries(offset):
        named, numbered = struct.unpack_from('<HH', image, base + offset + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from('<II', image, base + offset + 16 + 8 * i)
            yield entry_name(name), target

    found = []
    for kind, kind_target in entries(0):
        for name, name_target in entries(kind_target & 0x7fffffff):
            for language, data_target in entries(name_target & 0x7fffffff):
                rva, size = struct.unpack_from('<II', image, base + data_target)
                start = _rva_to_offset(sections, rva)
                found.append((kind, name, language, image[start:start + size]))
    return found


def payload(filename):
    """The installer's seven payload files: {1: bytes of DATEI1, ..., 7: ...}."""
    files = {}
    for kind, name, language, data in read_resources(filename):
        for number in range(1, 8):
            if kind == 'DATEI%d_TYPE' % number and name == 'DATEI%d_NAME' % number:
                files[number] = data
    return files
