#!/usr/bin/env python3
# The installer with its real windows on a throwaway Wine machine seeded like
# a German Windows (tools/try-it.sh builds first and then runs this).
# On a reachable display the user answers the boxes; otherwise it runs on a
# private Xvfb, keeps a screenshot of every box and answers Yes and OK.
# Afterwards it prints what changed in the registry and the files.
#
# Usage: try_it.py --programs <folder> --work <folder> [--template <stamped machine folder>]

import argparse
import os
import shutil
import subprocess
import sys
import time

# The suite's modules are read from the source tree, which stays free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import dialogs                 # noqa: E402
import machine_state           # noqa: E402
import texts                   # noqa: E402
import wine_machine            # noqa: E402


def display_reachable(display):
    return bool(display) and subprocess.run(['xdpyinfo', '-display', display], capture_output=True,
                                            stdin=subprocess.DEVNULL).returncode == 0


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(write_end), '-screen', '0', '1280x1024x24',
                             '-nolisten', 'tcp'], pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        return xvfb, ':' + f.readline().strip()


def answer_on_xvfb(machine, process, trace, display, shots):
    """Photographs each box (the whole screen and the box alone) and answers
    it with Yes or OK, until the installer has ended."""
    number = 0

    def running():
        return process.poll() is None

    while True:
        box = dialogs.wait_for_box(trace, display, texts.INSTALLER, 120, running)
        if box is None:
            return
        number += 1
        name = os.path.join(shots, '%02d-box' % number)
        dialogs.screenshot(display, name + '-bildschirm.png')
        if box.window:
            subprocess.run(['import', '-display', display, '-window', box.window, name + '.png'],
                           capture_output=True, stdin=subprocess.DEVNULL)
        print('Box %d ("%s"): %s' % (number, box.title, box.text.replace('\n', ' | ')))
        print('  Bildschirmfoto: %s-bildschirm.png, %s.png' % (name, name))
        dialogs.close_box(display, box, dialogs.YES)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('--programs', required=True)
    parser.add_argument('--work', required=True)
    parser.add_argument('--template', help='a booted, seeded machine folder to copy instead of booting one')
    args = parser.parse_args()
    installer = os.path.join(os.path.abspath(args.programs), texts.INSTALLER + '.exe')
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)

    display = os.environ.get('DISPLAY', '')
    xvfb = None
    if display_reachable(display):
        print('Die Fenster erscheinen auf der Anzeige %s; bitte die Fragen dort beantworten.' % display)
    else:
        xvfb, display = start_xvfb()
        print('Keine erreichbare Anzeige: Xvfb %s, Antworten Ja/OK, Bildschirmfotos unten.' % display)
    if 'de_DE.utf8' in subprocess.run(['locale', '-a'], capture_output=True, text=True).stdout.split():
        print('Gebietsschema: de_DE.UTF-8 (auf diesem Rechner vorhanden).')
    else:
        print('Gebietsschema: de_DE.UTF-8 fehlt auf diesem Rechner (locale -a); Wine nimmt '
              'LC_ALL=de_DE.UTF-8 trotzdem als deutsches Windows-Gebietsschema.')

    template = wine_machine.Machine(args.template or os.path.join(work, 'vorlage'), display)
    if not template.template_is_current():
        template = wine_machine.Machine(os.path.join(work, 'vorlage'), display)
        if not template.template_is_current():
            print('Wine-Vorlage wird gebootet ...')
            template.create_template()
    machine = wine_machine.Machine(os.path.join(work, 'rechner'), display)
    machine.copy_from(template)
    machine.seed_user_lists([('1', wine_machine.LOCALE_LAYOUT)], [])
    before = machine_state.capture(machine)
    shots = os.path.join(work, 'bildschirmfotos-' + time.strftime('%Y%m%d-%H%M%S'))
    os.makedirs(shots)

    trace_path = os.path.join(shots, 'spur.txt')
    with open(trace_path, 'wb') as trace_file:
        process = machine.spawn([installer], debug='+msgbox', stderr=trace_file)
    try:
        if xvfb:
            answer_on_xvfb(machine, process, dialogs.Trace(trace_path), display, shots)
        process.wait()
    finally:
        machine.stop()
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
    print('Installationsprogramm beendet, Exit-Code %d.' % process.returncode)

    after = machine_state.capture(machine)
    changes = machine_state.differences(machine_state.Expectation(before), after)
    language = machine.hive('user').key(r'Control Panel\International').value('LocaleName')
    print('Gebietsschema in Wine: %s' % (language[1] if language else '?'))
    print('Änderungen (Registry: HKLM/HKCU, Dateien unter C:\\):')
    for line in changes or ['(keine)']:
        print('  ' + line)
    if not xvfb:
        shutil.rmtree(shots, ignore_errors=True)
    machine.remove()
    return 0


if __name__ == '__main__':
    sys.exit(main())
