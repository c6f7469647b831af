#!/usr/bin/env python3
# End-to-end suite: the x86-64 installer and uninstaller of the test build,
# unchanged, each scenario on a fresh Wine machine seeded like a German
# Windows. Every message box is read from Wine's trace and its window, checked
# against the programs' German texts, and answered on the keyboard; after each
# run the registry and the files are compared with what must be there.
# With --wow64 the same scenarios run the shipping i686 programs as 32-bit
# processes on 64-bit Windows (Wine's WoW64 mode), where the file system and
# the registry are redirected for them.
#
# Usage: e2e.py --programs <folder> --helpers <folder> --work <folder>
#               [--wow64 <WINEDLLPATH folder of tools/wow64.sh>] [scenario...]
# QF_E2E_TRACE=<more Wine debug channels, e.g. ",+timestamp,+loaddll"> widens
# the trace that every program run keeps.
# A failing step leaves a screenshot and the trace in the scenario's folder
# under --work and prints their paths.

import argparse
import os
import subprocess
import sys
import time

# The suite's modules are read from the source tree, which stays free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import dialogs                 # noqa: E402
import machine_state           # noqa: E402
import pe_resources            # noqa: E402
import texts                   # noqa: E402
import wine_machine            # noqa: E402
from wine_machine import LAYOUTS_KEY, PRELOAD_KEY, SUBSTITUTES_KEY, UNINSTALL_KEY  # noqa: E402

# The same list as a 32-bit program on 64-bit Windows sees and writes it.
UNINSTALL_KEY_32 = r'Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'
SESSION_MANAGER_KEY = r'System\CurrentControlSet\Control\Session Manager'
NEW_KLID = 'b0030407'          # counters 000, 001 and 002 are taken by the seeded layouts
NEW_LAYOUT_ID = '0c00'         # no German "Layout Id" reaches 0c00 (a non-German one does)

# Last-write times that the installer gives the payload files (FILETIME halves).
STORED_TIMES = {1: (0x01D56D16, 0xC4941E0B), 2: (0x01D5729C, 0x667B4573),
                3: (0x01D5729C, 0x6488CF5A), 4: (0x01D5714A, 0x2C7130EC),
                5: (0x01D5713B, 0x0E0D0F8E), 6: (0x01D57321, 0xD61F7EB9)}


def stored_time_ns(number):
    high, low = STORED_TIMES[number]
    return ((high << 32 | low) - 116444736000000000) * 100


def pending_renames(data):
    """REG_MULTI_SZ text of PendingFileRenameOperations -> [(source, target)]."""
    items = data.split('\0')
    pairs = []
    while len(items) >= 2 and items[0]:
        pairs.append((items[0], items[1]))
        items = items[2:]
    return pairs


def formatted(format_text, *values):
    return format_text.replace('%s', '{}').format(*values)



WINE_START_FAILURE = b'failed to map the shared user data'


def wine_start_failed(process, trace_path, wait=2.0):
    """True when the process ended at once because Wine could not set it up
    (the loader's own message in the trace), before the program ran."""
    deadline = time.monotonic() + wait
    while time.monotonic() < deadline:
        with open(trace_path, 'rb') as f:
            traced = f.read()
        if WINE_START_FAILURE in traced:
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
            return True
        # A program that shows its first box, or has ended, has started.
        if traced or process.poll() is not None:
            return False
        time.sleep(0.05)
    return False

class ExpectedBox:
    def __init__(self, caption, text, answer, terms_follow=False):
        self.caption = caption
        self.text = text
        self.answer = answer
        self.terms_follow = terms_follow   # the text goes on with the terms of use


def info_box(caption, text):
    return ExpectedBox(caption, text, dialogs.OK)


class Scenario:
    def __init__(self, suite, name):
        self.suite = suite
        self.name = name
        self.folder = os.path.join(suite.work, name)
        self.machine = suite.new_machine(self.folder)
        self.failed = False

    def path(self, name):
        return os.path.join(self.folder, name)


