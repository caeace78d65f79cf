#!/usr/bin/env bash
# Whole-program tests of the Windows program under Wine: the real tellwick.exe (as unpacked from
# the zip) on the X server in $DISPLAY with a window manager and no X tray host, so that Wine shows
# its own "Wine System Tray" window; driven with xdotool as a user drives it. Every case runs in a
# fresh working directory with its own "rd.dt" and "re.dt", and every copy of the program it
# starts is ended before the next case. WINEPREFIX must name a ready prefix.
#
#   tests/win32/e2e_wine.sh TELLWICK.EXE [LINUX_TELLWICK|""] [CASE...]      (no CASE: all of them)
#
# With LINUX_TELLWICK, the Linux program is given the same tables, and both must write the same
# bytes. TELLWICK_WIN_SHOTS=DIR saves pictures of the windows there (win-*.png).
set -u

EXE=$(readlink -f "$1")
LINUX_EXE=${2:-}
shift 2 || shift $#
HERE=$(cd "$(dirname "$0")" && pwd)
records() { /usr/bin/python3 "$HERE/../e2e/records.py" "$@"; }
SHOTS=${TELLWICK_WIN_SHOTS:-}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-e2e-wine.XXXXXX")
# The program must find everything it needs beside itself.
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM
PIDS=()
FAILED=0
CASE=""

# shellcheck source=../e2e/drive.sh
. "$HERE/../e2e/drive.sh"
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# start DIR [EXE] -> $PID: the program under Wine in DIR (the same Unix process all along).
start() {
    local dir=$1 exe=${2:-$EXE}
    (cd "$dir" && exec wine "$exe") >"$dir.log" 2>&1 &
    PID=$!
    PIDS+=("$PID")
}

# Wine's own tray window, shown while at least one program has an icon in it (prints its id).
wine_tray() {
    local w
    for w in $(xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null); do
        echo "$w"
        return 0
    done
    return 1
}
no_wine_tray() { ! wine_tray; }


# shot NAME X Y W H: a picture of that part of the screen, for the documentation.
shot() {
    [ -n "$SHOTS" ] || return 0
    mkdir -p "$SHOTS"
    import -window root -crop "$4x$5+$2+$3" +repage "$SHOTS/win-$1.png" 2>/dev/null
}
shot_window() { # shot_window NAME WINDOW
    local x y w h o
    read -r x y w h o <<<"$(geometry "$2")"
    # the window manager's frame: its title bar above the client, its border around it
    shot "$1" $((x - 4 < 0 ? 0 : x - 4)) $((y - 24 < 0 ? 0 : y - 24)) $((w + 8)) $((h + 28))
}

snapshot() { (cd "$1" && stat -c '%n %s %Y' -- * 2>/dev/null | sort; sha256sum -- * 2>/dev/null); }

safe_minute() {
    while [ "$(date +%M)" = 59 ]; do sleep 1; done
}

newdir() { mktemp -d "$WORK/case.XXXXXX"; }

# The time field (a fraction of a day) of record $2 of file $1.
rem_time() {
    /usr/bin/python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(); print(struct.unpack_from("<d", d, 288*int(sys.argv[2])+24)[0])' "$1" "$2"
}

# --- cases --------------------------------------------------------------------------------------

# No files: the icon appears in Wine's tray and nothing else is on screen, and nothing is written
# until Exit, which writes two empty files. Measures the start to the tray icon.
case_missing_files() {
    local d pid t0 t1
    d=$(newdir)
    within 5 no_wine_tray || fail "Wine's tray window is up before the program"
    t0=$(date +%s%N)
    start "$d"; pid=$PID
    within 30 wine_tray || { fail "no icon in Wine's tray"; kill_hard "$pid"; return; }
    t1=$(date +%s%N)
    echo "start to tray icon (first start, Wine's tray starting too): $(( (t1 - t0) / 1000000 )) ms"
    sleep 1
    [ -z "$(windows_of "$pid")" ] || fail "a window of the program is on screen"
    [ -z "$(ls "$d")" ] || fail "files written at start: $(ls "$d")"
    choose "$pid" x && answer "$pid" Confirm Return
    within 10 dead "$pid" || fail "Exit with Yes did not end the program"
    wait "$pid"; local rc=$?
    [ "$rc" = 0 ] || fail "exit status $rc"
    [ "$(stat -c %s "$d/rd.dt" "$d/re.dt" 2>&1)" = $'0\n0' ] || fail "Exit did not write two empty files"
    within 10 no_wine_tray || fail "the icon stayed after Exit"
}

