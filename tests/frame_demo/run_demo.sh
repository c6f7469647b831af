#!/bin/bash
# Runs the frame's demonstration program under Wine on the test display and
# drives it through the keyboard, as a person would:
#  1. a plain run: the status window appears centred at a quarter of the screen's
#     width and a sixth of its height, the message box is answered with Enter,
#     and the program ends with exit code 0;
#  2. a run that stays in the frame's message loop ("bleiben"): after the box,
#     the status line is on screen (dark pixels in the window's client area),
#     Alt+F4 closes the window, and the program ends with exit code 0.
# Usage: run_demo.sh <wine runner> <frame_demo.exe>
set -u
runner=$1
demo=$2
pid=
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "$pid" ] && kill "$pid" 2>/dev/null' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[ -n "${DISPLAY:-}" ] || fail "no DISPLAY: tools/test.sh runs the tests on its Xvfb display"

# Prints the id of the first visible window with exactly this title (30 s at most).
wait_window() {
    local id i
    for i in $(seq 300); do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
            echo "$id"
            return 0
        done
        sleep 0.1
    done
    return 1
}

# Waits for the demo to end (30 s at most) and checks its exit code.
expect_exit_0() {
    local i
    for i in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "$1: the program did not end"
    wait "$pid"
    local code=$?
    pid=
    [ "$code" -eq 0 ] || fail "$1: expected exit code 0, got $code"
}

geometry() {   # window id -> "x y width height"
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /^  Width/ {w=$NF} /^  Height/ {h=$NF} END {print x, y, w, h}'
}

read -r screen_w screen_h < <(xwininfo -root | awk '/^  Width/ {w=$NF} /^  Height/ {h=$NF} END {print w, h}')
want_w=$((screen_w / 4))
want_h=$((screen_h / 6))
want="$(((screen_w - want_w) / 2)) $(((screen_h - want_h) / 2)) $want_w $want_h"

# 1. The plain run.
"$runner" "$demo" &
pid=$!
status=$(wait_window Rahmenprobe) || fail "plain run: the status window did not appear"
# Wine maps the X window first and configures its place and size a moment
# later, so the geometry is read until it settles (5 s at most).
for i in $(seq 50); do
    got=$(geometry "$status")
    [ "$got" = "$want" ] && break
    sleep 0.1
done
[ "$got" = "$want" ] || fail "status window: expected x y width height $want, got $got"
box=$(wait_window frame_demo) || fail "plain run: the message box did not appear"
xdotool windowfocus --sync "$box" && xdotool key Return
expect_exit_0 "plain run"
echo "plain run: status window at $got, box answered, exit code 0"

# 2. The run that stays in the message loop until its window is closed.
"$runner" "$demo" bleiben &
pid=$!
status=$(wait_window Rahmenprobe) || fail "loop run: the status window did not appear"
box=$(wait_window frame_demo) || fail "loop run: the message box did not appear"
xdotool windowfocus --sync "$box" && xdotool key Return
for i in $(seq 50); do
    xdotool search --onlyvisible --name '^frame_demo$' >/dev/null 2>&1 || break
    sleep 0.1
done
sleep 0.5
# The client area lies below the caption; the status line is drawn across its
# middle in black on white.
read -r x y w h <<<"$(geometry "$status")"
import -window root -crop "$((w - 8))x$((h / 2))+$((x + 4))+$((y + h / 3))" "$work/client.png" ||
    fail "loop run: no screenshot"
dark=$(convert "$work/client.png" -colorspace Gray -threshold 50% -negate -format '%[fx:mean*w*h]' info:)
[ "${dark%.*}" -gt 20 ] || fail "loop run: the status line is not on screen ($dark dark pixels)"
kill -0 "$pid" 2>/dev/null || fail "loop run: the program ended before its window was closed"
xdotool windowfocus --sync "$status" && xdotool key alt+F4
expect_exit_0 "loop run"
echo "loop run: status line on screen ($dark dark pixels), closed with Alt+F4, exit code 0"
