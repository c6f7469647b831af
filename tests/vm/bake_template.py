#!/usr/bin/env python3
# Runs inside the virtual machine (Debian with 32-bit Wine): sets tests/e2e's
# machine code up for a 32-bit Windows, and, run as a program, boots and seeds
# the template prefix that the image keeps for every later run.
#
# Usage (in the guest): bake_template.py <template folder>

import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True
E2E = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'e2e')
sys.path.insert(0, E2E)

import wine_machine  # noqa: E402

# Debian's wine32 package: the 32-bit loader; the server serves both kinds.
WINE32 = '/usr/lib/wine/wine'
WINESERVER = '/usr/lib/wine/wineserver'


# Wine under qemu's software emulation is several times slower than on the
# host: the waits of tests/e2e's machine code are stretched by this factor.
SLOWER = 5
_host_run_quiet = wine_machine._run_quiet


def _run_quiet_slower(args, env, timeout=120):
    started = time.monotonic()
    code = _host_run_quiet(args, env, timeout * SLOWER)
    print('  %s: %.0f s' % (' '.join(os.path.basename(a) for a in args[:2]), time.monotonic() - started),
          flush=True)
    return code


def use_32bit_wine():
    """Every machine of tests/e2e becomes a 32-bit Windows (WINEARCH=win32),
    run by the 32-bit loader."""
    os.environ['WINEARCH'] = 'win32'
    wine_machine.WINE = WINE32
    wine_machine.WINESERVER = WINESERVER
    wine_machine._run_quiet = _run_quiet_slower


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


def warm_up(machine, limit=600):
    """Runs a window program on the machine until Wine has written what its
    first window session writes (the theme's settings and the input devices
    of the display, with their .pnf files), so that copies of the machine see
    no such writes in their programs' runs."""
    def done():
        with open(os.path.join(machine.prefix, 'user.reg'), encoding='utf-8', errors='replace') as f:
            user = f.read()
        with open(os.path.join(machine.prefix, 'system.reg'), encoding='utf-8', errors='replace') as f:
            system = f.read()
        return ('"LoadedBefore"' in user and 'winehid' in system
                and os.path.exists(machine.drive_c('windows', 'inf', 'winehid.pnf')))

    started = time.monotonic()
    program = machine.spawn(['notepad.exe'])
    # The server writes its registry files every 30 seconds while it runs.
    while not done() and time.monotonic() < started + limit:
        time.sleep(5)
    program.kill()
    machine.stop()
    program.wait()
    print('  first window session: %.0f s' % (time.monotonic() - started), flush=True)
    return done()


def main():
    use_32bit_wine()
    xvfb, display = start_xvfb()
    try:
        template = wine_machine.Machine(sys.argv[1], display)
        template.create_template()
        template.stop()
        if not warm_up(template):
            print('the first window session wrote less than expected')
            return 1
    finally:
        xvfb.terminate()
        xvfb.wait()
    print('%s: %s, template %s' % (wine_machine.wine_version(), 'win32' if is_32bit_prefix(template)
                                   else 'NOT a 32-bit prefix', template.prefix))
    return 0 if template.template_is_current() and is_32bit_prefix(template) else 1


if __name__ == '__main__':
    sys.exit(main())