class Suite:
    def __init__(self, programs, helpers, work, wow64_dlls=None, stand_in=None):
        self.wow64_dlls = wow64_dlls
        self.stand_in = stand_in   # our input.dll for the programs' architecture
        # Where the programs must put things. A 32-bit program on 64-bit
        # Windows writes the x64 library into the native system folder and the
        # WOW64 library into syswow64, its product folder into the 32-bit
        # program-files folder and its uninstall entry into the 32-bit
        # registry view; the layout key and the user's lists are shared.
        if wow64_dlls:
            self.program_files = 'Program Files (x86)'
            self.entry_key = UNINSTALL_KEY_32 + '\\' + texts.ENTRY_NAME
            self.libraries = [('system32', 2), ('syswow64', 3)]
        else:
            self.program_files = 'Program Files'
            self.entry_key = UNINSTALL_KEY + '\\' + texts.ENTRY_NAME
            self.libraries = [('system32', 1)]
        self.installer = os.path.join(programs, texts.INSTALLER + '.exe')
        self.uninstaller = os.path.join(programs, texts.UNINSTALLER + '.exe')
        self.keeper = os.path.join(helpers, 'e2e_preload_keeper.exe')
        self.entry_runner = os.path.join(helpers, 'e2e_run_uninstall_entry.exe')
        self.work = os.path.abspath(work)
        self.failures = 0
        self.xvfb = None
        self.display = os.environ.get('DISPLAY') or self.start_xvfb()
        self.payload = pe_resources.payload(self.installer)
        self.template = self.new_machine(os.path.join(self.work, 'template'))
        self.installed = None      # a stopped machine right after the first installation

    def start_xvfb(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write_end), '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            return ':' + f.readline().strip()

    def new_machine(self, folder):
        return wine_machine.Machine(folder, self.display, self.wow64_dlls)

    def close(self):
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()

    # --- reporting ---------------------------------------------------------

    def fail(self, sc, message, screenshot_name=None):
        sc.failed = True
        self.failures += 1
        print('  FEHLER %s: %s' % (sc.name, message))
        if screenshot_name:
            shot = dialogs.screenshot(self.display, sc.path(screenshot_name))
            print('    Bildschirmfoto: %s' % shot)

    def check(self, sc, condition, message):
        if not condition:
            self.fail(sc, message)
        return condition

    # --- machines ----------------------------------------------------------

    def fresh_machine(self, name):
        sc = Scenario(self, name)
        if not self.template.template_is_current():
            print('Vorlage wird gebootet: %s' % self.template.prefix)
            self.template.create_template()
        sc.machine.copy_from(self.template)
        return sc

    def machine_from(self, name, source):
        sc = Scenario(self, name)
        sc.machine.copy_from(source)
        return sc

    # --- one program run -------------------------------------------------------

    def run(self, sc, label, command, boxes, status_title):
        """Starts command (a program with its arguments) on the scenario's
        machine, checks and answers the expected boxes in order, and waits
        until every process of the programs has ended. status_title is the
        status window's title that must appear, or None when no status window
        may appear. Returns the exit code of the started process."""
        m = sc.machine
        display = self.display
        preload = m.hive('user').key(PRELOAD_KEY)
        first = preload.value('1') if preload else None
        trace_path = sc.last_trace = sc.path(label + '.trace')
        keeper = wine_machine.PreloadKeeper(m, self.keeper, first[1] if first else None,
                                            sc.path(label + '.keeper.log'))
        # Wine's WoW64 loader now and then cannot place a new process's shared
        # user data page (c0000018) and ends it before any of the program has
        # run; such a start is made again, and nothing else is.
        for attempt in range(3):
            with open(trace_path, 'wb') as trace_file:
                process = m.spawn(command, debug='+msgbox' + os.environ.get('QF_E2E_TRACE', ''),
                                  stderr=trace_file)
            if not wine_start_failed(process, trace_path):
                break
            print('  Hinweis %s: %s: Wine konnte den Prozess nicht anlegen, neuer Start' % (sc.name, label))
        trace = dialogs.Trace(trace_path)

        def running():
            return process.poll() is None or bool(m.processes('_VezOdorQFZ27.exe'))

        titles = set()
        for number, want in enumerate(boxes, 1):
            box = dialogs.wait_for_box(trace, display, want.caption, 60, running)
            if box is None:
                self.fail(sc, '%s: Box %d ("%s") erschien nicht; Spur: %s'
                          % (label, number, want.text[:50], trace_path), '%s-box%d.png' % (label, number))
                break
            titles.update(title for _, title, _ in box.windows)
            if box.hidden:
                print('  Hinweis %s: %s: Box %d von Wine nicht abgebildet, über das Statusfenster beantwortet'
                      % (sc.name, label, number))
            self.check_box(sc, '%s-box%d' % (label, number), want, box, trace_path)
            if not dialogs.close_box(display, box, want.answer):
                self.fail(sc, '%s: Box %d schloss sich nicht auf %s' % (label, number, want.answer),
                          '%s-box%d-offen.png' % (label, number))
        deadline = time.monotonic() + 60
        while running() and time.monotonic() < deadline:
            titles.update(title for _, title, _ in dialogs.visible_windows(display))
            self.answer_unexpected(sc, label, trace, running)
            time.sleep(0.1)
        if running():
            self.fail(sc, '%s: Programm endete nicht binnen 60 s' % label, label + '-haengt.png')
        self.answer_unexpected(sc, label, trace, running)
        keeper.stop()
        m.stop()

        status_windows = sorted(t for t in titles if 'Tastaturtreiber-' in t)
        if status_title:
            self.check(sc, status_title in titles, '%s: Statusfenster "%s" nicht gesehen (gesehen: %s)'
                       % (label, status_title, sorted(titles)))
        else:
            self.check(sc, not status_windows, '%s: Statusfenster erschien: %s' % (label, status_windows))
        code = process.returncode
        self.check(sc, code == 0, '%s: Exit-Code %s, erwartet 0' % (label, code))
        return code

    def check_box(self, sc, name, want, box, trace_path):
        problems = []
        if box.title != want.caption:
            problems.append('Titel "%s", erwartet "%s"' % (box.title, want.caption))
        shown = box.text.encode('cp1252', 'replace')
        expected = want.text.encode('cp1252')
        if want.terms_follow:
            # The terms paragraph after the question is worded freely; it must be there.
            if not shown.startswith(expected) or len(shown) == len(expected):
                problems.append('Text %r, erwartet %r und dann die Nutzungsbedingungen' % (shown, expected))
        elif box.cut:
            if not (expected.startswith(shown) and len(shown) >= 100):
                problems.append('Text %r... (Spur gekürzt), erwartet %r' % (shown, expected))
        elif shown != expected:
            problems.append('Text %r, erwartet %r' % (shown, expected))
        if problems:
            self.fail(sc, '%s: %s; Spur: %s' % (name, '; '.join(problems), trace_path), name + '.png')
        sc.last_box_command = box.command_line

    def answer_unexpected(self, sc, label, trace, running):
        while True:
            box = dialogs.wait_for_box(trace, self.display, None, 0, running)
            if box is None:
                return
            self.fail(sc, '%s: unerwartete Box %r (Titel "%s")' % (label, box.text, box.title),
                      label + '-unerwartet.png')
            # No to a question, then OK to anything else; neither changes more.
            for key in (dialogs.NO, dialogs.OK):
                if box.window and dialogs.window_viewable(self.display, box.window):
                    dialogs.answer(self.display, box.window, key)
                    time.sleep(0.3)

    def compare(self, sc, label, expected):
        actual = machine_state.capture(sc.machine)
        lines = machine_state.differences(expected, actual)
        for line in lines:
            self.fail(sc, '%s: %s' % (label, line))
        if lines:
            print('    Spur: %s; Rechner: %s' % (sc.last_trace, sc.machine.prefix))
        return actual

    # --- what an installation puts in place ----------------------------------

    def product(self, *names):
        return os.path.join(self.program_files, texts.PRODUCT_FOLDER, *names)

    def desktop_link(self, m):
        return os.path.join('users', m.user_name(), 'Desktop', texts.CHART_NAME + '.LNK')

    def temporary_copy(self, m):
        """The uninstaller's copy in the user's temporary folder (Wine keeps it
        in TEMP of the user's environment, "%USERPROFILE%\\Temp")."""
        temp = m.hive('user').key('Environment').value('TEMP')[1]
        temp = temp.replace('%USERPROFILE%', 'C:\\users\\' + m.user_name())
        return os.path.join(*temp[3:].split('\\'), texts.UNINSTALLER + '.exe')

    def expect_installation(self, sc, expected, klid, preload, substitutes):
        """The files, the layout key, the uninstall entry and the user's lists
        of a first installation."""
        m = sc.machine
        expected.set_key('system', LAYOUTS_KEY + '\\' + klid,
                         [('Layout Text', texts.LAYOUT_NAME), ('Layout File', texts.LIBRARY),
                          ('Layout Id', NEW_LAYOUT_ID), ('Created by VezOdor', '')])
        expected.set_key('user', PRELOAD_KEY, preload)
        expected.set_key('user', SUBSTITUTES_KEY, substitutes)

        product = 'C:\\' + self.product().replace('/', '\\') + '\\'
        entry = [('DisplayName', texts.ENTRY_NAME),
                 ('UninstallString', '"%s%s.exe" %s' % (product, texts.UNINSTALLER, klid)),
                 ('DisplayVersion', '2.06'),
                 ('DisplayIcon', product + texts.CHART_NAME + '.ico'),
                 ('Comments', '%s und %s von Ihrem Rechner entfernen' % (texts.ENTRY_NAME, texts.CHART_NAME))]
        # The web address and the publisher are the product's own choice: they
        # must be there, and the address the same in its three places.
        written = m.hive('system').key(self.entry_key)
        free = {}
        for name in ('HelpLink', 'URLUpdateInfo', 'URLInfoAbout', 'Publisher'):
            value = written.value(name) if written else None
            free[name] = value[1] if value else ''
            self.check(sc, free[name] != '', 'Deinstallationseintrag ohne "%s"' % name)
        self.check(sc, free['HelpLink'] == free['URLUpdateInfo'] == free['URLInfoAbout'],
                   'Webadressen des Eintrags verschieden: %s' % free)
        expected.set_key('system', self.entry_key, entry + sorted(free.items()))

        # Each payload file byte for byte, with its stored last-write time. (Wine
        # keeps no archive attribute on files, so the attributes are not compared.)
        for folder, number in self.libraries:
            expected.add_file(os.path.join('windows', folder, texts.LIBRARY), self.payload[number],
                              stored_time_ns(number))
        expected.add_folder(self.product())
        expected.add_file(self.product(texts.UNINSTALLER + '.exe'), self.payload[6], stored_time_ns(6))
        expected.add_file(self.product(texts.CHART_NAME + '.pdf'), self.payload[4], stored_time_ns(4))
        expected.add_file(self.product(texts.CHART_NAME + '.ico'), self.payload[5], stored_time_ns(5))
        expected.add_file(self.desktop_link(m), self.check_link(sc))

    def check_link(self, sc):
        """The desktop shortcut exists and leads to the chart; returns its bytes."""
        m = sc.machine
        link = os.path.join(m.drive_c(), self.desktop_link(m))
        if not self.check(sc, os.path.exists(link), 'Verknüpfung fehlt: %s' % link):
            return b''
        with open(link, 'rb') as f:
            content = f.read()
        target = self.product(texts.CHART_NAME + '.pdf').replace('/', '\\')
        self.check(sc, target.encode() in content or target.encode('utf-16-le') in content,
                   'Verknüpfung zeigt nicht auf %s' % target)
        return content

    def expect_removal(self, sc, expected):
        """What a completed removal leaves besides the machine as it was."""
        self.expect_temporary_copy(sc, expected)

    def expect_temporary_copy(self, sc, expected):
        """What every run of the temporary copy leaves, whether it removed the
        layout, was answered No or refused: the copy, marked for deletion at
        the next start."""
        m = sc.machine
        copy_path = self.temporary_copy(m)
        with open(self.uninstaller, 'rb') as f:
            expected.add_file(copy_path, f.read())
        # Wine writes the list without its final terminator when the last
        # target is empty; what counts is the one pair (copy, no new name).
        found = m.hive('system').key(SESSION_MANAGER_KEY).value('PendingFileRenameOperations')
        pairs = pending_renames(found[1]) if found else []
        windows_path = '\\??\\C:\\' + copy_path.replace('/', '\\')
        if self.check(sc, pairs == [(windows_path, '')],
                      'PendingFileRenameOperations: %r, erwartet [(%r, \'\')]' % (pairs, windows_path)):
            expected.set_value('system', SESSION_MANAGER_KEY, 'PendingFileRenameOperations', found)

    def check_box_from_copy(self, sc, label):
        """The removal's boxes come from the temporary copy, not from the
        program that the uninstall entry started."""
        copy_path = self.temporary_copy(sc.machine).replace('/', '\\').lower()
        self.check(sc, copy_path in sc.last_box_command.lower(),
                   '%s: Box nicht von der temporären Kopie (Prozess: %r)' % (label, sc.last_box_command))


