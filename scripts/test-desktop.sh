#!/usr/bin/env bash
# A headless X11 desktop for the tests that need one: Xvfb, openbox (an EWMH window manager) and
# trayer (an XEmbed notification area).
#
#   scripts/test-desktop.sh run [--no-wm] [--no-tray] -- COMMAND [ARGS...]
#       starts a fresh desktop, runs COMMAND with DISPLAY set to it and no session bus, stops every
#       process it started (also when COMMAND fails or the script is interrupted), exits with
#       COMMAND's status.
#   eval "$(scripts/test-desktop.sh start)"  /  scripts/test-desktop.sh stop
#       the same desktop for interactive use (screenshots); the state lives in $TEST_DESKTOP_STATE.
#
# Readiness is polled, never slept for: Xvfb reports its display number itself (-displayfd), the
# window manager is up when _NET_SUPPORTING_WM_CHECK is set, the tray when _NET_SYSTEM_TRAY_S0 has
# an owner and trayer has mapped its panel. Every process runs under timeout(1) so that nothing
# outlives a forgotten stop.
set -u

SCREEN="${TEST_DESKTOP_SCREEN:-1280x800x24}"
WAIT_S="${TEST_DESKTOP_TIMEOUT:-20}"
MAX_S="${TEST_DESKTOP_MAX_SECONDS:-3600}"
PY=/usr/bin/python3

log() { printf 'test-desktop: %s\n' "$*" >&2; }

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

# poll CMD every 50 ms until it succeeds, WAIT_S passes, or process $1 dies
wait_for() {
    local pid=$1 what=$2; shift 2
    local deadline=$(( $(date +%s) + WAIT_S ))
    until "$@" >/dev/null 2>&1; do
        alive "$pid" || { log "$what died while starting"; return 1; }
        [ "$(date +%s)" -ge "$deadline" ] && { log "$what not ready after ${WAIT_S}s"; return 1; }
        sleep 0.05
    done
}

wm_ready() {
    local id
    id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p')
    [ -n "$id" ] && xprop -id "$id" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# trayer's panel is on screen (it takes the tray selection before it maps its window).
panel_mapped() { xwininfo -name panel 2>/dev/null | grep -q 'Map State: IsViewable'; }

selection_owned() {
    "$PY" - "$1" <<'PYEOF'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p; x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong; x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XGetSelectionOwner.restype = ctypes.c_ulong; x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
d = x.XOpenDisplay(None)
if not d: sys.exit(2)
owner = x.XGetSelectionOwner(d, x.XInternAtom(d, sys.argv[1].encode(), 0))
x.XCloseDisplay(d)
sys.exit(0 if owner else 1)
PYEOF
}

PIDS=()
LOGDIR=""

# stop every process we started, newest first: SIGTERM, up to 5 s, then SIGKILL
stop_all() {
    local i p
    for (( i=${#PIDS[@]}-1; i>=0; i-- )); do
        p=${PIDS[$i]}
        alive "$p" || continue
        kill -TERM "$p" 2>/dev/null
        for _ in $(seq 100); do alive "$p" || break; sleep 0.05; done
        alive "$p" && kill -KILL "$p" 2>/dev/null
        wait "$p" 2>/dev/null
    done
    PIDS=()
}

# start_desktop NO_WM NO_TRAY: sets DISPLAY and PIDS, logs in LOGDIR
start_desktop() {
    local no_wm=$1 no_tray=$2
    command -v Xvfb >/dev/null || { log "Xvfb is not installed"; return 1; }
    LOGDIR=$(mktemp -d "${TMPDIR:-/tmp}/test-desktop.XXXXXX")
    local fdfile="$LOGDIR/displayfd"; : > "$fdfile"
    timeout -k 5 "$MAX_S" Xvfb -displayfd 3 -screen 0 "$SCREEN" -nolisten tcp -noreset 3>"$fdfile" \
        </dev/null >"$LOGDIR/xvfb.log" 2>&1 &
    PIDS+=($!)
    wait_for "${PIDS[0]}" Xvfb grep -qx '[0-9][0-9]*' "$fdfile" || { cat "$LOGDIR/xvfb.log" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$fdfile")"
    if [ "$no_wm" = 0 ]; then
        timeout -k 5 "$MAX_S" openbox --sm-disable </dev/null >"$LOGDIR/openbox.log" 2>&1 &
        PIDS+=($!)
        wait_for "$!" openbox wm_ready || { cat "$LOGDIR/openbox.log" >&2; return 1; }
    fi
    if [ "$no_tray" = 0 ]; then
        timeout -k 5 "$MAX_S" trayer --edge bottom --align right --widthtype request --height 32 \
            --SetDockType true --SetPartialStrut true --transparent false --expand true \
            </dev/null >"$LOGDIR/trayer.log" 2>&1 &
        PIDS+=($!)
        wait_for "$!" trayer selection_owned _NET_SYSTEM_TRAY_S0 || { cat "$LOGDIR/trayer.log" >&2; return 1; }
        wait_for "$!" "trayer's panel" panel_mapped || { cat "$LOGDIR/trayer.log" >&2; return 1; }
    fi
    log "ready on $DISPLAY"
}

usage() { echo "usage: $0 run [--no-wm] [--no-tray] -- COMMAND... | start | stop" >&2; exit 2; }

case "${1:-}" in
run)
    shift
    no_wm=0 no_tray=0
    while [ $# -gt 0 ]; do
        case "$1" in
            --no-wm) no_wm=1 ;;
            --no-tray) no_tray=1 ;;
            --) shift; break ;;
            *) usage ;;
        esac
        shift
    done
    [ $# -gt 0 ] || usage
    trap 'stop_all; [ -n "$LOGDIR" ] && rm -rf "$LOGDIR"' EXIT
    trap 'exit 130' INT TERM HUP
    start_desktop "$no_wm" "$no_tray" || exit 1
    # Tests never talk to the developer's session bus (a StatusNotifier host would take the tray icon).
    env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY "$@"
    exit $?
    ;;
start)
    # The processes stay after this script ends; their PIDs go to the state file for "stop".
    start_desktop 0 0 || { stop_all; exit 1; }
    state="$LOGDIR/state"
    printf '%s\n' "${PIDS[@]}" > "$state"
    echo "export DISPLAY=$DISPLAY"
    echo "export TEST_DESKTOP_STATE=$state"
    ;;
stop)
    state="${TEST_DESKTOP_STATE:-}"
    [ -f "$state" ] || { log "no state file (TEST_DESKTOP_STATE)"; exit 1; }
    mapfile -t PIDS < "$state"
    stop_all
    rm -rf "$(dirname "$state")"
    ;;
*) usage ;;
esac
