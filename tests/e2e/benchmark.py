#!/usr/bin/env python3
# Measures our programs beside an NSIS peer (tools/benchmark.sh builds both
# first) and prints one table: the sizes of the shipping (i686) programs and of
# the peer's x86 programs, and the time of one installation and one removal
# under 64-bit Wine, x86-64 programs beside the peer's amd64 build, and the
# shipping i686 programs as 32-bit processes on 64-bit Windows (Wine's WoW64
# mode) beside the peer's x86 build made for that case (-DWOW64).
#
# Time of a run: from the start of the program until its last process (the
# uninstallers' temporary copies included) has ended, less the time during
# which one of its boxes waited for an answer, from the box's traced time
# stamp to the typed key; the answers come at once from the keyboard script.
# Each run gets a fresh machine with its wineserver already running; the
# median of several rounds is shown.
#
# Usage: benchmark.py --shipping <folder> --programs <folder> --helpers <folder>
#        --peer <amd64 installer> --peer-x86 <installer> --peer-x86-uninstaller <file>
#        --stub <NSIS stub file> --work <folder> [--rounds N]
#        [--wow64 <WINEDLLPATH folder of tools/wow64.sh> --peer-x86-wow64 <installer>]

import argparse
import os
import statistics
import sys

# The suite's modules are read from the source tree, which stays free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import dialogs                 # noqa: E402
import machine_state           # noqa: E402
import pe_resources            # noqa: E402
import texts                   # noqa: E402
import try_it                  # noqa: E402
import wine_machine            # noqa: E402
from wine_machine import PRELOAD_KEY  # noqa: E402

ONE_THIRD_LIMIT = 159232 // 3


class Runner:
    def __init__(self, args, display):
        self.args = args
        self.display = display
        self.keeper = os.path.join(args.helpers, 'e2e_preload_keeper.exe')
        self.entry_runner = os.path.join(args.helpers, 'e2e_run_uninstall_entry.exe')
        self.template = wine_machine.Machine(args.template, display)
        if not self.template.template_is_current():
            self.template = wine_machine.Machine(os.path.join(args.work, 'vorlage'), display)
            if not self.template.template_is_current():
                self.template.create_template()
        self.wow64_template = None
        if args.wow64:
            self.wow64_template = wine_machine.Machine(args.wow64_template, display, args.wow64)
            if not self.wow64_template.template_is_current():
                self.wow64_template = wine_machine.Machine(os.path.join(args.work, 'vorlage-wow64'),
                                                           display, args.wow64)
                if not self.wow64_template.template_is_current():
                    self.wow64_template.create_template()

    def machine(self, name, wow64=False):
        template = self.wow64_template if wow64 else self.template
        m = wine_machine.Machine(os.path.join(self.args.work, name), self.display, template.wow64_dlls)
        m.copy_from(template)
        m.seed_user_lists([('1', wine_machine.LOCALE_LAYOUT)], [])
        return m

    def timed(self, m, label, command, name_parts, caption=None):
        """Runs command on m, answering every box (titled caption) with Yes or
        OK at once; returns the seconds of the run without the boxes' waiting time."""
        preload = m.hive('user').key(PRELOAD_KEY).value('1')
        trace_path = os.path.join(m.folder, label + '.trace')
        m.start()
        keeper = wine_machine.PreloadKeeper(m, self.keeper, preload[1] if preload else None,
                                            os.path.join(m.folder, label + '.keeper.log'))
        waited = 0.0
        with open(trace_path, 'wb') as trace_file:
            started = dialogs.clock()
            process = m.spawn(command, debug='+timestamp,+msgbox', stderr=trace_file)
        trace = dialogs.Trace(trace_path)

        def running():
            return process.poll() is None or any(m.processes(part) for part in name_parts)

        while True:
            box = dialogs.wait_for_box(trace, self.display, caption, 120, running)
            if box is None:
                break
            if not dialogs.close_box(self.display, box, dialogs.YES):
                raise RuntimeError('%s: box %r not answered' % (label, box.text))
            waited += box.answered - box.opened
        ended = dialogs.clock()
        keeper.stop()
        m.stop()
        if process.returncode != 0:
            raise RuntimeError('%s ended with %s' % (label, process.returncode))
        return ended - started - waited

    def round(self, number):
        """One installation and one removal of each; their times and the
        changes each installation made."""
        times = {}
        changes = {}
        kinds = [('', False, self.args.installer, self.args.peer)]
        if self.wow64_template:
            kinds.append(('wow64_', True, self.args.shipping_installer, self.args.peer_x86_wow64))
        for kind, wow64, installer, peer_installer in kinds:
            ours = self.machine('unsere-%s%d' % (kind, number), wow64)
            before = machine_state.capture(ours)
            times[kind + 'ours_install'] = self.timed(ours, 'installation', [installer],
                                                      ['_VezOdorQFZ27.exe'], texts.INSTALLER)
            changes[kind + 'ours'] = machine_state.differences(machine_state.Expectation(before),
                                                               machine_state.capture(ours))
            times[kind + 'ours_remove'] = self.timed(ours, 'deinstallation',
                                                     [self.entry_runner, texts.ENTRY_NAME],
                                                     ['_VezOdorQFZ27.exe'], texts.UNINSTALLER)
            peer = self.machine('nsis-%s%d' % (kind, number), wow64)
            before = machine_state.capture(peer)
            times[kind + 'peer_install'] = self.timed(peer, 'installation', [peer_installer, '/S'],
                                                      [os.path.basename(peer_installer)])
            changes[kind + 'peer'] = machine_state.differences(machine_state.Expectation(before),
                                                               machine_state.capture(peer))
            # The NSIS uninstaller, too, runs on from a copy in the temporary folder.
            times[kind + 'peer_remove'] = self.timed(peer, 'deinstallation',
                                                     [self.entry_runner, texts.ENTRY_NAME],
                                                     ['Uninstall_VezOdorQFZ27.exe', '~nsu'])
            ours.remove()
            peer.remove()
        return times, changes