case_empty_files() {
    local d pid
    d=$(newdir)
    : >"$d/rd.dt"; : >"$d/re.dt"
    local t0=$(date +%s%N)
    start "$d"; pid=$PID
    within 30 wine_tray || { fail "no icon in Wine's tray"; kill_hard "$pid"; return; }
    echo "start to tray icon (Wine's tray already running): $(( ($(date +%s%N) - t0) / 1000000 )) ms"
    choose "$pid" x && answer "$pid" Confirm Return
    within 10 dead "$pid" || fail "Exit with Yes did not end the program"
    [ "$(stat -c %s "$d/rd.dt" "$d/re.dt")" = $'0\n0' ] || fail "empty files changed"
    kill_hard "$pid"
}

# A truncated record after a whole one, and "re.dt" that cannot be read (a directory): the error is
# shown, start-up goes on; at Exit "rd.dt" is written, the failed "re.dt" is reported and keeps the
# program running.
case_damaged_files() {
    local d pid
    d=$(newdir)
    records "$d/good" "100 73051 0.5 far ahead"
    cp "$d/good" "$d/rd.dt"
    head -c 100 /dev/urandom >>"$d/rd.dt"
    mkdir "$d/re.dt"
    start "$d"; pid=$PID
    answer "$pid" Tellwick Return
    within 30 wine_tray || fail "no icon in Wine's tray after the error"
    choose "$pid" x && answer "$pid" Confirm Return
    answer "$pid" Tellwick Return
    sleep 0.5
    alive "$pid" || fail "the program ended although re.dt could not be written"
    cmp -s "$d/good" "$d/rd.dt" || fail "rd.dt is not the one whole record"
    [ -d "$d/re.dt" ] || fail "re.dt changed"
    kill_hard "$pid"
}

# The tray icon's right-click menu, and Ctrl+F2 (RegisterHotKey) opening the same menu; Escape
# closes it.
case_tray_menu() {
    local d pid tray x y w h o mx my mw mh
    d=$(newdir)
    start "$d"; pid=$PID
    within 30 wine_tray || { fail "no icon in Wine's tray"; kill_hard "$pid"; return; }
    tray=$(wine_tray)
    read -r x y w h o <<<"$(geometry "$tray")"
    # The first icon sits at the left end of the window, as wide as the window is high. Move onto
    # it first: a click that comes with the first motion can be lost.
    xdotool mousemove $((x + h / 2)) $((y + h / 2))
    sleep 0.5
    xdotool click 3
    within 5 menu_open "$pid" || fail "a right click on the icon opened no menu"
    if menu_open "$pid" >/dev/null; then
        read -r mx my mw mh o <<<"$(geometry "$(menu_open "$pid")")"
        local left=$((mx < x ? mx : x)) top=$((my < y ? my : y))
        local right=$((mx + mw > x + w ? mx + mw : x + w)) bottom=$((my + mh > y + h ? my + mh : y + h))
        shot tray-menu $((left - 24 < 0 ? 0 : left - 24)) $((top - 24 < 0 ? 0 : top - 24)) \
            $((right - left + 48)) $((bottom - top + 48))
        xdotool key Escape
        within 5 menu_closed "$pid" || { xdotool mousemove 5 5 click 1; within 5 menu_closed "$pid"; }
    fi
    xdotool mousemove 5 5
    xdotool key ctrl+F2
    within 5 menu_open "$pid" || fail "Ctrl+F2 opened no menu"
    xdotool key Escape
    within 5 menu_closed "$pid" || fail "Escape left the menu open"
    kill_hard "$pid"
}

