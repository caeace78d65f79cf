#!/usr/bin/env bash
# Pictures of the tray menu and of each window for the documentation, taken on a private desktop
# (scripts/test-desktop.sh) with the program running in a temporary working directory.
#
#   scripts/screenshots.sh [TELLWICK]      (default: build/tellwick)
# Writes docs/images/{tray-menu,about,editor,list,popup,activity-log,launcher}.png.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
exe=$(readlink -f "${1:-$top/build/tellwick}")
out="$top/docs/images"
mkdir -p "$out"

work=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-shots.XXXXXX")
pid=""
unset TEST_DESKTOP_STATE
eval "$("$top/scripts/test-desktop.sh" start)"
finish() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    "$top/scripts/test-desktop.sh" stop
    rm -rf "$work"
}
trap finish EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM

within() { # within SECONDS CMD...
    local end=$(($(date +%s) + $1)); shift
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s)" -ge "$end" ] && { echo "screenshots: timed out: $*" >&2; return 1; }
        sleep 0.05
    done
}
window() { # the visible window of the program titled $1
    local w
    for w in $(xdotool search --all --pid "$pid" --onlyvisible 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && { echo "$w"; return 0; }
    done
    return 1
}
menu() { # the open tray menu (an override-redirect window of the program, taller than the icon)
    local w
    for w in $(xdotool search --all --pid "$pid" --onlyvisible 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' &&
            [ "$(xwininfo -id "$w" | awk '/Height:/{print $2}')" -gt 100 ] && { echo "$w"; return 0; }
    done
    return 1
}
# shoot NAME X Y W H: that part of the screen, after the program has drawn
shoot() {
    sleep 0.4
    import -window root -crop "$4x$5+$2+$3" +repage "$out/$1.png"
    echo "screenshots: $out/$1.png"
}
# shoot_window NAME TITLE: the window with its frame
shoot_window() {
    local w g
    within 5 window "$2"
    w=$(window "$2")
    xdotool windowactivate --sync "$w" >/dev/null 2>&1 || true
    g=$(xwininfo -frame -id "$w" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
    # xwininfo -frame gives the client's place and the frame's extents: take the frame.
    local ext
    ext=$(xprop -id "$w" _NET_FRAME_EXTENTS | sed -n 's/.* = \(.*\)/\1/p' | tr -d ',')
    read -r x y ww hh <<<"$g"
    read -r l r t b <<<"${ext:-0 0 0 0}"
    shoot "$1" $((x - l)) $((y - t)) $((ww + l + r)) $((hh + t + b))
}
open_menu() { xdotool key ctrl+F2; within 5 menu; }

# A few reminders to show: pending ones in the coming days, and one that expired.
/usr/bin/python3 - "$work" <<'PYEOF'
import datetime, struct, sys
d = sys.argv[1]
epoch = datetime.datetime(1899, 12, 30)
today = (datetime.datetime.now() - epoch).days
def rec(kind, day, minutes, note, beep=0, repeat=0):
    raw = note.encode("cp1252")
    r = bytearray(struct.pack("<BBxxiB7xdd", 0, 0, kind, beep, float(day), minutes / 1440.0))
    if repeat:  # the rule in the padding (docs/repeat.md)
        date = epoch + datetime.timedelta(days=day)
        r[2] = repeat
        r[9:16] = bytes([date.day, date.month, date.isoweekday(), minutes & 0xFF, minutes >> 8, 0xA1, 0])
        c = 0x5A
        for off in (2, 9, 10, 11, 12, 13, 14, 15):
            c = (((c << 1) | (c >> 7)) & 0xFF) ^ r[off]
        r[3] = c
    return bytes(r) + bytes([len(raw)]) + raw + bytes(255 - len(raw))
active = [rec(100, today + 6, 9 * 60, "Renew the library books"),
          rec(1, today + 3, 14 * 60 + 30, "Call the dentist", 1),
          rec(10, today + 1, 8 * 60 + 15, "Team meeting in room 4", 0, 3)]
open(d + "/rd.dt", "wb").write(b"".join(active))
open(d + "/re.dt", "wb").write(rec(100, today - 2, 17 * 60, "Water the plants"))
PYEOF

cd "$work"
"$exe" >"$work/tellwick.log" 2>&1 &
pid=$!
within 10 xdotool search --all --pid "$pid" --onlyvisible # the tray icon

# Activity logging on, so that the log has something to show at the end: Tools > Enable Log.
open_menu
xdotool key Down Down Down Down Right Return

open_menu
read -r my <<<"$(xwininfo -id "$(menu)" | awk '/Absolute upper-left Y/{print $4}')"
xdotool key Down Down Down Down Right # the Tools submenu open
shoot tray-menu 800 $((my - 24)) 480 $((800 - my + 24))
xdotool key Escape Escape

open_menu && xdotool key a
shoot_window about About
xdotool key Escape

open_menu && xdotool key n
within 5 window "New Reminder"
# The whole reminder in one line: the date, time, repeat and note below follow the quick entry.
xdotool key alt+q
xdotool type --delay 10 "tomorrow 9am every weekday Pick up the parcel at the post office"
shoot_window editor "New Reminder"
xdotool key Escape

open_menu && xdotool key l
shoot_window list "List of Reminders"
xdotool key alt+F4 # the window manager closes it
within 5 eval '[ -z "$(window "List of Reminders")" ]'

# A reminder due now, entered through the editor: the pop-up shows it within a second.
open_menu && xdotool key n
within 5 window "New Reminder"
xdotool type --delay 10 "Stand up and stretch for five minutes"
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab Return # back over Help, Cancel and Add to OK
shoot_window popup Reminder
xdotool key Escape

open_menu
xdotool key Down Down Down Down Right Down Return
within 5 window "User Activity"
xdotool windowactivate --sync "$(window "User Activity")" >/dev/null 2>&1 || true
xdotool mousemove --window "$(window "User Activity")" 11 59 click 1 # the day's branch open
xdotool mousemove 640 400
shoot_window activity-log "User Activity"
xdotool key alt+F4
within 5 eval '[ -z "$(window "User Activity")" ]'

# The window "Tellwick" of a desktop without a notification area: the tray host (the desktop's
# third process, after Xvfb and openbox) goes away, and the window comes up in its place.
tray=$(sed -n 3p "$TEST_DESKTOP_STATE")
kill -TERM "$tray"
shoot_window launcher Tellwick
