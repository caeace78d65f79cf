#!/usr/bin/env bash
# The program on an X11 desktop without a notification area (scripts/test-desktop.sh --no-tray),
# driven with xdotool: the window "Tellwick" comes up in its place, Escape hides it, a second start
# brings it back, its buttons reach the commands by keyboard; a tray host started later takes the
# icon, and one that goes away brings the window up again.
#
#   tests/e2e/no-tray.sh TELLWICK
set -u

EXE=$(readlink -f "$1")
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-notray.XXXXXX")
RUNTIME="$WORK/runtime"
mkdir -m 700 "$RUNTIME"
export XDG_RUNTIME_DIR="$RUNTIME"
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
PIDS=()
FAILED=0
CASE=no_tray

# shellcheck source=drive.sh
. "$HERE/drive.sh"
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

start() { # start DIR -> $PID
    (cd "$1" && exec "$EXE") >>"$1.log" 2>&1 &
    PID=$!
    PIDS+=("$PID")
}

panel_geometry() { xwininfo -name panel 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'; }

# The tray icon of process $1 sits inside trayer's panel.
docked() {
    local w px py pw ph x y ww wh o
    read -r px py pw ph <<<"$(panel_geometry)"
    [ -n "${ph:-}" ] || return 1
    for w in $(windows_of "$1"); do
        read -r x y ww wh o <<<"$(geometry "$w")"
        [ "$x" -ge "$px" ] && [ "$y" -ge "$py" ] && [ $((x + ww)) -le $((px + pw)) ] &&
            [ $((y + wh)) -le $((py + ph)) ] && return 0
    done
    return 1
}

# Presses keys $2... in the window "Tellwick" of process $1.
press() {
    local pid=$1 w
    shift
    w=$(named "$pid" Tellwick) || { fail "no window \"Tellwick\" for keys $*"; return 1; }
    xdotool windowactivate --sync "$w" 2>/dev/null
    sleep 0.2
    xdotool key "$@"
}

d=$(mktemp -d "$WORK/case.XXXXXX")
t0=$(date +%s%N)
start "$d"; pid=$PID
within 8 named "$pid" Tellwick || fail "no window \"Tellwick\" without a tray host"
echo "window after $(( ($(date +%s%N) - t0) / 1000000 )) ms"

# Escape hides it; a second start brings it back and ends at once.
press "$pid" Escape
within 5 eval "! named $pid Tellwick" || fail "Escape left the window up"
start "$d"; pid2=$PID
within 10 dead "$pid2" || fail "the second copy kept running"
wait "$pid2" || fail "the second copy's exit status $?"
within 5 named "$pid" Tellwick || fail "a second start did not bring the window back"

# Its commands by keyboard: Alt+N opens the editor.
press "$pid" alt+n
within 5 named "$pid" "New Reminder" || fail "Alt+N opened no editor"
xdotool windowactivate --sync "$(named "$pid" "New Reminder")" 2>/dev/null
xdotool key Escape
within 5 eval "! named $pid 'New Reminder'" || fail "the editor stayed"

# A tray host that starts later takes the icon; the window stays as the user left it.
timeout -k 5 120 trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
    --SetPartialStrut true --transparent false --expand true </dev/null >"$WORK/trayer.log" 2>&1 &
tray=$!
PIDS+=("$tray")
within 10 docked "$pid" || fail "the icon did not dock in a tray host started later"
named "$pid" Tellwick >/dev/null || fail "the window went away when the tray host came"

# A tray host that goes away brings the window up.
press "$pid" Escape
within 5 eval "! named $pid Tellwick" || fail "Escape left the window up"
kill -TERM "$tray"; wait "$tray" 2>/dev/null
within 5 named "$pid" Tellwick || fail "the window did not come up when the tray host went away"

# Exit from the window ends the program with both files written.
press "$pid" alt+x && answer "$pid" Confirm Return
within 10 dead "$pid" || fail "Exit did not end the program"
[ "$(stat -c %s "$d/rd.dt" "$d/re.dt" 2>&1)" = $'0\n0' ] || fail "Exit did not write two empty files"
kill_hard "$pid"
[ "$FAILED" = 0 ] && echo "ok no_tray" || cat "$d.log" >&2
exit $FAILED