# Exit asks "Confirm": No keeps the program and writes nothing; Yes writes both files exactly as
# they were loaded, and exactly as the Linux program writes them.
case_exit_answers() {
    local d pid before
    d=$(newdir)
    records "$d/rd.dt" "100 73051 0.75 later one 0 3 1" "1 73050 0.25 sooner one 0 0 0" "10 73049 0.5 Grüße, café 0 1 0"
    records "$d/re.dt" "10 40000 0.5 long ago 0 9 1" "100 40001 0.125 older still"
    cp "$d/rd.dt" "$WORK/rd.expected"; cp "$d/re.dt" "$WORK/re.expected"
    before=$(snapshot "$d")
    start "$d"; pid=$PID
    within 30 wine_tray || { fail "no icon in Wine's tray"; kill_hard "$pid"; return; }
    choose "$pid" x
    answer "$pid" Confirm alt+n
    sleep 1.2 # a monitor tick
    alive "$pid" || fail "No ended the program"
    [ "$(snapshot "$d")" = "$before" ] || fail "No wrote a file"
    choose "$pid" x && answer "$pid" Confirm alt+y
    within 10 dead "$pid" || fail "Yes did not end the program"
    cmp -s "$d/rd.dt" "$WORK/rd.expected" || fail "rd.dt not byte-exact"
    cmp -s "$d/re.dt" "$WORK/re.expected" || fail "re.dt not byte-exact"
    kill_hard "$pid"
    [ -n "$LINUX_EXE" ] || return 0
    # The Linux program, given the same tables, ends with its save on SIGTERM.
    local l lp runtime
    l=$(newdir); runtime=$(newdir); chmod 700 "$runtime"
    cp "$WORK/rd.expected" "$l/rd.dt"; cp "$WORK/re.expected" "$l/re.dt"
    (cd "$l" && XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen exec "$LINUX_EXE") >"$l.log" 2>&1 &
    lp=$!; PIDS+=("$lp")
    sleep 3
    kill -TERM "$lp"
    within 10 dead "$lp" || fail "the Linux program did not end"
    cmp -s "$l/rd.dt" "$d/rd.dt" || fail "rd.dt differs from the Linux program's"
    cmp -s "$l/re.dt" "$d/re.dt" || fail "re.dt differs from the Linux program's"
    [ "$(stat -c %Y "$l/rd.dt")" -ge "$(stat -c %Y "$WORK/rd.expected")" ] || fail "the Linux program saved nothing"
}

# The end of the session as Wine sends it (wineboot --end-session: WM_QUERYENDSESSION, then
# WM_ENDSESSION, to every top-level window): both files are saved without a question.
case_end_session() {
    local d pid before
    d=$(newdir)
    records "$d/rd.dt" "100 73051 0.75 kept 0 5 1"
    records "$d/re.dt" "10 40000 0.5 kept too"
    cp "$d/rd.dt" "$WORK/rd.expected"; cp "$d/re.dt" "$WORK/re.expected"
    touch -d '2001-01-01' "$d/rd.dt" "$d/re.dt"
    start "$d"; pid=$PID
    within 30 wine_tray || { fail "no icon in Wine's tray"; kill_hard "$pid"; return; }
    wineboot --end-session >/dev/null 2>&1
    within 10 eval "[ \$(stat -c %Y '$d/rd.dt') -gt 978307200 ] && [ \$(stat -c %Y '$d/re.dt') -gt 978307200 ]" ||
        fail "the end of the session saved nothing"
    cmp -s "$d/rd.dt" "$WORK/rd.expected" || fail "rd.dt not byte-exact"
    cmp -s "$d/re.dt" "$WORK/re.expected" || fail "re.dt not byte-exact"
    named "$pid" Confirm >/dev/null && fail "the end of the session asked"
    kill_hard "$pid"
}

# A second start of the same executable ends and writes nothing; the first keeps running.
case_second_copy() {
    local d pid pid2 before
    d=$(newdir)
    records "$d/rd.dt" "100 73051 0.75 kept"
    : >"$d/re.dt"
    before=$(snapshot "$d")
    start "$d"; pid=$PID
    within 30 wine_tray || { fail "no icon in Wine's tray"; kill_hard "$pid"; return; }
    start "$d"; pid2=$PID
    within 30 dead "$pid2" || fail "the second copy kept running"
    wait "$pid2"; local rc=$?
    [ "$rc" = 0 ] || fail "second copy's exit status $rc"
    alive "$pid" || fail "the first copy ended"
    [ "$(snapshot "$d")" = "$before" ] || fail "files changed"
    choose "$pid" Escape || true
    kill_hard "$pid"
}