# --- scenarios ---------------------------------------------------------------

def install_update_uninstall(suite):
    """First installation, the same installer again, then the uninstall
    entry's command: the machine ends as it began."""
    sc = suite.fresh_machine('installation_aktualisierung_deinstallation')
    m = sc.machine
    with open(suite.uninstaller, 'rb') as f:
        suite.check(sc, suite.payload.get(6) == f.read(),
                    'DATEI6 des Installationsprogramms ist nicht das Deinstallationsprogramm des Builds')
    m.seed_user_lists([('1', '00000407')], [])
    start = machine_state.capture(m)

    question = formatted(texts.QUESTION, 'installieren', texts.LAYOUT_NAME)
    suite.run(sc, 'installation', [suite.installer],
              [ExpectedBox(texts.INSTALLER, question, dialogs.YES, terms_follow=True),
               info_box(texts.INSTALLER, texts.INSTALLED)], texts.INSTALLER_TITLE)
    expected = machine_state.Expectation(start)
    suite.expect_installation(sc, expected, NEW_KLID,
                              [('1', 'd0010407'), ('2', '00000407')], [('d0010407', NEW_KLID)])
    installed = suite.compare(sc, 'installation', expected)
    if not sc.failed:
        suite.installed = suite.new_machine(os.path.join(suite.work, 'installiert'))
        suite.installed.copy_from(m)

    question = formatted(texts.QUESTION, 'aktualisieren', texts.LAYOUT_NAME)
    suite.run(sc, 'aktualisierung', [suite.installer],
              [ExpectedBox(texts.INSTALLER, question, dialogs.YES, terms_follow=True),
               info_box(texts.INSTALLER, formatted(texts.UPDATED, texts.LAYOUT_NAME, ''))],
              texts.INSTALLER_TITLE)
    # Layout already at position 1: nothing to rewrite, the files written again
    # alike; only the shortcut is made anew.
    expected = machine_state.Expectation(installed)
    expected.rewritten_file(suite.desktop_link(m))
    suite.check_link(sc)
    suite.compare(sc, 'aktualisierung', expected)

    suite.run(sc, 'deinstallation', [suite.entry_runner, texts.ENTRY_NAME],
              [ExpectedBox(texts.UNINSTALLER, formatted(texts.REMOVE_QUESTION, texts.LAYOUT_NAME), dialogs.YES),
               info_box(texts.UNINSTALLER, formatted(texts.REMOVED, texts.LAYOUT_NAME))],
              texts.UNINSTALLER_TITLE)
    suite.check_box_from_copy(sc, 'deinstallation')
    expected = machine_state.Expectation(start)
    suite.expect_removal(sc, expected)
    suite.compare(sc, 'deinstallation', expected)
    return sc


