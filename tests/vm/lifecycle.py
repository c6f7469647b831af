#!/usr/bin/env python3
# Runs inside the virtual machine: the shipping (i686) installer and
# uninstaller, unchanged, on a 32-bit Windows (32-bit Wine, WINEARCH=win32),
# with their real message boxes answered on the keyboard by tests/e2e's
# driver: first installation, update, removal through the registered
# UninstallString (hand-over to the temporary copy, the copy listed for
# deletion at restart), No to each program, and the installer started with
# an argument. After each step the machine is compared with what it must hold
# there; on top, what only a 32-bit Windows shows is checked explicitly: the
# x86 library in system32, no WOW64 system folder or library, the product
# folder under "Program Files" and the uninstall entry in the one registry view.
#
# Usage (in the guest): lifecycle.py --programs <folder> --helpers <folder>
#                                    --work <folder> --out <folder>
# A failing scenario's traces, screenshots and registry files are copied to
# --out/<scenario>.

import argparse
import os
import shutil
import struct
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import bake_template  # noqa: E402  (puts tests/e2e on the path)

bake_template.use_32bit_wine()

import dialogs        # noqa: E402
import e2e            # noqa: E402
import machine_state  # noqa: E402
import texts          # noqa: E402
import wine_machine   # noqa: E402

I386 = 0x14c

# Under software emulation a box can take seconds to take the focus, and a key
# typed before that is lost: the driver's waits are stretched, and a box that
# is still open after its answer is answered again.
_host_wait_for_box = dialogs.wait_for_box
_host_close_box = dialogs.close_box


def _wait_for_box_slower(trace, display, caption, timeout, is_running):
    box = _host_wait_for_box(trace, display, caption, timeout * bake_template.SLOWER, is_running)
    # The traced box's window may be mapped only seconds later; until then the
    # driver takes some other window (here Wine's untitled desktop window).
    deadline = time.monotonic() + 60
    while box is not None and caption is not None and box.title != caption \
            and time.monotonic() < deadline:
        titled = [w for w in dialogs.visible_windows(display) if w[1] == caption]
        if titled:
            box.window, box.title, box.pid = titled[-1]
            box.command_line = dialogs.command_line(box.pid)
        else:
            time.sleep(0.2)
    return box


def _close_box_again(display, box, key, timeout=10):
    for _ in range(3):
        if _host_close_box(display, box, key, timeout * 2):
            return True
    return False


dialogs.wait_for_box = _wait_for_box_slower
dialogs.close_box = _close_box_again

# What Wine itself writes in a session of its own accord (the display's input
# devices that it enumerates, the theme of a first window session, and the
# compiled .inf files of those devices) is left out of the comparison, as
# tests/e2e leaves out Wine's display and network set-up.
machine_state.REGISTRY_NOISE['system'] += [r'System\CurrentControlSet\Enum',
                                           r'System\CurrentControlSet\Control\DeviceClasses',
                                           r'System\CurrentControlSet\Services\winehid']
machine_state.REGISTRY_NOISE['user'] += [r'Control Panel\Colors', r'Control Panel\Desktop',
                                         r'Software\Microsoft\Windows\CurrentVersion\ThemeManager']
_host_capture = machine_state.capture

# Wine's virtual HID bus (a mouse and a keyboard device that it enumerates at
# every session start) holds the loader lock for a minute under emulation;
# the programs never look at it, and keys reach them through the X server.
_host_env = wine_machine.Machine.env


def _env_without_hid_bus(self, debug='-all'):
    env = _host_env(self, debug)
    env['WINEDLLOVERRIDES'] += ';winebus.sys=d;winehid.sys=d'
    return env


wine_machine.Machine.env = _env_without_hid_bus


def _capture_without_wine_inf(machine):
    state = _host_capture(machine)
    inf = os.path.join('windows', 'inf') + os.sep
    for path in [p for p in state.files if p.startswith(inf) and p.endswith('.pnf')]:
        del state.files[path]
    return state


machine_state.capture = _capture_without_wine_inf

WOW64_KEY = r'Software\Wow6432Node'


def pe_machine(content):
    """The machine field of a PE file's header, or None."""
    if content[:2] != b'MZ' or len(content) < 0x40:
        return None
    pe = struct.unpack_from('<I', content, 0x3c)[0]
    if content[pe:pe + 4] != b'PE\0\0':
        return None
    return struct.unpack_from('<H', content, pe + 4)[0]