# The command line: --version prints and ends with status 0, an unknown option ends with status 2,
# both without a window; --add with no copy running stores into "rd.dt" itself, or refuses with
# status 2 and stores nothing.
case_options() {
    local d rc
    d=$(newdir)
    (cd "$d" && wine "$EXE" --version) >"$d.out" 2>"$d.err"; rc=$?
    [ "$rc" = 0 ] || fail "--version: status $rc"
    grep -q '^Tellwick [0-9]' "$d.out" || fail "--version printed: $(cat "$d.out")"
    (cd "$d" && wine "$EXE" --frobnicate) >"$d.out" 2>"$d.err"; rc=$?
    [ "$rc" = 2 ] || fail "unknown option: status $rc"
    grep -q "unknown option '--frobnicate'" "$d.err" || fail "unknown option said: $(cat "$d.err")"
    [ -z "$(ls "$d")" ] || fail "files written: $(ls "$d")"
    (cd "$d" && wine "$EXE" --add "tomorrow call the garage") >"$d.out" 2>"$d.err"; rc=$?
    [ "$rc" = 2 ] || fail "--add refused: status $rc"
    [ "$(cat "$d.err")" = "tellwick: No time of day" ] || fail "--add refused said: $(cat "$d.err")"
    [ -z "$(ls "$d")" ] || fail "files written: $(ls "$d")"
    (cd "$d" && wine "$EXE" --add "tomorrow 9am call the garage") >"$d.out" 2>"$d.err"; rc=$?
    [ "$rc" = 0 ] || fail "--add: status $rc: $(cat "$d.err")"
    grep -q ' 09:00 Once call the garage$' "$d.out" || fail "--add printed: $(cat "$d.out")"
    [ "$(stat -c %s "$d/rd.dt" 2>&1)" = 288 ] || fail "--add left no record in rd.dt"
}

# --data-dir makes %APPDATA%\Tellwick and works there; a second copy with --add stores through it,
# and one with --quit ends the first with both files saved before it returns.
case_data_dir_and_quit() {
    local d pid rc appdata data
    d=$(newdir)
    appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
    data=$(winepath -u "$appdata\\Tellwick" 2>/dev/null)
    [ -n "$data" ] || { fail "no %APPDATA% in the prefix"; return; }
    rm -rf "$data"
    (cd "$d" && exec wine "$EXE" --data-dir) >"$d.log" 2>&1 &
    pid=$!; PIDS+=("$pid")
    within 30 wine_tray || { fail "no icon in Wine's tray"; kill_hard "$pid"; return; }
    [ -d "$data" ] || fail "--data-dir did not make $data"
    (cd "$d" && wine "$EXE" --add "in 2 h tea") >"$d.add" 2>&1; rc=$?
    [ "$rc" = 0 ] || fail "--add: status $rc: $(cat "$d.add")"
    grep -q ' Once tea$' "$d.add" || fail "--add printed: $(cat "$d.add")"
    [ "$(stat -c %s "$data/rd.dt" 2>&1)" = 288 ] || fail "--add: the running copy did not save rd.dt"
    (cd "$d" && wine "$EXE" --add "31 feb 9am tea") >"$d.add" 2>&1; rc=$?
    [ "$rc" = 2 ] || fail "--add refused: status $rc: $(cat "$d.add")"
    (cd "$d" && wine "$EXE" --quit) >"$d.quit" 2>&1; rc=$?
    [ "$rc" = 0 ] || fail "--quit: status $rc: $(cat "$d.quit")"
    [ -e "$data/rd.dt" ] && [ -e "$data/re.dt" ] || fail "--quit returned before both files were saved in $data"
    [ -z "$(ls "$d")" ] || fail "files written in the working directory: $(ls "$d")"
    within 10 dead "$pid" || fail "--quit did not end the first copy"
    named "$pid" Confirm >/dev/null && fail "--quit asked"
    (cd "$d" && wine "$EXE" --quit) >/dev/null 2>&1; rc=$?
    [ "$rc" = 0 ] || fail "--quit with no copy running: status $rc"
    kill_hard "$pid"
    rm -rf "$data"
}

