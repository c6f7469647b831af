# Throwaway Wine machines seeded like a German Windows: one booted template
# prefix, copied for every scenario, each copy with a wineserver of its own.

import os
import shutil
import signal
import subprocess
import time

import wine_registry

WINE = '/usr/lib/wine/wine64'
WINESERVER = '/usr/lib/wine/wineserver'
WINESERVER64 = '/usr/lib/wine/wineserver64'
# Wine derives the user's locale from LC_ALL even where the C library lacks
# de_DE (LANG alone is not enough then); German gives "Ja"/"Nein" buttons,
# code page 1252 and Preload "1" = 00000407 at every process start.
LOCALE = 'de_DE.UTF-8'
LOCALE_LAYOUT = '00000407'
TEMPLATE_VERSION = '4'   # raise when the seeding below changes

LAYOUTS_KEY = r'System\CurrentControlSet\Control\Keyboard Layouts'
UNINSTALL_KEY = r'Software\Microsoft\Windows\CurrentVersion\Uninstall'
PRELOAD_KEY = r'Keyboard Layout\Preload'
SUBSTITUTES_KEY = r'Keyboard Layout\Substitutes'
USER_PROFILE_KEY = r'Control Panel\International\User Profile'

# The machine's keyboard layouts, with the values Windows gives them. German
# ones use the counters 000, 001 and 002 and "Layout Id"s below 0c00; the
# non-German ones carry larger ids that the programs must not look at.
WINDOWS_LAYOUTS = [
    ('00000407', [('Layout File', 'KBDGR.DLL'), ('Layout Text', 'German')]),
    ('00000807', [('Layout File', 'KBDSG.DLL'), ('Layout Text', 'Swiss German')]),
    ('00000C07', [('Layout File', 'KBDGR.DLL'), ('Layout Text', 'German')]),
    ('00001407', [('Layout File', 'KBDSG.DLL'), ('Layout Text', 'Swiss German')]),
    ('00010407', [('Layout File', 'KBDGR1.DLL'), ('Layout Text', 'German (IBM)'),
                  ('Layout Id', '0012')]),
    ('00020407', [('Layout File', 'KBDGRE1.DLL'), ('Layout Text', 'German Extended (E1)'),
                  ('Layout Id', '0139')]),
    ('00000409', [('Layout File', 'KBDUS.DLL'), ('Layout Text', 'US')]),
    ('00010409', [('Layout File', 'KBDDV.DLL'), ('Layout Text', 'United States-Dvorak'),
                  ('Layout Id', '0002')]),
    ('0000040C', [('Layout File', 'KBDFR.DLL'), ('Layout Text', 'French')]),
    ('00000809', [('Layout File', 'KBDUK.DLL'), ('Layout Text', 'United Kingdom')]),
    ('a0000409', [('Layout File', 'KBDUSX.DLL'), ('Layout Text', 'US custom'),
                  ('Layout Id', '0d00')]),
]


def _run_quiet(args, env, timeout=120):
    return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=timeout).returncode


def wine_version():
    return subprocess.run([WINE, '--version'], capture_output=True, text=True).stdout.strip()


