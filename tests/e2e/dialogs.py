# The programs' real message boxes under Wine: their texts as Wine's msgbox
# debug channel traces them, their windows on the X display, and answers
# typed on the keyboard.
#
# Wine 8 traces every box once, from its dialog's initialisation, as
#   0024:trace:msgbox:MSGBOX_OnInit L"Text with \n and \00fc"
# (the text after conversion from the program's code page to UTF-16; non-ASCII
# characters as \ plus four hex digits; cut after about 290 characters of
# trace, marked by "..." after the closing quote). With +timestamp the line
# begins with the time in seconds (three decimals) on the system's raw
# monotonic clock, which clock() below reads.
# The caption is not traced; it is the box window's title, read from the X server.

import re
import subprocess
import time

TRACE_MARK = ':trace:msgbox:MSGBOX_OnInit '

# Keys that answer in a German and an English Wine alike: Return presses the
# default button (Yes, or OK), "n" is the mnemonic of both "Nein" and "No".
YES = 'Return'
NO = 'n'
OK = 'Return'


def clock():
    """Seconds on the clock of Wine's trace time stamps (CLOCK_MONOTONIC_RAW)."""
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


def decode_trace_text(field):
    """L"..." as Wine's debugstr_w writes it -> (text, cut)."""
    if not field.startswith('L"'):
        raise ValueError('no traced text: ' + field)
    out, i = [], 2
    while i < len(field):
        c = field[i]
        if c == '"':
            return ''.join(out), field[i + 1:].startswith('...')
        if c == '\\':
            nxt = field[i + 1]
            if nxt in 'nrt"\\':
                out.append({'n': '\n', 'r': '\r', 't': '\t'}.get(nxt, nxt))
                i += 2
            else:
                out.append(chr(int(field[i + 1:i + 5], 16)))
                i += 5
            continue
        out.append(c)
        i += 1
    raise ValueError('unterminated traced text: ' + field)


class Trace:
    """Follows the trace file of one program run (and of the processes it
    starts, which inherit its standard error)."""

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.pending = ''
        self.queue = []

    def next_box(self):
        """The oldest traced box not yet taken, or None."""
        self.queue += self._read_boxes()
        return self.queue.pop(0) if self.queue else None

    def _read_boxes(self):
        try:
            with open(self.path, 'rb') as f:
                f.seek(self.offset)
                chunk = f.read()
        except FileNotFoundError:
            return []
        self.offset += len(chunk)
        self.pending += chunk.decode('utf-8', 'replace')
        lines = self.pending.split('\n')
        self.pending = lines.pop()
        boxes = []
        for line in lines:
            if TRACE_MARK not in line:
                continue
            head, field = line.split(TRACE_MARK, 1)
            stamp = re.match(r'(\d+\.\d+):', head)
            text, cut = decode_trace_text(field.strip())
            boxes.append((text, cut, float(stamp.group(1)) if stamp else None))
        return boxes


def _x(args, display):
    """Runs an X tool; a tool that hangs (a focus that never comes) gives ''."""
    try:
        return subprocess.run(args, env={'DISPLAY': display, 'PATH': '/usr/bin:/bin'},
                              capture_output=True, text=True, timeout=10).stdout
    except subprocess.TimeoutExpired:
        return ''


def visible_windows(display):
    """[(window id, title, unix pid)] of the viewable top-level windows."""
    ids = _x(['xdotool', 'search', '--onlyvisible', '--name', ''], display).split()
    windows = []
    for wid in ids:
        title = _x(['xprop', '-id', wid, '_NET_WM_NAME'], display)
        m = re.search(r'= "(.*)"\s*$', title)
        pid = _x(['xdotool', 'getwindowpid', wid], display).strip()
        windows.append((wid, _unquote_xprop(m.group(1)) if m else '', int(pid) if pid else 0))
    return windows


def _unquote_xprop(text):
    r"""xprop's quoting in the C locale: \ooo for bytes outside ASCII, \" and \\."""
    raw = re.sub(rb'\\([0-7]{3})', lambda m: bytes([int(m.group(1), 8)]), text.encode())
    return re.sub(rb'\\(.)', rb'\1', raw).decode('utf-8', 'replace')


def window_viewable(display, wid):
    return 'IsViewable' in _x(['xwininfo', '-id', wid], display)


def window_exists(display, wid):
    return 'Map State' in _x(['xwininfo', '-id', wid], display)


