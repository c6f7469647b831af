#!/usr/bin/env python3
# Runs inside the virtual machine (Debian with 32-bit Wine): sets tests/e2e's
# machine code up for a 32-bit Windows, and, run as a program, boots and seeds
# the template prefix that the image keeps for every later run.
#
# Usage (in the guest): bake_template.py <template folder>

import os
import subprocess
import sys

sys.dont_write_bytecode = True
E2E = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'e2e')
sys.path.insert(0, E2E)

import wine_machine  # noqa: E402

# Debian's wine32 package: the 32-bit loader; the server serves both kinds.
WINE32 = '/usr/lib/wine/wine'
WINESERVER = '/usr/lib/wine/wineserver'


def use_32bit_wine():
    """Every machine of tests/e2e becomes a 32-bit Windows (WINEARCH=win32),
    run by the 32-bit loader."""
    os.environ['WINEARCH'] = 'win32'
    wine_machine.WINE = WINE32
    wine_machine.WINESERVER = WINESERVER


def start_xvfb():
    read_end, write_end = os.pipe()
    process = subprocess.Popen(
        ['Xvfb', '-displayfd', str(write_end), '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        return process, ':' + f.readline().strip()


def is_32bit_prefix(machine):
    """A prefix that Wine made for 32-bit Windows: so marked in its registry,
    and without the WOW64 system folder."""
    with open(os.path.join(machine.prefix, 'system.reg'), encoding='utf-8', errors='replace') as f:
        marked = '#arch=win32' in f.read(4096)
    return marked and not os.path.exists(machine.drive_c('windows', 'syswow64'))


def main():
    use_32bit_wine()
    xvfb, display = start_xvfb()
    try:
        template = wine_machine.Machine(sys.argv[1], display)
        template.create_template()
        template.stop()
    finally:
        xvfb.terminate()
        xvfb.wait()
    print('%s: %s, template %s' % (wine_machine.wine_version(), 'win32' if is_32bit_prefix(template)
                                   else 'NOT a 32-bit prefix', template.prefix))
    return 0 if template.template_is_current() and is_32bit_prefix(template) else 1


if __name__ == '__main__':
    sys.exit(main())
