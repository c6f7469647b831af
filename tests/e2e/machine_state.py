# What a scenario compares: the registry (both hives) and every file under
# drive_c of a stopped Wine machine, and the expected state derived from an
# earlier one by the changes that a program run must make.

import copy
import os

import wine_registry

# Places that Wine itself rewrites in every session, whatever the programs do
# (found by comparing runs that change nothing): the set-up of the display
# adapter, the monitor and the network cards. No file changes that way.
REGISTRY_NOISE = {
    'system': [r'System\CurrentControlSet\Control\Class',
               r'Software\Microsoft\Windows NT\CurrentVersion\NetworkCards'],
    'user': [],
}
# Under WoW64 the font set-up of Wine's 32-bit processes writes its code pages
# as "65001,65001", and that of its 64-bit processes writes "1252,850" back.
WOW64_REGISTRY_NOISE = {
    'system': [],
    'user': [r'Software\Wine\Fonts'],
}


class State:
    def __init__(self, registry, files, root):
        self.registry = registry   # {'system'|'user': wine_registry.snapshot}
        self.files = files         # {path under drive_c: (size, mtime in ns) or 'folder'}
        self.root = root           # drive_c of the machine it was taken from


def capture(machine):
    noise = {which: REGISTRY_NOISE[which] + (WOW64_REGISTRY_NOISE[which] if machine.wow64_dlls else [])
             for which in ('system', 'user')}
    registry = {which: wine_registry.snapshot(machine.hive(which), noise[which])
                for which in ('system', 'user')}
    root = machine.drive_c()
    files = {}
    for folder, dirs, names in os.walk(root):
        rel_folder = os.path.relpath(folder, root)
        for name in dirs:
            files[os.path.normpath(os.path.join(rel_folder, name))] = 'folder'
        for name in names:
            path = os.path.join(folder, name)
            info = os.lstat(path)
            files[os.path.normpath(os.path.join(rel_folder, name))] = (info.st_size, info.st_mtime_ns)
    return State(registry, files, root)


class Expectation:
    """The state before a run plus the changes that the run must make."""

    def __init__(self, before):
        self.registry = copy.deepcopy(before.registry)
        self.files = dict(before.files)
        self.contents = {}         # path -> (bytes, mtime in ns or None)

    def set_key(self, which, path, values):
        """The key holds exactly these REG_SZ values ((name, data) pairs) afterwards."""
        self.registry[which][path.lower()] = (
            path, {name.lower(): (name, (wine_registry.REG_SZ, data)) for name, data in values})

    def set_value(self, which, key_path, name, value):
        """One value of an existing key, as wine_registry keeps it: (type, data)."""
        path, values = self.registry[which][key_path.lower()]
        values[name.lower()] = (name, value)

    def remove_key(self, which, path):
        low = path.lower()
        for key in [k for k in self.registry[which] if k == low or k.startswith(low + '\\')]:
            del self.registry[which][key]

    def add_folder(self, path):
        self.files[os.path.normpath(path)] = 'folder'

    def add_file(self, path, content, mtime_ns=None):
        path = os.path.normpath(path)
        self.files[path] = (len(content), mtime_ns)
        self.contents[path] = (content, mtime_ns)

    def rewritten_file(self, path):
        """A file that is there afterwards, written anew (its content is the
        caller's to check)."""
        self.files[os.path.normpath(path)] = 'rewritten'

    def remove_file(self, path):
        self.files.pop(os.path.normpath(path), None)


def differences(expected, actual):
    """Readable lines for everything in which the actual state differs."""
    lines = []
    for which in ('system', 'user'):
        root = 'HKLM' if which == 'system' else 'HKCU'
        lines += ['%s %s' % (root, line) for line in
                  wine_registry.differences(expected.registry[which], actual.registry[which])]
    for path in sorted(set(expected.files) | set(actual.files)):
        want, got = expected.files.get(path), actual.files.get(path)
        if want is None:
            lines.append('file added: %s %s' % (path, _describe(got)))
        elif got is None:
            lines.append('file missing: %s' % path)
        elif want == 'rewritten':
            if got == 'folder':
                lines.append('%s: expected a file, found a folder' % path)
        elif want == 'folder' or got == 'folder':
            if want != got:
                lines.append('%s: expected %s, found %s' % (path, _describe(want), _describe(got)))
        elif path in expected.contents:
            content, mtime_ns = expected.contents[path]
            with open(os.path.join(actual.root, path), 'rb') as f:
                found = f.read()
            if found != content:
                lines.append('%s: content differs (expected %d bytes, found %d)'
                             % (path, len(content), len(found)))
            if mtime_ns is not None and got[1] != mtime_ns:
                lines.append('%s: last write %d ns, expected %d ns' % (path, got[1], mtime_ns))
        elif want != got:
            lines.append('%s changed: %s -> %s' % (path, _describe(want), _describe(got)))
    return lines


def _describe(entry):
    if entry == 'folder':
        return '(folder)'
    return '(%d bytes)' % entry[0]