def answer_no(suite):
    """No to the installer's question, and No to the uninstaller's: nothing
    changes (the uninstaller has made its temporary copy by then)."""
    sc = suite.fresh_machine('nein_zum_installationsprogramm')
    sc.machine.seed_user_lists([('1', '00000407')], [])
    before = machine_state.capture(sc.machine)
    suite.run(sc, 'nein', [suite.installer],
              [ExpectedBox(texts.INSTALLER, formatted(texts.QUESTION, 'installieren', texts.LAYOUT_NAME),
                           dialogs.NO, terms_follow=True),
               info_box(texts.INSTALLER, texts.INSTALL_ABORTED)], texts.INSTALLER_TITLE)
    suite.compare(sc, 'nein', machine_state.Expectation(before))
    scenarios = [sc]

    if suite.installed is None:
        return scenarios
    sc = suite.machine_from('nein_zum_deinstallationsprogramm', suite.installed)
    before = machine_state.capture(sc.machine)
    suite.run(sc, 'nein', [suite.entry_runner, texts.ENTRY_NAME],
              [ExpectedBox(texts.UNINSTALLER, formatted(texts.REMOVE_QUESTION, texts.LAYOUT_NAME), dialogs.NO),
               info_box(texts.UNINSTALLER, texts.REMOVAL_ABORTED)], texts.UNINSTALLER_TITLE)
    expected = machine_state.Expectation(before)
    suite.expect_temporary_copy(sc, expected)
    suite.compare(sc, 'nein', expected)
    scenarios.append(sc)
    return scenarios


