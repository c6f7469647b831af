# Reads and edits Wine's registry files (system.reg, user.reg) while no
# wineserver runs on the prefix. Reading the files instead of starting
# "wine reg" matters here: every Wine process start rewrites the user's
# Preload value "1", so a read through Wine would change what it reads.

import re

REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ = 1, 2, 3, 4, 7

_ESCAPES = {'a': '\a', 'b': '\b', 't': '\t', 'n': '\n', 'v': '\v',
            'f': '\f', 'r': '\r', 'e': '\x1b'}


def _unescape(text, pos, end_char):
    """Decodes a Wine-escaped text from text[pos] up to an unescaped end_char.
    Returns (decoded, position after end_char)."""
    out = []
    while pos < len(text):
        c = text[pos]
        if c == end_char:
            return ''.join(out), pos + 1
        if c != '\\':
            out.append(c)
            pos += 1
            continue
        pos += 1
        c = text[pos]
        if c == 'x':
            m = re.match(r'[0-9a-fA-F]{1,4}', text[pos + 1:])
            out.append(chr(int(m.group(0), 16)))
            pos += 1 + len(m.group(0))
        elif c in '01234567':
            m = re.match(r'[0-7]{1,3}', text[pos:])
            out.append(chr(int(m.group(0), 8)))
            pos += len(m.group(0))
        else:
            out.append(_ESCAPES.get(c, c))
            pos += 1
    raise ValueError('unterminated text: ' + text)


def _escape(text, specials):
    out = []
    for i, c in enumerate(text):
        code = ord(c)
        if code > 127:
            nxt = text[i + 1] if i + 1 < len(text) else ''
            out.append('\\x%04x' % code if nxt and nxt in '0123456789abcdefABCDEF'
                       else '\\x%x' % code)
        elif code < 32:
            named = {v: k for k, v in _ESCAPES.items()}
            out.append('\\' + named[c] if c in named else '\\%03o' % code)
        elif c == '\\' or c in specials:
            out.append('\\' + c)
        else:
            out.append(c)
    return ''.join(out)


def _parse_value(line):
    """'"name"=data' or '@=data' -> (name, (type, data)); data is a str for the
    text types (REG_MULTI_SZ with its null separators and terminators as stored)
    and bytes or an int otherwise."""
    if line.startswith('@='):
        name, pos = '', 2
    else:
        name, pos = _unescape(line, 1, '"')
        pos += 1  # '='
    rest = line[pos:]
    if rest.startswith('"'):
        return name, (REG_SZ, _unescape(rest, 1, '"')[0])
    m = re.match(r'str\((\d+)\):"', rest)
    if m:
        kind = int(m.group(1))
        data = _unescape(rest, m.end(), '"')[0]
        return name, (kind, data)
    if rest.startswith('dword:'):
        return name, (REG_DWORD, int(rest[6:], 16))
    m = re.match(r'hex(?:\((\w+)\))?:(.*)', rest)
    if m:
        kind = int(m.group(1), 16) if m.group(1) else REG_BINARY
        raw = bytes(int(b, 16) for b in m.group(2).split(',') if b.strip())
        if kind in (REG_SZ, REG_EXPAND_SZ):
            return name, (kind, raw.decode('utf-16-le').rstrip('\0'))
        if kind == REG_MULTI_SZ:
            return name, (kind, raw.decode('utf-16-le'))
        return name, (kind, raw)
    raise ValueError('unknown value line: ' + line)


class Key:
    def __init__(self, path, lines):
        self.path = path          # as written in the file, "\" separated
        self.lines = lines        # raw lines of the block, key line first
        self.values = {}          # lower-case name -> (name, (type, data))
        self.is_link = False

    def value(self, name):
        entry = self.values.get(name.lower())
        return entry[1] if entry else None