# A pop-up reminder due now appears; Escape dismisses it and "rd.dt" no longer holds it. A second
# one is moved on with "Repeat in" (five minutes, the first interval) and is back in "rd.dt".
case_popup() {
    local d pid w t0 t1
    d=$(newdir)
    safe_minute
    records "$d/rd.dt" "100 73051 0.5 far ahead" "100 today now Call the garage"
    start "$d"; pid=$PID
    within 30 named "$pid" Reminder || { fail "no pop-up for a reminder due now"; kill_hard "$pid"; return; }
    w=$(named "$pid" Reminder)
    shot_window popup "$w"
    xdotool windowactivate --sync "$w" 2>/dev/null
    sleep 0.3
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
    within 5 eval "[ \$(stat -c %s '$d/rd.dt') = 288 ]" || fail "rd.dt still holds the dismissed reminder"
    [ ! -e "$d/re.dt" ] || fail "the dismissed reminder went to re.dt"
    kill_hard "$pid"

    safe_minute
    records "$d/rd.dt" "100 73051 0.5 far ahead" "100 today now Repeat me"
    t0=$(rem_time "$d/rd.dt" 1)
    start "$d"; pid=$PID
    within 30 named "$pid" Reminder || { fail "no pop-up for the second reminder"; kill_hard "$pid"; return; }
    w=$(named "$pid" Reminder)
    xdotool windowactivate --sync "$w" 2>/dev/null
    sleep 0.3
    # "Repeat in" sits at (136, 204), 109 x 25, in the pop-up.
    xdotool mousemove --window "$w" 190 216
    sleep 0.3
    xdotool click 1
    within 5 eval "! named $pid Reminder" || fail "Repeat in did not close the pop-up"
    within 5 eval "[ \$(stat -c %s '$d/rd.dt') = 576 ]" || fail "the repeated reminder is not back in rd.dt"
    t1=$(rem_time "$d/rd.dt" 1)
    /usr/bin/python3 -c 'import sys; a,b=map(float,sys.argv[1:]); sys.exit(0 if abs(b-a-5/1440)<1e-9 else 1)' "$t0" "$t1" ||
        fail "the repeated reminder's time moved from $t0 to $t1, not by five minutes"
    grep -q "Repeat me" "$d/rd.dt" || fail "the repeated reminder's note is gone"
    kill_hard "$pid"
}

# A title reminder slides into another Wine program's title bar (Wine's notepad, in front), and the
# program's own title comes back exactly.
case_title() {
    local d pid np npw title seen="" now i other holder
    d=$(newdir)
    # Wine's tray window takes the focus when it first appears: another copy of the program (from
    # another folder, so another instance) holds it open before notepad is brought to the front.
    other=$(newdir)
    cp -r "$(dirname "$EXE")" "$other/program"
    start "$(newdir)" "$other/program/$(basename "$EXE")"; holder=$PID
    within 30 wine_tray || { fail "no icon in Wine's tray"; kill_hard "$holder"; return; }
    # Wine starts its own notepad as a process of its own: it is found by its title.
    wine notepad >"$d.notepad.log" 2>&1 &
    PIDS+=("$!")
    within 30 eval "xdotool search --onlyvisible --name '^Untitled - Notepad\$' | grep -q ." ||
        { fail "notepad did not start"; return; }
    npw=$(xdotool search --onlyvisible --name '^Untitled - Notepad$' | head -n 1)
    np=$(xprop -id "$npw" _NET_WM_PID | awk '{print $3}')
    title=$(xdotool getwindowname "$npw")
    xdotool windowactivate --sync "$npw" 2>/dev/null
    safe_minute
    records "$d/rd.dt" "1 today now Slide along"
    start "$d"; pid=$PID
    for i in $(seq 1 400); do
        now=$(xdotool getwindowname "$npw" 2>/dev/null)
        [ "$now" != "$title" ] && seen="$now"
        case "$now" in *"Slide along"*) break ;; esac
        sleep 0.05
    done
    case "$seen" in *"Slide along"*) ;; *) fail "the note never showed in notepad's title (last seen: \"$seen\")" ;; esac
    # The title blinks between the note and its own text; when the display is over the reminder
    # is dropped from "rd.dt", and the title must then be notepad's own.
    within 30 eval "[ \$(stat -c %s '$d/rd.dt') = 0 ]" || fail "the shown title reminder is still in rd.dt"
    now=$(xdotool getwindowname "$npw")
    [ "$now" = "$title" ] || fail "notepad's title did not come back: \"$now\""
    kill_hard "$pid"
    kill_hard "$holder"
    [ -n "$np" ] && kill -KILL "$np" 2>/dev/null
}

