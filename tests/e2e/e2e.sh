#!/usr/bin/env bash
# Whole-program tests: the real executable on the X server in $DISPLAY (a window manager and an
# XEmbed tray, see scripts/test-desktop.sh), driven with xdotool as a user drives it. Every case
# runs in a fresh working directory with its own "rd.dt" and "re.dt", and every copy of the
# program it starts is stopped before the next case.
#
#   tests/e2e/e2e.sh TELLWICK [CASE...]      (no CASE: all of them but no_tray, which needs a
#                                            desktop without a tray: test-desktop.sh --no-tray)
set -u

EXE=$(readlink -f "$1")
shift
PY=/usr/bin/python3
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-e2e.XXXXXX")
chmod 755 "$WORK"
RUNTIME="$WORK/runtime"
mkdir -m 700 "$RUNTIME"
export XDG_RUNTIME_DIR="$RUNTIME"
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
PIDS=()
FAILED=0
CASE=""

# shellcheck source=drive.sh
. "$HERE/drive.sh"
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# start DIR [EXE] -> $PID: the program in DIR, its output in DIR/../NAME.log
start() {
    local dir=$1 exe=${2:-$EXE}
    # Without a time limit of its own: the program ends with the X server at the latest.
    (cd "$dir" && exec "$exe") >"$dir.log" 2>&1 &
    PID=$!
    PIDS+=("$PID")
}

