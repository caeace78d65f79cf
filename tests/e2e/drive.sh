# Helpers shared by the whole-program tests on Linux (tests/e2e/e2e.sh) and under Wine
# (tests/win32/e2e_wine.sh): waiting, failing, ending processes, and finding the program's windows
# and its tray menu with xdotool and xwininfo. The sourcing script sets WORK, PIDS, FAILED and CASE.

cleanup() {
    local p
    for p in "${PIDS[@]}"; do kill -KILL "$p" 2>/dev/null; done
    for p in "${PIDS[@]}"; do wait "$p" 2>/dev/null; done
    chmod -R u+w "$WORK" 2>/dev/null
    rm -rf "$WORK"
}

fail() {
    printf 'FAIL %s: %s\n' "$CASE" "$*" >&2
    FAILED=1
    return 1
}

# poll CMD every 50 ms for up to $1 seconds
within() {
    local limit=$1; shift
    local end=$(( $(date +%s%N) + limit * 1000000000 ))
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s%N)" -ge "$end" ] && return 1
        sleep 0.05
    done
}

alive() { kill -0 "$1" 2>/dev/null; }
dead() { ! alive "$1"; }

# Ends the program with SIGKILL: no save happens on that way.
kill_hard() {
    kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}

# The visible top-level windows of process $1 (Qt sets _NET_WM_PID on each, and so does Wine).
windows_of() { xdotool search --all --pid "$1" --onlyvisible 2>/dev/null; }

geometry() { # geometry WINDOW -> "X Y W H OVERRIDE-REDIRECT"
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} /Override Redirect State:/{o=$4} END{print x, y, w, h, o}'
}

# A visible managed window (a dialog, not the menu or the tray icon) of process $1 named exactly
# $2 (prints its id).
named() {
    local w x y ww wh o
    for w in $(windows_of "$1"); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$2" ] || continue
        read -r x y ww wh o <<<"$(geometry "$w")"
        [ "$o" = no ] && [ "$wh" -gt 50 ] && { echo "$w"; return 0; }
    done
    return 1
}

# The tray menu of process $1 is open: an unmanaged window of it taller than the tray icon.
menu_open() {
    local w x y ww wh o
    for w in $(windows_of "$1"); do
        read -r x y ww wh o <<<"$(geometry "$w")"
        [ "$o" = yes ] && [ "$wh" -gt 100 ] && { echo "$w"; return 0; }
    done
    return 1
}
menu_closed() { ! menu_open "$1"; }

# Opens the tray menu with Ctrl+F2 and chooses the item with accelerator key $2.
choose() {
    xdotool key ctrl+F2
    within 5 menu_open "$1" || { fail "Ctrl+F2 opened no menu"; return 1; }
    sleep 0.2
    xdotool key "$2"
    within 5 menu_closed "$1"
}

# Answers the box named $2 of process $1 with key $3.
answer() {
    local w
    within 10 named "$1" "$2" || { fail "no \"$2\" box"; return 1; }
    w=$(named "$1" "$2")
    xdotool windowactivate --sync "$w" 2>/dev/null
    sleep 0.2
    xdotool key "$3"
    within 5 eval "! named $1 '$2'" || fail "the \"$2\" box stayed"
}