def wrong_calls(suite):
    """The installer with an argument, the uninstaller in its product folder
    with each kind of unusable KLID: one refusal box, no status window,
    nothing changed. Then a KLID that is well-formed but not registered."""
    if suite.installed is None:
        return []
    sc = suite.machine_from('falsche_aufrufe', suite.installed)
    installed_uninstaller = 'C:\\' + suite.product(texts.UNINSTALLER + '.exe').replace('/', '\\')
    calls = [
        ('installer_mit_argument', [suite.installer, NEW_KLID], texts.INSTALLER,
         formatted(texts.ARGUMENT_REFUSED, NEW_KLID)),
        ('ohne_klid', [installed_uninstaller], texts.UNINSTALLER, texts.KLID_MISSING),
        ('zwei_klids', [installed_uninstaller, NEW_KLID, NEW_KLID], texts.UNINSTALLER, texts.KLID_MISSING),
        ('neun_zeichen', [installed_uninstaller, NEW_KLID + '0'], texts.UNINSTALLER,
         formatted(texts.KLID_LENGTH, NEW_KLID + '0')),
        ('schweiz', [installed_uninstaller, 'b0030807'], texts.UNINSTALLER,
         formatted(texts.KLID_NOT_GERMAN, 'b0030807')),
        ('standard', [installed_uninstaller, '00000407'], texts.UNINSTALLER,
         formatted(texts.KLID_STANDARD, '00000407')),
    ]
    for label, command, caption, text in calls:
        before = machine_state.capture(sc.machine)
        suite.run(sc, label, command, [info_box(caption, text)], None)
        suite.compare(sc, label, machine_state.Expectation(before))

    # A well-formed KLID that names no layout key passes the checks of the
    # program that was started; its temporary copy finds no key and stops.
    before = machine_state.capture(sc.machine)
    suite.run(sc, 'unbekannte_klid', [installed_uninstaller, 'b0040407'],
              [info_box(texts.UNINSTALLER, formatted(texts.KLID_UNKNOWN, texts.LAYOUT_NAME, 'b0040407',
                                                     'VezOdorQFZ27'))], texts.UNINSTALLER_TITLE)
    suite.check_box_from_copy(sc, 'unbekannte_klid')
    expected = machine_state.Expectation(before)
    suite.expect_temporary_copy(sc, expected)
    suite.compare(sc, 'unbekannte_klid', expected)
    return [sc]