panel_geometry() { xwininfo -name panel 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'; }

# The tray icon of process $1 sits inside the panel.
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

# What a directory holds: names, sizes, inodes and change times (a save replaces the file).
snapshot() { (cd "$1" && stat -c '%n %s %i %Z %Y' -- * 2>/dev/null | sort; sha256sum -- * 2>/dev/null); }

# Reminder records (288 bytes each) written with the record's own layout.
#   records FILE "KIND DATE TIME NOTE [FLAG SPARE BEEP]" ...   DATE: a day count, or "today"
#   TIME: a fraction of a day, or "now" (the present minute)
records() { "$PY" "$HERE/records.py" "$@"; }

# Due times are the present minute: wait while the hour is about to change under the test.
safe_minute() {
    while [ "$(date +%M)" = 59 ]; do sleep 1; done
}

# Enters a new reminder due now for process $1 through the tray menu: the note $2, the preset
# pop-up kind, OK. With $3, the "&Repeat:" list is moved down $3 items from "Once" first.
new_reminder() {
    choose "$1" n
    within 5 named "$1" "New Reminder" >/dev/null || { fail "no editor"; return 1; }
    xdotool windowactivate --sync "$(named "$1" "New Reminder")" 2>/dev/null
    xdotool type --delay 20 "$2"
    if [ -n "${3:-}" ]; then
        # The repeat list, then forward over the kinds to OK: Title, PopUp and its sound list, Icon
        # (the sound lists of unticked kinds are disabled and skipped).
        xdotool key alt+r
        for _ in $(seq "$3"); do xdotool key Down; done
        xdotool key Tab Tab Tab Tab Tab Return
    else
        # The editor has no default button: back from the note over Help, Cancel and Add to OK, which
        # Return presses once it has the focus.
        xdotool key shift+Tab shift+Tab shift+Tab shift+Tab Return
    fi
}

newdir() { mktemp -d "$WORK/case.XXXXXX"; }

# --- cases --------------------------------------------------------------------------------------

case_missing_files() {
    local d pid
    d=$(newdir)
    start "$d"; pid=$PID
    within 10 docked "$pid" || { fail "tray icon not docked"; kill_hard "$pid"; return; }
    [ "$(windows_of "$pid" | wc -l)" = 1 ] || fail "a window besides the tray icon is on screen"
    [ -z "$(ls "$d")" ] || fail "files written at start: $(ls "$d")"
    # The menu opens beside the panel that holds the tray, above it.
    xdotool key ctrl+F2
    if within 5 menu_open "$pid"; then
        local x y w h o px py pw ph
        read -r x y w h o <<<"$(geometry "$(menu_open "$pid")")"
        read -r px py pw ph <<<"$(panel_geometry)"
        [ $((y + h)) -le "$py" ] || fail "menu covers the panel: $x $y $w $h"
        [ $((x + w)) -ge $((px + pw - 64)) ] || fail "menu not at the panel's right end: $x $y $w $h"
        xdotool key Escape
        within 5 menu_closed "$pid" || fail "Escape left the menu open"
    else
        fail "Ctrl+F2 opened no menu"
    fi
    # With the icon hidden, Ctrl+F2 still opens the menu.
    choose "$pid" i
    within 5 eval "! docked $pid" || fail "H&ide left the icon in the panel"
    choose "$pid" i
    within 5 docked "$pid" || fail "the icon did not come back"
    choose "$pid" x && answer "$pid" Confirm Return
    within 10 dead "$pid" || fail "Exit with Yes did not end the program"
    wait "$pid"; local rc=$?
    [ "$rc" = 0 ] || fail "exit status $rc"
    [ "$(stat -c %s "$d/rd.dt" "$d/re.dt" 2>&1)" = $'0\n0' ] || fail "Exit did not write two empty files"
    kill_hard "$pid"
}

case_empty_files() {
    local d pid
    d=$(newdir)
    : >"$d/rd.dt"; : >"$d/re.dt"
    start "$d"; pid=$PID
    within 10 docked "$pid" || fail "tray icon not docked"
    [ "$(windows_of "$pid" | wc -l)" = 1 ] || fail "a window besides the tray icon is on screen"
    choose "$pid" x && answer "$pid" Confirm Return
    within 10 dead "$pid" || fail "Exit with Yes did not end the program"
    [ "$(stat -c %s "$d/rd.dt" "$d/re.dt")" = $'0\n0' ] || fail "empty files changed"
    kill_hard "$pid"
}

# A truncated record after a whole one, and "re.dt" that cannot be read (a directory): the error
# is shown, start-up goes on; at Exit "rd.dt" is written and the failed "re.dt" keeps the program.
case_damaged_files() {
    local d pid
    d=$(newdir)
    records "$d/good" "100 73051 0.5 far ahead"
    cp "$d/good" "$d/rd.dt"
    head -c 100 /dev/urandom >>"$d/rd.dt"
    mkdir "$d/re.dt"
    start "$d"; pid=$PID
    answer "$pid" Tellwick Return
    within 10 docked "$pid" || fail "tray icon not docked after the error"
    choose "$pid" x && answer "$pid" Confirm Return
    # "rd.dt" now holds the whole record only; the failed "re.dt" is reported and the program stays.
    answer "$pid" Tellwick Return
    sleep 0.3
    alive "$pid" || fail "the program ended although re.dt could not be written"
    cmp -s "$d/good" "$d/rd.dt" || fail "rd.dt is not the one whole record"
    [ -d "$d/re.dt" ] || fail "re.dt changed"
    kill_hard "$pid"
}

# No and Cancel change nothing; Yes writes both files exactly as they were loaded.
case_exit_answers() {
    local d pid before
    d=$(newdir)
    records "$d/rd.dt" "100 73051 0.75 later one 0 3 1" "1 73050 0.25 sooner one 0 0 0"
    records "$d/re.dt" "10 40000 0.5 long ago 0 9 1"
    cp "$d/rd.dt" "$WORK/rd.expected"; cp "$d/re.dt" "$WORK/re.expected"
    before=$(snapshot "$d")
    start "$d"; pid=$PID
    within 10 docked "$pid" || { fail "tray icon not docked"; kill_hard "$pid"; return; }
    choose "$pid" x
    # Exit chosen again while the question is up asks nothing more.
    within 5 named "$pid" Confirm && choose "$pid" x
    sleep 0.5
    [ "$(windows_of "$pid" | while read -r w; do xdotool getwindowname "$w"; done | grep -c '^Confirm$')" = 1 ] ||
        fail "a second Exit asked again"
    answer "$pid" Confirm alt+n
    sleep 0.3
    alive "$pid" || fail "No ended the program"
    choose "$pid" x && answer "$pid" Confirm Escape
    sleep 1.2 # a monitor tick
    alive "$pid" || fail "Cancel ended the program"
    [ "$(snapshot "$d")" = "$before" ] || fail "No or Cancel wrote a file"
    choose "$pid" x && answer "$pid" Confirm alt+y
    within 10 dead "$pid" || fail "Yes did not end the program"
    cmp -s "$d/rd.dt" "$WORK/rd.expected" || fail "rd.dt not byte-exact"
    cmp -s "$d/re.dt" "$WORK/re.expected" || fail "re.dt not byte-exact"
    kill_hard "$pid"

    # SIGTERM in the middle of start-up, as soon as the program catches it: it waits until the
    # windows are built, then saves the same way.
    before=$(stat -c %i "$d/rd.dt" "$d/re.dt")
    start "$d"; pid=$PID
    within 10 catches_sigterm "$pid" || fail "the program never catches SIGTERM"
    kill -TERM "$pid"
    within 10 dead "$pid" || fail "SIGTERM during start-up did not end the program"
    wait "$pid"; rc=$?
    [ "$rc" = 0 ] || fail "exit status $rc after SIGTERM during start-up"
    [ "$(stat -c %i "$d/rd.dt" "$d/re.dt")" != "$before" ] || fail "nothing was saved after SIGTERM during start-up"
    cmp -s "$d/rd.dt" "$WORK/rd.expected" || fail "rd.dt not byte-exact after SIGTERM during start-up"
    kill_hard "$pid"
}

# Process $1 has a handler for SIGTERM (bit 15 of SigCgt in /proc/PID/status).
catches_sigterm() {
    local mask
    mask=$(awk '/^SigCgt:/{print $2}' "/proc/$1/status" 2>/dev/null) || return 1
    [ -n "$mask" ] && (( (16#$mask >> 14) & 1 ))
}

# The system asks the program to end (SIGTERM, as at logout or shutdown): both files are saved
# without a question and the program ends.
case_terminate() {
    local d pid before
    d=$(newdir)
    records "$d/rd.dt" "100 73051 0.75 kept 0 5 1"
    records "$d/re.dt" "10 40000 0.5 kept too"
    cp "$d/rd.dt" "$WORK/rd.expected"; cp "$d/re.dt" "$WORK/re.expected"
    before=$(stat -c %i "$d/rd.dt" "$d/re.dt")
    start "$d"; pid=$PID
    within 10 docked "$pid" || { fail "tray icon not docked"; kill_hard "$pid"; return; }
    kill -TERM "$pid"
    within 10 dead "$pid" || fail "SIGTERM did not end the program"
    wait "$pid"; local rc=$?
    [ "$rc" = 0 ] || fail "exit status $rc"
    [ "$(stat -c %i "$d/rd.dt" "$d/re.dt")" != "$before" ] || fail "nothing was saved"
    cmp -s "$d/rd.dt" "$WORK/rd.expected" || fail "rd.dt not byte-exact"
    cmp -s "$d/re.dt" "$WORK/re.expected" || fail "re.dt not byte-exact"
    kill_hard "$pid"
}

# A second start of the same executable ends silently and writes nothing; a copy of the
# executable at another path is another program and runs alongside.
case_second_copy() {
    local d d2 pid pid2 pid3 before
    d=$(newdir); d2=$(newdir)
    records "$d/rd.dt" "100 73051 0.75 kept"
    : >"$d/re.dt"
    before=$(snapshot "$d")
    start "$d"; pid=$PID
    within 10 docked "$pid" || { fail "tray icon not docked"; kill_hard "$pid"; return; }
    # The first copy's most recent window, minimised, comes back when the second copy starts.
    choose "$pid" a
    within 5 named "$pid" About || fail "no about box"
    xdotool windowminimize --sync "$(named "$pid" About)"
    within 5 eval "! named $pid About" || fail "the about box did not minimise"
    start "$d"; pid2=$PID
    within 10 dead "$pid2" || fail "the second copy kept running"
    wait "$pid2"; local rc=$?
    [ "$rc" = 0 ] || fail "second copy's exit status $rc"
    alive "$pid" || fail "the first copy ended"
    within 5 named "$pid" About || fail "the first copy's window did not come forward"
    [ "$(snapshot "$d")" = "$before" ] || fail "files changed"
    mkdir "$d2/bin"; cp "$EXE" "$d2/bin/tellwick"
    start "$d2" "$d2/bin/tellwick"; pid3=$PID
    within 10 docked "$pid3" || fail "a copy from another path did not run alongside"
    alive "$pid" || fail "the first copy ended"
    kill_hard "$pid3"
    # The first copy still answers: its menu opens.
    choose "$pid" Escape || true
    kill_hard "$pid"
}

# Commands reach the running copy (started with --list, which opens the list once it runs): --new
# opens the editor, --list the list, --menu the menu; each second process ends with status 0. --quit ends the running copy with both
# files saved before it returns, without a question.
case_commands() {
    local d pid rc
    d=$(newdir)
    records "$d/rd.dt" "100 73051 0.75 kept"
    records "$d/re.dt" "10 40000 0.5 expired"
    cp "$d/rd.dt" "$d.rd"; cp "$d/re.dt" "$d.re"
    # With no copy running, --list starts the program, then opens the list.
    (cd "$d" && exec "$EXE" --list) >"$d.log" 2>&1 &
    pid=$!; PIDS+=("$pid")
    within 10 docked "$pid" || { fail "tray icon not docked"; kill_hard "$pid"; return; }
    within 5 named "$pid" "List of Reminders" || fail "--list as the first copy opened no list"
    (cd "$d" && "$EXE" --new) || fail "--new: status $?"
    within 5 named "$pid" "New Reminder" || fail "--new opened no editor"
    (cd "$d" && "$EXE" --list) || fail "--list: status $?"
    within 5 named "$pid" "List of Reminders" || fail "--list opened no list"
    (cd "$d" && "$EXE" --menu) || fail "--menu: status $?"
    within 5 menu_open "$pid" || fail "--menu opened no menu"
    xdotool key Escape
    within 5 menu_closed "$pid"
    touch -d '2001-01-01' "$d/rd.dt" "$d/re.dt"
    (cd "$d" && "$EXE" --quit); rc=$?
    [ "$rc" = 0 ] || fail "--quit: status $rc"
    [ "$(stat -c %Y "$d/rd.dt")" -gt 978307200 ] && [ "$(stat -c %Y "$d/re.dt")" -gt 978307200 ] ||
        fail "--quit returned before both files were saved"
    cmp -s "$d/rd.dt" "$d.rd" || fail "rd.dt not byte-exact"
    cmp -s "$d/re.dt" "$d.re" || fail "re.dt not byte-exact"
    within 10 dead "$pid" || fail "--quit did not end the running copy"
    named "$pid" Confirm >/dev/null && fail "--quit asked"
    kill_hard "$pid"
}

case_popup_due_now() {
    local d pid w
    d=$(newdir)
    safe_minute
    records "$d/rd.dt" "100 73051 0.5 far ahead" "100 today now due now"
    start "$d"; pid=$PID
    within 10 named "$pid" Reminder || { fail "no pop-up for a reminder due now"; kill_hard "$pid"; return; }
    w=$(named "$pid" Reminder)
    xdotool windowactivate --sync "$w" 2>/dev/null
    # Escape on the open "Repeat in" list closes only the list, opened from the keyboard (Tab, Tab
    # from the note) or by a click (the list sits at the right of the bottom row).
    for how in "key Tab Tab alt+Down" "mousemove --window $w 320 216 click 1"; do
        # shellcheck disable=SC2086
        xdotool $how
        within 5 menu_open "$pid" || fail "no list opened ($how)"
        xdotool key Escape
        within 5 menu_closed "$pid" || fail "Escape left the list open ($how)"
        sleep 0.5
        named "$pid" Reminder >/dev/null || fail "Escape on the open list closed the pop-up ($how)"
        [ "$(stat -c %s "$d/rd.dt")" = 576 ] || fail "Escape on the open list changed rd.dt ($how)"
    done
    xdotool key Escape
    within 5 eval "! named $pid Reminder" || fail "Escape did not dismiss the pop-up"
    # The dismissed reminder is dropped from "rd.dt"; the other one stays.
    within 5 eval "[ \$(stat -c %s '$d/rd.dt') = 288 ]" || fail "rd.dt still holds the dismissed reminder"
    [ ! -e "$d/re.dt" ] || fail "the dismissed reminder went to re.dt"
    kill_hard "$pid"
}

# The reminder is entered through the editor while "&Disable All" is checked: nothing shows until
# it is unchecked.
case_disable_all() {
    local d pid
    d=$(newdir)
    safe_minute
    start "$d"; pid=$PID
    within 10 docked "$pid" || { fail "tray icon not docked"; kill_hard "$pid"; return; }
    choose "$pid" d
    new_reminder "$pid" "while disabled" || { kill_hard "$pid"; return; }
    within 5 eval "[ -s '$d/rd.dt' ]" || { fail "the editor wrote no rd.dt"; kill_hard "$pid"; return; }
    sleep 2.5 # more than two monitor ticks
    named "$pid" Reminder >/dev/null && fail "a reminder showed while Disable All was checked"
    choose "$pid" d
    within 5 named "$pid" Reminder || fail "the reminder did not show after Disable All was unchecked"
    kill_hard "$pid"
}

# Exit in a directory the program may not write: the error is shown, the program stays, and the
# old files are whole. Run as an unprivileged user when this test runs as root.
case_readonly_directory() {
    local d pid before as=()
    d=$(newdir)
    records "$d/rd.dt" "100 73051 0.75 kept"
    records "$d/re.dt" "10 40000 0.5 kept too"
    if [ "$(id -u)" = 0 ]; then
        chown -R 65534:65534 "$RUNTIME"
        as=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
    fi
    chmod 555 "$d"
    before=$(snapshot "$d")
    (cd "$d" && exec "${as[@]}" "$EXE") >"$d.log" 2>&1 &
    pid=$!
    PIDS+=("$pid")
    within 10 docked "$pid" || { fail "tray icon not docked"; kill_hard "$pid"; chmod 755 "$d"; return; }
    choose "$pid" x && answer "$pid" Confirm Return
    answer "$pid" Tellwick Return
    sleep 0.3
    alive "$pid" || fail "the program ended although nothing could be saved"
    [ "$(snapshot "$d")" = "$before" ] || fail "the old files changed"
    kill_hard "$pid"
    chmod 755 "$d"
    [ "$(id -u)" = 0 ] && chown -R 0:0 "$RUNTIME"
}

# A reminder's life through the windows: typed into the editor and stored at once, listed, edited
# from the list, deleted there, and gone from "rd.dt" at Exit. Reminders are disabled meanwhile, so
# the one due now is never shown.
case_reminder_lifecycle() {
    local d pid list editor
    d=$(newdir)
    start "$d"; pid=$PID
    within 10 docked "$pid" || { fail "tray icon not docked"; kill_hard "$pid"; return; }
    choose "$pid" d
    new_reminder "$pid" "Water the plants" || { kill_hard "$pid"; return; }
    within 5 eval "grep -q 'Water the plants' '$d/rd.dt'" || { fail "OK did not store the reminder"; kill_hard "$pid"; return; }
    [ "$(stat -c %s "$d/rd.dt")" = 288 ] || fail "rd.dt is not one record"

    choose "$pid" l
    within 5 named "$pid" "List of Reminders" || { fail "no list"; kill_hard "$pid"; return; }
    list=$(named "$pid" "List of Reminders")
    xdotool windowactivate --sync "$list" 2>/dev/null
    xdotool key Return # the first row, selected on entry, goes to the editor
    within 5 named "$pid" "Edit Reminder" || { fail "Enter in the list opened no edit"; kill_hard "$pid"; return; }
    editor=$(named "$pid" "Edit Reminder")
    xdotool windowactivate --sync "$editor" 2>/dev/null
    xdotool key ctrl+End
    xdotool type --delay 20 " and the garden"
    xdotool key shift+Tab shift+Tab shift+Tab Return # over Help and Cancel to OK (Add is off in an edit)
    within 5 eval "grep -q 'Water the plants and the garden' '$d/rd.dt'" || fail "the edit was not stored"
    [ "$(stat -c %s "$d/rd.dt")" = 288 ] || fail "the edit did not change the reminder in place"

    # The list shows the edit within half a second; a key on a row it has not refreshed yet only
    # refreshes it.
    xdotool windowactivate --sync "$list" 2>/dev/null
    sleep 0.7
    xdotool key Delete
    choose "$pid" x && answer "$pid" Confirm Return
    within 10 dead "$pid" || fail "Exit with Yes did not end the program"
    [ "$(stat -c %s "$d/rd.dt")" = 0 ] || fail "the deleted reminder is still in rd.dt"
    kill_hard "$pid"
}

# A daily pop-up reminder due now, entered through the editor and dismissed with Escape, is back
# in "rd.dt" for tomorrow at the same time, with its rule.
case_daily_repeat() {
    local d pid w today
    d=$(newdir)
    safe_minute
    start "$d"; pid=$PID
    within 10 docked "$pid" || { fail "tray icon not docked"; kill_hard "$pid"; return; }
    today=$("$PY" -c 'import datetime as d; n = d.datetime.now(); print((n - d.datetime(1899, 12, 30)).days, n.hour * 60 + n.minute)')
    new_reminder "$pid" "Daily stand-up" 1 || { kill_hard "$pid"; return; }
    within 10 named "$pid" Reminder || { fail "no pop-up for the daily reminder"; kill_hard "$pid"; return; }
    w=$(named "$pid" Reminder)
    xdotool windowactivate --sync "$w" 2>/dev/null
    xdotool key Escape
    within 5 eval "! named $pid Reminder" || fail "Escape did not dismiss the pop-up"
    check_tomorrow() {
        "$PY" - "$d/rd.dt" $today <<'PYEOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
day, minute = int(sys.argv[2]), int(sys.argv[3])
assert len(data) == 288, len(data)
date, tod = struct.unpack_from("<dd", data, 16)
assert data[2] == 1, "rule code %d" % data[2]          # every day
assert data[33:33 + data[32]] == b"Daily stand-up"
assert int(date) == day + 1, (date, day)
assert round((tod % 1) * 1440) == minute, (tod, minute)
PYEOF
    }
    within 5 check_tomorrow 2>/dev/null || { check_tomorrow; fail "rd.dt does not hold the reminder for tomorrow"; }
    [ ! -e "$d/re.dt" ] || fail "the dismissed reminder went to re.dt"
    kill_hard "$pid"
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

# Run on a desktop without a notification area (test_e2e_no_tray): the window "Tellwick" comes up in
# its place, Escape hides it, a second start brings it back, its buttons reach the commands by
# keyboard; a tray host started later takes the icon, and one that goes away brings the window up.
case_no_tray() {
    local d pid pid2 tray
    d=$(newdir)
    start "$d"; pid=$PID
    within 8 named "$pid" Tellwick || { fail "no window \"Tellwick\" without a tray host"; kill_hard "$pid"; return; }

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
}

# Every case for a desktop with a tray (no_tray runs on its own desktop).
ALL=(missing_files empty_files damaged_files exit_answers terminate second_copy commands popup_due_now disable_all reminder_lifecycle daily_repeat readonly_directory)
[ $# -gt 0 ] && ALL=("$@")
for c in "${ALL[@]}"; do
    CASE=$c
    t0=$(date +%s%N)
    before_failed=$FAILED
    FAILED=0
    "case_$c"
    printf '%-4s %s (%d ms)\n' "$([ $FAILED = 0 ] && echo ok || echo FAIL)" "$c" $(( ($(date +%s%N) - t0) / 1000000 ))
    [ $FAILED = 0 ] && FAILED=$before_failed
done
exit $FAILED