def hidden_windows(display, caption):
    """[(window id, title, unix pid)] of the top-level windows titled caption
    that exist but are not mapped. Wine 8's WoW64 mode sometimes leaves a
    32-bit program's box unmapped, far off the screen, while the program
    shows it and waits for its answer (see README)."""
    found = []
    for wid in _x(['xdotool', 'search', '--name', ''], display).split():
        title = _x(['xprop', '-id', wid, '_NET_WM_NAME'], display)
        m = re.search(r'= "(.*)"\s*$', title)
        if not m or _unquote_xprop(m.group(1)) != caption or window_viewable(display, wid):
            continue
        pid = _x(['xdotool', 'getwindowpid', wid], display).strip()
        found.append((wid, caption, int(pid) if pid else 0))
    return found


def screenshot(display, path):
    """A picture of the screen, and beside it (.windows.txt) the X windows with
    their map state and place, for boxes that exist but are not seen."""
    subprocess.run(['import', '-display', display, '-window', 'root', path],
                   stdin=subprocess.DEVNULL, capture_output=True)
    with open(path + '.windows.txt', 'w') as f:
        f.write(_x(['xwininfo', '-root', '-tree'], display))
        for wid in _x(['xdotool', 'search', '--name', ''], display).split():
            f.write('\n--- %s\n' % wid)
            f.write(_x(['xwininfo', '-id', wid], display))
            f.write(_x(['xprop', '-id', wid, '_NET_WM_NAME', 'WM_NAME', 'WM_STATE'], display))
    return path


def answer(display, wid, key):
    """Focuses the window and types the key; returns the time (clock()) just
    before the key went out, the earliest moment the program could go on."""
    _x(['xdotool', 'windowfocus', '--sync', wid], display)
    typed = clock()
    _x(['xdotool', 'key', '--clearmodifiers', key], display)
    return typed


def command_line(pid):
    """The command line of a running Wine process as Linux shows it (Wine puts
    the Windows command line there), or '' when it has ended."""
    try:
        with open('/proc/%d/cmdline' % pid, 'rb') as f:
            return f.read().replace(b'\0', b' ').decode('utf-8', 'replace').strip()
    except OSError:
        return ''


class Box:
    def __init__(self, traced, window, title, pid, windows):
        self.text, self.cut, self.opened = traced
        # text: as traced (UTF-16 decoded); cut: the trace ended before the
        # text did; opened: the trace's time stamp, or None
        self.window = window      # X window id, or None when none was found
        self.title = title        # the caption as the X server has it
        self.pid = pid            # unix pid of the process that shows it
        self.windows = windows    # every visible window at that moment
        self.command_line = command_line(pid) if pid else ''
        self.hidden = False       # the window exists but is not mapped


def wait_for_box(trace, display, caption, timeout, is_running):
    """Waits for the next traced box and its window. The window is the visible
    one titled caption; failing that, the newest visible window that is not a
    status window (so that a wrong caption is reported, not waited for).
    Returns None when no box came within timeout or the program ended first."""
    deadline = time.monotonic() + timeout
    while True:
        traced = trace.next_box()
        if traced:
            break
        if time.monotonic() > deadline or not is_running():
            return None
        time.sleep(0.02)
    window_deadline = time.monotonic() + 10
    while True:
        windows = visible_windows(display)
        titled = [w for w in windows if w[1] == caption]
        # A window without a title yet is only taken at the end: a busy
        # process maps its box before the box has its caption.
        others = [w for w in windows if 'Tastaturtreiber-' not in w[1]
                  and (w[1] or time.monotonic() > window_deadline - 0.5)]
        if titled or (others and time.monotonic() > window_deadline - 8):
            wid, title, pid = (titled or others)[-1]
            return Box(traced, wid, title, pid, windows)
        hidden = hidden_windows(display, caption) if caption and \
            time.monotonic() > window_deadline - 8 else []
        if hidden:
            wid, title, pid = hidden[-1]
            box = Box(traced, wid, title, pid, windows)
            box.hidden = True
            return box
        if time.monotonic() > window_deadline:
            return Box(traced, None, None, 0, windows)
        time.sleep(0.05)


def close_box(display, box, key, timeout=10):
    """Types the answer and waits until the box is gone. box.answered is the
    time at which the key was typed."""
    if box.window is None:
        return False
    if box.hidden:
        # Wine gives the key to the program's focus window, the modal box,
        # whichever of the program's windows has the X focus: here its
        # status window, the one that is mapped. Wine destroys the box's X
        # window with the box.
        owner = [w for w in visible_windows(display) if w[2] == box.pid]
        if not owner:
            return False
        box.answered = answer(display, owner[0][0], key)
        gone = lambda: not window_exists(display, box.window)
    else:
        box.answered = answer(display, box.window, key)
        gone = lambda: not window_viewable(display, box.window)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if gone():
            return True
        time.sleep(0.03)
    return False