def layout_removed_by_hand(suite):
    """The user took the layout out of the preload list (and its substitute)
    before the update: the update puts it back at position 1 and says so."""
    if suite.installed is None:
        return []
    sc = suite.machine_from('von_hand_entfernt', suite.installed)
    sc.machine.seed_user_lists([('1', '00000407')], [])
    before = machine_state.capture(sc.machine)
    suite.run(sc, 'aktualisierung', [suite.installer],
              [ExpectedBox(texts.INSTALLER, formatted(texts.QUESTION, 'aktualisieren', texts.LAYOUT_NAME),
                           dialogs.YES, terms_follow=True),
               info_box(texts.INSTALLER, formatted(texts.UPDATED, texts.LAYOUT_NAME, texts.RESTART_NOTE))],
              texts.INSTALLER_TITLE)
    expected = machine_state.Expectation(before)
    expected.rewritten_file(suite.desktop_link(sc.machine))
    expected.set_key('user', PRELOAD_KEY, [('1', 'd0010407'), ('2', '00000407')])
    expected.set_key('user', SUBSTITUTES_KEY, [('d0010407', NEW_KLID)])
    suite.compare(sc, 'aktualisierung', expected)
    return [sc]


def second_user_layout(suite):
    """A second layout of the user's, listed through Substitutes: it keeps its
    place behind the new one, and the removal restores the user's lists."""
    sc = suite.fresh_machine('zweite_benutzerbelegung')
    m = sc.machine
    m.seed_layout('a0000407', [('Layout File', 'KBDNEO2.DLL'), ('Layout Text', 'Deutsch (Neo 2)'),
                               ('Layout Id', '00c0')])
    m.seed_user_lists([('1', '00000407'), ('2', 'd0010407')], [('d0010407', 'a0000407')])
    start = machine_state.capture(m)

    suite.run(sc, 'installation', [suite.installer],
              [ExpectedBox(texts.INSTALLER, formatted(texts.QUESTION, 'installieren', texts.LAYOUT_NAME),
                           dialogs.YES, terms_follow=True),
               info_box(texts.INSTALLER, texts.INSTALLED)], texts.INSTALLER_TITLE)
    expected = machine_state.Expectation(start)
    suite.expect_installation(sc, expected, NEW_KLID,
                              [('1', 'd0010407'), ('2', '00000407'), ('3', 'd0020407')],
                              [('d0010407', NEW_KLID), ('d0020407', 'a0000407')])
    suite.compare(sc, 'installation', expected)

    suite.run(sc, 'deinstallation', [suite.entry_runner, texts.ENTRY_NAME],
              [ExpectedBox(texts.UNINSTALLER, formatted(texts.REMOVE_QUESTION, texts.LAYOUT_NAME), dialogs.YES),
               info_box(texts.UNINSTALLER, formatted(texts.REMOVED, texts.LAYOUT_NAME))],
              texts.UNINSTALLER_TITLE)
    expected = machine_state.Expectation(start)
    suite.expect_removal(sc, expected)
    suite.compare(sc, 'deinstallation', expected)
    return [sc]