class Machine:
    """One Wine prefix with its own HOME. Its registry files are read and
    seeded only while its wineserver is down (see wine_registry)."""

    def __init__(self, folder, display, wow64_dlls=None):
        self.folder = folder
        self.prefix = os.path.join(folder, 'prefix')
        self.home = os.path.join(folder, 'home')
        self.display = display
        # With Wine's i386 DLLs (tools/wow64.sh) the machine is a 64-bit
        # Windows that runs 32-bit programs under WoW64, as the real one does.
        self.wow64_dlls = wow64_dlls
        self.server_running = False
        self.extra_env = {}       # more environment for the programs of this machine

    # --- environment and paths -------------------------------------------

    def env(self, debug='-all'):
        env = dict(os.environ)
        for name in ('LANG', 'LANGUAGE', 'LC_MESSAGES', 'LC_CTYPE'):
            env.pop(name, None)
        # No shell integration, no .NET or HTML engine, and a program that
        # crashes ends at once instead of waiting in Wine's debugger.
        env.update(WINEPREFIX=self.prefix, HOME=self.home, WINEDEBUG=debug, LC_ALL=LOCALE,
                   WINEDLLOVERRIDES='winemenubuilder.exe=d;winedbg.exe=d;mscoree=d;mshtml=d',
                   DISPLAY=self.display)
        if self.wow64_dlls:
            # Already set when wineboot makes the prefix, so that it fills syswow64.
            env.update(WINEDLLPATH=self.wow64_dlls, WINELOADER=WINE, WINESERVER=WINESERVER64,
                       WINEARCH='win64')
        env.update(self.extra_env)
        return env

    def drive_c(self, *parts):
        return os.path.join(self.prefix, 'drive_c', *parts)

    def user_name(self):
        users = [u for u in os.listdir(self.drive_c('users')) if u.lower() != 'public']
        return users[0]

    def user_folder(self, *parts):
        return self.drive_c('users', self.user_name(), *parts)

    def hive(self, which):
        """'system' (HKEY_LOCAL_MACHINE) or 'user' (HKEY_CURRENT_USER)."""
        assert not self.server_running, 'registry files are read with the wineserver down'
        return wine_registry.Hive(os.path.join(self.prefix, which + '.reg'))

    # --- template and copies -----------------------------------------------

    def create_template(self):
        """Boots a fresh prefix and seeds it; about ten seconds."""
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.home)
        env = self.env()
        _run_quiet([WINE, 'wineboot', '-i'], env, timeout=300)
        _run_quiet([WINESERVER, '-w'], env, timeout=120)
        # The user's folders are links into HOME; a copy of the prefix must
        # not share them, so they become folders of the prefix itself.
        users = self.drive_c('users', self.user_name())
        for name in os.listdir(users):
            path = os.path.join(users, name)
            if os.path.islink(path):
                os.unlink(path)
                os.mkdir(path)
        system = self.hive('system')
        system.delete_tree(LAYOUTS_KEY)
        for klid, values in WINDOWS_LAYOUTS:
            system.set_key(LAYOUTS_KEY + '\\' + klid, values)
        system.save()
        user = self.hive('user')
        # Without a window manager, Wine's own window management keeps the
        # boxes answerable from the keyboard.
        user.set_key(r'Software\Wine\X11 Driver', [('Managed', 'N')])
        user.save()
        with open(os.path.join(self.folder, 'template.stamp'), 'w') as f:
            f.write(self.stamp())

    def stamp(self):
        return '%s %s%s\n' % (wine_version(), TEMPLATE_VERSION,
                               ' wow64 ' + self.wow64_dlls if self.wow64_dlls else '')

    def template_is_current(self):
        try:
            with open(os.path.join(self.folder, 'template.stamp')) as f:
                return f.read() == self.stamp()
        except OSError:
            return False

    def copy_from(self, other):
        """Makes this machine a copy of another, stopped one. Wine's own large
        files under windows are shared as hard links with the template: Wine
        only ever reads them. A file that a program wrote is always copied, as
        the programs rewrite their files in place."""
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.home)
        from_template = other.template_is_current()

        def copy(src, dst):
            info = os.stat(src)
            wine_file = info.st_nlink > 1 or (
                from_template and info.st_size > 65536 and os.sep + 'windows' + os.sep in src)
            if wine_file:
                os.link(src, dst)
            else:
                shutil.copy2(src, dst)
        shutil.copytree(other.prefix, self.prefix, symlinks=True, copy_function=copy)

    def remove(self):
        self.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    # --- seeding -----------------------------------------------------------

    def seed_user_lists(self, preload, substitutes):
        """Replaces the user's Preload and Substitutes keys; each a list of
        (name, data) in the order the values are created."""
        user = self.hive('user')
        user.delete_tree(PRELOAD_KEY)
        user.delete_tree(SUBSTITUTES_KEY)
        user.set_key(PRELOAD_KEY, preload)
        user.set_key(SUBSTITUTES_KEY, substitutes)
        user.save()

    def seed_user_profile(self, languages):
        """Windows' own list of the user's keyboards (Windows 8 and later),
        which Wine does not have: one subkey per language, [(language,
        [keyboard value such as "0407:00000407", ...]), ...], the keyboards as
        REG_DWORD values numbered in order, as Windows writes them."""
        user = self.hive('user')
        user.delete_tree(USER_PROFILE_KEY)
        user.set_key(USER_PROFILE_KEY, [])
        for language, keyboards in languages:
            user.set_key(USER_PROFILE_KEY + '\\' + language,
                         [('CachedLanguageName', '@Winlangdb.dll,-1107')] +
                         [(name, order) for order, name in enumerate(keyboards)])
        user.save()

    def install_input_stand_in(self, dll, calls_path, result=True):
        """Our stand-in for Windows' input.dll (tests/support/input_stand_in.cpp)
        where this machine's programs load it from: system32 for the x86-64
        programs, syswow64 for 32-bit ones under WoW64. It records every call
        in calls_path and answers TRUE or FALSE as result says."""
        folder = 'syswow64' if self.wow64_dlls else 'system32'
        shutil.copyfile(dll, self.drive_c('windows', folder, 'input.dll'))
        self.extra_env.update(QF_INPUT_LOG='Z:' + os.path.abspath(calls_path).replace('/', '\\'),
                              QF_INPUT_RESULT='1' if result else '0')

    def seed_layout(self, klid, values):
        system = self.hive('system')
        system.set_key(LAYOUTS_KEY + '\\' + klid, values)
        system.save()

    # --- the wineserver ----------------------------------------------------

    def start(self):
        if not self.server_running:
            # Persistent, so that program starts do not pay for a new server;
            # output detached so that nothing waits on our pipes.
            _run_quiet([WINESERVER, '-p'], self.env())
            self.server_running = True

    def stop(self):
        """Ends every process of this machine and waits until the server has
        written the registry files."""
        if self.server_running or os.path.exists(self.prefix):
            env = self.env()
            _run_quiet([WINESERVER, '-k'], env)
            _run_quiet([WINESERVER, '-w'], env)
        self.server_running = False

    # --- processes -----------------------------------------------------------

    def spawn(self, args, debug='-all', stdout=None, stderr=None):
        self.start()
        return subprocess.Popen([WINE] + list(args), env=self.env(debug), stdin=subprocess.DEVNULL,
                                stdout=stdout or subprocess.DEVNULL,
                                stderr=stderr or subprocess.DEVNULL)

    def processes(self, name_part):
        """Unix pids of this machine's Windows processes whose command line
        contains name_part (case ignored)."""
        wanted_env = ('WINEPREFIX=' + self.prefix).encode()
        found = []
        for pid in os.listdir('/proc'):
            if not pid.isdigit():
                continue
            try:
                with open('/proc/%s/environ' % pid, 'rb') as f:
                    if wanted_env not in f.read().split(b'\0'):
                        continue
                with open('/proc/%s/cmdline' % pid, 'rb') as f:
                    line = f.read().replace(b'\0', b' ').decode('utf-8', 'replace')
            except OSError:
                continue
            if name_part.lower() in line.lower():
                found.append(int(pid))
        return found

    def wait_for_processes(self, name_part, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if not self.processes(name_part):
                return True
            time.sleep(0.1)
        return False


class PreloadKeeper:
    """Runs the keeper helper on a machine (see preload_keeper.cpp): while it
    runs, Wine's start-up write of Preload "1" is undone at once."""

    def __init__(self, machine, helper, value, log_path):
        with open(log_path, 'wb') as log:
            self.process = machine.spawn([helper, value if value is not None else '-', LOCALE_LAYOUT],
                                         stdout=subprocess.PIPE, stderr=log)
        line = self.process.stdout.readline().decode(errors='replace').strip()
        if line != 'bereit':
            raise RuntimeError('preload keeper did not start (said %r; see %s)' % (line, log_path))

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