def size(path):
    return os.path.getsize(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    optional = ('template', 'wow64', 'peer_x86_wow64', 'wow64_template')
    for name in ('shipping', 'programs', 'helpers', 'peer', 'peer_x86', 'peer_x86_uninstaller',
                 'stub', 'work') + optional:
        parser.add_argument('--' + name.replace('_', '-'), required=name not in optional, default='')
    parser.add_argument('--rounds', type=int, default=3)
    args = parser.parse_args()
    args.work = os.path.abspath(args.work)
    args.installer = os.path.join(os.path.abspath(args.programs), texts.INSTALLER + '.exe')
    args.shipping_installer = os.path.join(os.path.abspath(args.shipping), texts.INSTALLER + '.exe')
    if args.wow64:
        args.wow64 = os.path.abspath(args.wow64)
        if not args.peer_x86_wow64:
            raise SystemExit('--wow64 needs --peer-x86-wow64')
    os.makedirs(args.work, exist_ok=True)

    shipped_installer = os.path.join(args.shipping, texts.INSTALLER + '.exe')
    shipped_uninstaller = os.path.join(args.shipping, texts.UNINSTALLER + '.exe')
    payload = pe_resources.payload(shipped_installer)
    if sorted(payload) != [1, 2, 3, 4, 5, 6]:
        raise SystemExit('the shipping installer lacks payload resources: has %s' % sorted(payload))
    overhead = size(shipped_installer) - sum(len(data) for data in payload.values())

    # A private display, so that the scripted keyboard reaches nobody's windows.
    xvfb, display = try_it.start_xvfb()
    try:
        runner = Runner(args, display)
        rounds = [runner.round(n) for n in range(1, args.rounds + 1)]
    finally:
        xvfb.terminate()
        xvfb.wait()
    median = {key: statistics.median(r[0][key] for r in rounds) for key in rounds[0][0]}

    rows = [
        ('Installationsprogramm (i686, Bytes)', size(shipped_installer), size(args.peer_x86), ''),
        ('  davon ohne Nutzlast DATEI1-6 / NSIS-Stub', overhead, size(args.stub),
         'unter %d' % ONE_THIRD_LIMIT),
        ('Deinstallationsprogramm (i686, Bytes)', size(shipped_uninstaller), size(args.peer_x86_uninstaller),
         'unter %d' % ONE_THIRD_LIMIT),
        ('Installation unter Wine (x86-64/amd64, s)', '%.2f' % median['ours_install'],
         '%.2f' % median['peer_install'], ''),
        ('Deinstallation unter Wine (x86-64/amd64, s)', '%.2f' % median['ours_remove'],
         '%.2f' % median['peer_remove'], ''),
    ]
    if args.wow64:
        rows += [
            ('Installation unter WoW64 (i686/x86, s)', '%.2f' % median['wow64_ours_install'],
             '%.2f' % median['wow64_peer_install'], ''),
            ('Deinstallation unter WoW64 (i686/x86, s)', '%.2f' % median['wow64_ours_remove'],
             '%.2f' % median['wow64_peer_remove'], ''),
        ]
    print()
    print('%-46s %12s %12s  %s' % ('', 'Quarzfeld', 'NSIS 3', 'Ziel'))
    for label, ours, peer, goal in rows:
        print('%-46s %12s %12s  %s' % (label, ours, peer, goal))
    print()
    print('Zeiten: Median aus %d Runden, ohne Wartezeit der Boxen; einzeln:' % len(rounds))
    for n, (times, _) in enumerate(rounds, 1):
        print('  Runde %d: %s' % (n, ', '.join('%s %.2f s' % item for item in sorted(times.items()))))
    changes = rounds[0][1]
    for kind, title in (('', 'x86-64/amd64'), ('wow64_', 'WoW64, i686/x86')):
        if kind + 'ours' not in changes:
            continue
        our_changes, peer_changes = changes[kind + 'ours'], changes[kind + 'peer']
        only_ours = sorted(set(our_changes) - set(peer_changes))
        only_peer = sorted(set(peer_changes) - set(our_changes))
        print('Änderungen der Installation (%s): %d bei uns, %d beim Vergleich, %d gleich'
              % (title, len(our_changes), len(peer_changes), len(set(our_changes) & set(peer_changes))))
        for line in only_ours:
            print('  nur bei uns:   ' + line)
        for line in only_peer:
            print('  nur bei NSIS:  ' + line)
    return 0


if __name__ == '__main__':
    sys.exit(main())