def language_list(suite):
    """Windows 8 and later, as far as it can be shown here: with the user's
    "User Profile" key and input.dll (our stand-in, which records each call and
    answers TRUE; Wine has neither) the installer enables the layout through
    InstallLayoutOrTip once its layout key exists and leaves Preload and
    Substitutes to Windows; the removal disables it while the key still exists
    and then leaves the machine as it began. The boxes are the usual ones."""
    if not suite.stand_in:
        return []
    sc = suite.fresh_machine('sprachliste')
    m = sc.machine
    m.seed_user_lists([('1', '00000407')], [])
    m.seed_user_profile([('de-DE', ['0407:00000407'])])
    calls_path = sc.path('input-aufrufe.txt')
    m.install_input_stand_in(suite.stand_in, calls_path)
    start = machine_state.capture(m)

    def calls():
        try:
            with open(calls_path, encoding='utf-8') as f:
                return f.read().splitlines()
        except OSError:
            return []

    suite.run(sc, 'installation', [suite.installer],
              [ExpectedBox(texts.INSTALLER, formatted(texts.QUESTION, 'installieren', texts.LAYOUT_NAME),
                           dialogs.YES, terms_follow=True),
               info_box(texts.INSTALLER, texts.INSTALLED)], texts.INSTALLER_TITLE)
    enable = '0407:%s\t0\t1' % NEW_KLID   # flags 0, the layout key already there
    suite.check(sc, calls() == [enable], 'InstallLayoutOrTip-Aufrufe %r, erwartet %r' % (calls(), [enable]))
    expected = machine_state.Expectation(start)
    suite.expect_installation(sc, expected, NEW_KLID, [('1', '00000407')], [])
    suite.compare(sc, 'installation', expected)

    suite.run(sc, 'deinstallation', [suite.entry_runner, texts.ENTRY_NAME],
              [ExpectedBox(texts.UNINSTALLER, formatted(texts.REMOVE_QUESTION, texts.LAYOUT_NAME), dialogs.YES),
               info_box(texts.UNINSTALLER, formatted(texts.REMOVED, texts.LAYOUT_NAME))],
              texts.UNINSTALLER_TITLE)
    disable = '0407:%s\t1\t1' % NEW_KLID   # ILOT_UNINSTALL while the layout key is still there
    suite.check(sc, calls() == [enable, disable],
                'InstallLayoutOrTip-Aufrufe %r, erwartet %r' % (calls(), [enable, disable]))
    expected = machine_state.Expectation(start)
    suite.expect_removal(sc, expected)
    suite.compare(sc, 'deinstallation', expected)
    return [sc]