def check_32bit_installation(suite, sc):
    """What a first installation leaves on a 32-bit Windows beyond the e2e
    comparison (which already holds every file and key)."""
    m = sc.machine
    library = m.drive_c('windows', 'system32', texts.LIBRARY)
    content = open(library, 'rb').read() if os.path.exists(library) else b''
    suite.check(sc, content == suite.payload[1] and pe_machine(content) == I386,
                'system32\\%s ist nicht die x86-Bibliothek (DATEI1, i386)' % texts.LIBRARY)
    suite.check(sc, not os.path.exists(m.drive_c('windows', 'syswow64')),
                'ein WOW64-Systemordner C:\\windows\\syswow64 ist entstanden')
    suite.check(sc, os.path.isdir(m.drive_c('Program Files', texts.PRODUCT_FOLDER)),
                'Produktordner fehlt unter C:\\Program Files')
    suite.check(sc, not os.path.exists(m.drive_c('Program Files (x86)')),
                'C:\\Program Files (x86) ist entstanden')
    system = m.hive('system')
    suite.check(sc, system.key(suite.entry_key) is not None,
                'Deinstallationseintrag fehlt in HKLM\\%s' % suite.entry_key)
    suite.check(sc, not system.subtree(WOW64_KEY),
                'HKLM\\%s ist entstanden' % WOW64_KEY)


def installer_with_argument(suite):
    """The installer started with an argument: its one refusal, no status
    window, nothing changed."""
    sc = suite.fresh_machine('installationsprogramm_mit_argument')
    sc.machine.seed_user_lists([('1', '00000407')], [])
    before = machine_state.capture(sc.machine)
    suite.run(sc, 'mit_argument', [suite.installer, e2e.NEW_KLID],
              [e2e.info_box(texts.INSTALLER, e2e.formatted(texts.ARGUMENT_REFUSED, e2e.NEW_KLID))], None)
    suite.compare(sc, 'mit_argument', machine_state.Expectation(before))
    return [sc]


def lifecycle(suite):
    sc = e2e.install_update_uninstall(suite)
    if suite.installed is not None:
        # The stopped copy taken right after the first installation.
        view = e2e.Scenario(suite, sc.name)
        view.machine = suite.installed
        check_32bit_installation(suite, view)
        sc.failed = sc.failed or view.failed
    return [sc]


SCENARIOS = [lifecycle, e2e.answer_no, installer_with_argument]


def keep_evidence(sc, out):
    """Traces, screenshots, logs and the registry files of a failed scenario."""
    target = os.path.join(out, sc.name)
    os.makedirs(target, exist_ok=True)
    for name in os.listdir(sc.folder):
        path = os.path.join(sc.folder, name)
        if os.path.isfile(path):
            shutil.copy2(path, target)
    for name in ('system.reg', 'user.reg'):
        path = os.path.join(sc.machine.prefix, name)
        if os.path.exists(path):
            shutil.copy2(path, target)
    print('    Spuren und Bildschirmfotos: %s' % target)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('--programs', required=True)
    parser.add_argument('--helpers', required=True)
    parser.add_argument('--work', required=True)
    parser.add_argument('--out', required=True)
    args = parser.parse_args()

    started = time.monotonic()
    suite = e2e.Suite(args.programs, args.helpers, args.work)
    print('%s (32-bit, WINEARCH=win32), Anzeige %s' % (wine_machine.wine_version(), suite.display))
    if not suite.template.template_is_current():
        print('Vorlage veraltet oder fehlt: sie wird gebootet')
    try:
        for scenario in SCENARIOS:
            begun = time.monotonic()
            result = scenario(suite)
            if not result:
                suite.failures += 1
                print('FEHLER %s: übersprungen, die Erstinstallation misslang' % scenario.__name__)
            for sc in result:
                print('%s %s (%.0f s)' % ('FEHLER' if sc.failed else 'OK    ', sc.name,
                                          time.monotonic() - begun))
                sc.machine.stop()
                if sc.failed:
                    keep_evidence(sc, args.out)
                sc.machine.remove()
    finally:
        if suite.installed:
            suite.installed.remove()
        suite.close()
    print('%d Fehler, %.0f s' % (suite.failures, time.monotonic() - started))
    return 1 if suite.failures else 0


if __name__ == '__main__':
    sys.exit(main())