class Hive:
    """One registry file: its header and its key blocks, in file order."""

    def __init__(self, filename):
        self.filename = filename
        with open(filename, encoding='utf-8', newline='\n') as f:
            raw = f.read().split('\n')
        self.header = []
        self.keys = {}            # lower-case path -> Key
        current = None
        logical = []
        i = 0
        while i < len(raw):
            line, block = raw[i], [raw[i]]
            # Binary data goes on over several lines, each but the last ending
            # in a backslash; texts always end in a quote, key lines in a number.
            while line.endswith('\\') and i + 1 < len(raw):
                i += 1
                line = line[:-1] + raw[i].strip()
                block.append(raw[i])
            logical.append((line, block))
            i += 1
        for line, block in logical:
            if line.startswith('['):
                path, pos = _unescape(line, 1, ']')
                current = Key(path, [line])
                self.keys[path.lower()] = current
                continue
            if current is None:
                self.header.append(line)
                continue
            if line == '':
                continue
            current.lines.extend(block)
            if line == '#link':
                current.is_link = True
            elif line.startswith('"') or line.startswith('@='):
                name, value = _parse_value(line)
                current.values[name.lower()] = (name, value)

    def key(self, path):
        return self.keys.get(path.lower())

    def subtree(self, path):
        """Keys at or below path: {path relative to it ('' for itself): Key}."""
        base = path.lower()
        out = {}
        for low, key in self.keys.items():
            if low == base:
                out[''] = key
            elif low.startswith(base + '\\'):
                out[key.path[len(path) + 1:]] = key
        return out

    def delete_tree(self, path):
        for rel, key in list(self.subtree(path).items()):
            del self.keys[key.path.lower()]

    def set_key(self, path, values):
        """Creates or replaces the key with the given values, in order: REG_SZ
        for a text, REG_DWORD for a number. Missing parent keys need no entry:
        Wine creates them when it loads."""
        self._put(path, values)

    def _put(self, path, values):
        lines = ['[%s] 0' % _escape(path, '[]')]
        key = Key(path, lines)
        for name, data in values:
            if isinstance(data, int):
                lines.append('"%s"=dword:%08x' % (_escape(name, '"'), data))
                key.values[name.lower()] = (name, (REG_DWORD, data))
                continue
            lines.append('"%s"="%s"' % (_escape(name, '"'), _escape(data, '"')))
            key.values[name.lower()] = (name, (REG_SZ, data))
        self.keys[path.lower()] = key

    def save(self):
        out = list(self.header)
        while out and out[-1] == '':
            out.pop()
        out.append('')
        for key in self.keys.values():
            out.extend(key.lines)
            out.append('')
        with open(self.filename, 'w', encoding='utf-8', newline='\n') as f:
            f.write('\n'.join(out))


def snapshot(hive, skip=()):
    """Everything a comparison looks at: {lower-case key path: (path, {lower-case
    value name: (name, (type, data))})}, without the keys below the paths in skip."""
    skips = [s.lower() for s in skip]
    return {low: (key.path, dict(key.values)) for low, key in hive.keys.items()
            if not any(low == s or low.startswith(s + '\\') for s in skips)}


def _without_bare_parents(before, after):
    """Both snapshots without the keys that have no values but subkeys on
    either side: Wine does not write such keys into its files, so whether one
    is listed says nothing."""
    parents = set()
    for low in list(before) + list(after):
        parts = low.split('\\')
        for n in range(1, len(parts)):
            parents.add('\\'.join(parts[:n]))

    def kept(snap):
        return {low: entry for low, entry in snap.items() if entry[1] or low not in parents}
    return kept(before), kept(after)


def differences(before, after):
    """Readable lines for every key and value that differs between two snapshots."""
    before, after = _without_bare_parents(before, after)
    lines = []
    for low in sorted(set(before) | set(after)):
        if low not in after:
            lines.append('key removed: [%s]' % before[low][0])
            continue
        if low not in before:
            lines.append('key added: [%s] %s' % (after[low][0], _show_values(after[low][1])))
            continue
        old, new = before[low][1], after[low][1]
        for name in sorted(set(old) | set(new)):
            if old.get(name) != new.get(name):
                lines.append('[%s] "%s": %s -> %s' % (
                    after[low][0], (new.get(name) or old.get(name))[0],
                    _show(old.get(name)), _show(new.get(name))))
    return lines


def _show(entry):
    if entry is None:
        return '(none)'
    kind, data = entry[1]
    return repr(data) if kind != REG_SZ else '"%s"' % data


def _show_values(values):
    return '{' + ', '.join('"%s"=%s' % (v[0], _show(v)) for v in values.values()) + '}'