SCENARIOS = [install_update_uninstall, answer_no, wrong_calls, layout_removed_by_hand, second_user_layout,
             language_list]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('--programs', required=True)
    parser.add_argument('--helpers', required=True)
    parser.add_argument('--work', required=True)
    parser.add_argument('--wow64', metavar='DLLS', help='run the programs under WoW64 with the '
                        'i386 DLLs of this WINEDLLPATH folder (tools/wow64.sh)')
    parser.add_argument('--stand-in', metavar='DLL', help="our input.dll for the programs' "
                        'architecture (tests/support/input_stand_in.cpp), for the language-list scenario')
    parser.add_argument('--keep', action='store_true', help='keep the machines of passed scenarios')
    parser.add_argument('only', nargs='*', help='names of scenario functions to run')
    args = parser.parse_args()

    started = time.monotonic()
    os.makedirs(args.work, exist_ok=True)
    if args.wow64 and not os.path.isdir(os.path.join(args.wow64, 'i386-windows')):
        print('Keine i386-DLLs in %s: tools/wow64.sh legt sie an' % args.wow64)
        return 1
    suite = Suite(args.programs, args.helpers, args.work, args.wow64 and os.path.abspath(args.wow64),
                  args.stand_in and os.path.abspath(args.stand_in))
    print('Wine %s%s, Anzeige %s, Arbeitsordner %s' % (wine_machine.wine_version(),
          ' (WoW64: 32-Bit-Programme unter 64-Bit-Windows)' if args.wow64 else '', suite.display, suite.work))
    try:
        for scenario in SCENARIOS:
            if args.only and scenario.__name__ not in args.only:
                continue
            begun = time.monotonic()
            result = scenario(suite)
            if not result:
                print('--     %s übersprungen: die Erstinstallation misslang' % scenario.__name__)
            for sc in result if isinstance(result, list) else [result]:
                print('%s %s (%.0f s)' % ('FEHLER' if sc.failed else 'OK    ', sc.name,
                                          time.monotonic() - begun))
                sc.machine.stop()
                if not sc.failed and not args.keep:
                    sc.machine.remove()
    finally:
        if suite.installed:
            suite.installed.remove()
        suite.close()
    print('%d Fehler, %.0f s' % (suite.failures, time.monotonic() - started))
    return 1 if suite.failures else 0


if __name__ == '__main__':
    sys.exit(main())
