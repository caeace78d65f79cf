#!/usr/bin/env bash
# Whole-program test: started where no graphical desktop session can be reached (no DISPLAY and
# no WAYLAND_DISPLAY, or a DISPLAY or Wayland socket nobody serves), the program says so in one line on stderr and
# ends with status 1, writing no file: no "rd.dt", "re.dt", no lock, no core. An explicit
# QT_QPA_PLATFORM is honoured and the program starts.
#
#   tests/e2e/no-desktop.sh TELLWICK
set -u
EXE=$(readlink -f "$1")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-nodesk.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
FAILED=0
CASE_FAILED=0
fail() { printf 'FAIL %s: %s\n' "$CASE" "$*" >&2; FAILED=1; CASE_FAILED=1; }
report() { printf '%-4s %s\n' "$([ $CASE_FAILED = 0 ] && echo ok || echo FAIL)" "$CASE"; CASE_FAILED=0; }

# refused CASE ENV...: runs the program with only ENV (and PATH, HOME, the runtime folder) set
refused() {
    CASE=$1; shift
    local d="$WORK/$CASE" rc lines
    mkdir -p "$d/home" "$d/runtime"; chmod 700 "$d/runtime"
    (cd "$d/home" && ulimit -c unlimited && exec env -i PATH="$PATH" HOME="$d/home" \
        XDG_RUNTIME_DIR="$d/runtime" "$@" "$EXE") >"$d/out" 2>"$d/err"
    rc=$?
    [ "$rc" = 1 ] || fail "exit status $rc, not 1"
    lines=$(wc -l <"$d/err")
    [ "$lines" = 1 ] || fail "$lines lines on stderr: $(cat "$d/err")"
    grep -q 'needs a graphical desktop session' "$d/err" || fail "stderr says: $(cat "$d/err")"
    [ ! -s "$d/out" ] || fail "stdout says: $(cat "$d/out")"
    [ -z "$(find "$d/home" "$d/runtime" -mindepth 1)" ] || fail "files written: $(find "$d/home" "$d/runtime" -mindepth 1)"
    report
}

refused no_display
refused empty_display DISPLAY= WAYLAND_DISPLAY=
# A display number no X server listens on.
n=47000
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
refused dead_display DISPLAY=":$n"
# A Wayland socket nobody serves, and no X display to fall back on (Qt would abort).
refused dead_wayland WAYLAND_DISPLAY="$WORK/no-such-compositor"

# An explicit platform is the user's choice: the program starts (and ends with SIGTERM's save).
CASE=explicit_platform
d="$WORK/$CASE"; mkdir -p "$d/home" "$d/runtime"; chmod 700 "$d/runtime"
(cd "$d/home" && exec env -i PATH="$PATH" HOME="$d/home" XDG_RUNTIME_DIR="$d/runtime" \
    QT_QPA_PLATFORM=offscreen "$EXE") >"$d/out" 2>"$d/err" &
pid=$!
# Once it catches SIGTERM (bit 15 of SigCgt), SIGTERM ends it with a save of both files.
for _ in $(seq 200); do
    mask=$(awk '/^SigCgt:/{print $2}' "/proc/$pid/status" 2>/dev/null)
    [ -n "$mask" ] && (( (16#$mask >> 14) & 1 )) && break
    sleep 0.05
done
kill -TERM "$pid" 2>/dev/null
for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
kill -KILL "$pid" 2>/dev/null
wait "$pid"
grep -q 'graphical desktop session' "$d/err" && fail "refused although QT_QPA_PLATFORM is set"
[ -e "$d/home/rd.dt" ] || fail "did not start and save on SIGTERM: $(cat "$d/err")"
report
exit $FAILED
