#!/bin/bash
# Runs the frame's demonstration program under Wine on the test display and
# drives it through the keyboard, as a person would:
#  1. a plain run: the status window appears centred at a quarter of the screen's
#     width and a sixth of its height, the message box is answered with Enter,
#     and the program ends with exit code 0;
#  2. a run that stays in the frame's message loop ("bleiben"): after the box,
#     the status line is on screen (dark pixels in the window's client area),
#     Alt+F4 closes the window, and the program ends with exit code 0;
#  3. the same run at a system DPI of 144 (150 %, "LogPixels" of the user's
#     desktop settings, which Wine reads at every process start): the window
#     and the status line are half as large again as in run 2, and the line
#     lies whole inside the window.
# Usage: run_demo.sh <wine runner> <frame_demo.exe>
set -u
runner=$1
demo=$2
pid=
work=$(mktemp -d)
dpi_set=
trap 'rm -rf "$work"; [ -n "$pid" ] && kill "$pid" 2>/dev/null
      [ -n "$dpi_set" ] && "$runner" reg delete "HKCU\\Control Panel\\Desktop" /v LogPixels /f >/dev/null 2>&1' EXIT

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

# 2. The run that stays in the message loop until its window is closed; it
# leaves the window's geometry in x y w h and the status line's box of dark
# pixels in line_w line_h.
loop_run() {   # name
    "$runner" "$demo" bleiben &
    pid=$!
    status=$(wait_window Rahmenprobe) || fail "$1: the status window did not appear"
    box=$(wait_window frame_demo) || fail "$1: the message box did not appear"
    xdotool windowfocus --sync "$box" && xdotool key Return
    for i in $(seq 50); do
        xdotool search --onlyvisible --name '^frame_demo$' >/dev/null 2>&1 || break
        sleep 0.1
    done
    sleep 0.5
    # The client area lies below the caption; the status line is drawn across
    # its middle in black on white.
    read -r x y w h <<<"$(geometry "$status")"
    import -window root -crop "$((w - 8))x$((h / 2))+$((x + 4))+$((y + h / 3))" +repage "$work/client.png" ||
        fail "$1: no screenshot"
    dark=$(convert "$work/client.png" -colorspace Gray -threshold 50% -negate -format '%[fx:mean*w*h]' info:)
    [ "${dark%.*}" -gt 20 ] || fail "$1: the status line is not on screen ($dark dark pixels)"
    # The dark pixels' box (width x height + left + top) inside the band.
    local band
    band=$(convert "$work/client.png" -colorspace Gray -threshold 50% -format '%@ %w %h' info:)
    read -r line_w line_h line_x line_y band_w band_h <<<"$(sed 's/[x+]/ /g' <<<"$band")"
    [ "$line_x" -gt 0 ] && [ $((line_x + line_w)) -lt "$band_w" ] &&
        [ "$line_y" -gt 0 ] && [ $((line_y + line_h)) -lt "$band_h" ] ||
        fail "$1: the status line is cut (box $band)"
    kill -0 "$pid" 2>/dev/null || fail "$1: the program ended before its window was closed"
    xdotool windowfocus --sync "$status" && xdotool key alt+F4
    expect_exit_0 "$1"
    echo "$1: window $x $y $w $h, status line ${line_w}x${line_h} on screen, closed with Alt+F4, exit code 0"
}
loop_run "loop run"
line_w_96=$line_w line_h_96=$line_h

# 3. At 144 DPI: both sizes times 1.5 (within the screen), the place centred.
"$runner" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
    fail "144 dpi: LogPixels not set"
dpi_set=1
loop_run "144 dpi"
big_w=$((want_w * 3 / 2)) big_h=$((want_h * 3 / 2))
[ "$big_w" -le "$screen_w" ] || big_w=$screen_w
[ "$big_h" -le "$screen_h" ] || big_h=$screen_h
want_big="$(((screen_w - big_w) / 2)) $(((screen_h - big_h) / 2)) $big_w $big_h"
[ "$x $y $w $h" = "$want_big" ] || fail "144 dpi: expected x y width height $want_big, got $x $y $w $h"
# The line's box grows with the font: 1.5 times, give or take the rounding of
# the font's pixel sizes (between 1.3 and 1.7 times).
for pair in "width $line_w_96 $line_w" "height $line_h_96 $line_h"; do
    read -r what small big <<<"$pair"
    [ $((big * 10)) -ge $((small * 13)) ] && [ $((big * 10)) -le $((small * 17)) ] ||
        fail "144 dpi: the status line's $what is $big pixels, at 96 dpi $small"
done
echo "144 dpi: status line ${line_w}x${line_h} against ${line_w_96}x${line_h_96} at 96 dpi"