# The editor stores a new reminder at once, and the list shows it: its row opens in the editor with
# the same note (read through the clipboard). Reminders are disabled meanwhile.
case_editor_and_list() {
    local d pid w list editor
    d=$(newdir)
    start "$d"; pid=$PID
    within 30 wine_tray || { fail "no icon in Wine's tray"; kill_hard "$pid"; return; }
    choose "$pid" d
    choose "$pid" n
    within 10 named "$pid" "New Reminder" || { fail "no editor"; kill_hard "$pid"; return; }
    w=$(named "$pid" "New Reminder")
    xdotool windowactivate --sync "$w" 2>/dev/null
    sleep 0.3
    xdotool type --delay 30 "Water the plants"
    sleep 0.3
    shot_window editor "$w"
    # The editor has no default button: back from the note over Help, Cancel and Add to OK.
    xdotool key shift+Tab shift+Tab shift+Tab shift+Tab Return
    within 5 eval "grep -q 'Water the plants' '$d/rd.dt'" || { fail "OK did not store the reminder"; kill_hard "$pid"; return; }
    [ "$(stat -c %s "$d/rd.dt")" = 288 ] || fail "rd.dt is not one record"

    choose "$pid" l
    within 10 named "$pid" "List of Reminders" || { fail "no list"; kill_hard "$pid"; return; }
    list=$(named "$pid" "List of Reminders")
    xdotool windowactivate --sync "$list" 2>/dev/null
    sleep 0.8
    shot_window list "$list"
    xdotool key Return
    within 10 named "$pid" "Edit Reminder" || { fail "Enter in the list opened no edit"; kill_hard "$pid"; return; }
    editor=$(named "$pid" "Edit Reminder")
    xdotool windowactivate --sync "$editor" 2>/dev/null
    sleep 0.3
    xdotool key ctrl+a ctrl+c
    sleep 0.5
    [ "$(xclip -o -selection clipboard 2>/dev/null)" = "Water the plants" ] ||
        fail "the listed reminder's note is \"$(xclip -o -selection clipboard 2>&1)\""
    kill_hard "$pid"
}

# The activity log window (for its picture): logging switched on, another window in front, the log
# shown; Tools is the fourth entry of the menu.
case_log() {
    [ -n "$SHOTS" ] || return 0
    local d pid w
    d=$(newdir)
    start "$d"; pid=$PID
    within 30 wine_tray || { fail "no icon in Wine's tray"; kill_hard "$pid"; return; }
    xdotool key ctrl+F2
    within 5 menu_open "$pid" || { fail "Ctrl+F2 opened no menu"; kill_hard "$pid"; return; }
    sleep 0.2
    xdotool key Down Down Down Down Right Return
    within 5 menu_closed "$pid"
    sleep 3
    xdotool key ctrl+F2
    within 5 menu_open "$pid" || { fail "Ctrl+F2 opened no menu"; kill_hard "$pid"; return; }
    sleep 0.2
    xdotool key Down Down Down Down Right Down Return
    within 10 named "$pid" "User Activity" || { fail "no log window"; kill_hard "$pid"; return; }
    w=$(named "$pid" "User Activity")
    sleep 0.5
    shot_window log "$w"
    kill_hard "$pid"
}

ALL=(options missing_files empty_files damaged_files tray_menu exit_answers second_copy data_dir_and_quit popup title editor_and_list end_session log)
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
