#!/usr/bin/env bash
# A headless Wayland desktop for the tests that need one: Debian's sway on wlroots' headless back
# end with the pixman renderer and no input devices.
#
#   scripts/test-wayland.sh run -- COMMAND [ARGS...]
#       starts a fresh compositor, runs COMMAND with WAYLAND_DISPLAY (the socket's full path) and
#       SWAYSOCK set, without DISPLAY and without a session bus, stops every process it started
#       (also when COMMAND fails or the script is interrupted) and exits with COMMAND's status.
#       Exits 0 with a message, running nothing, where sway is not installed.
#   eval "$(scripts/test-wayland.sh start)"  /  scripts/test-wayland.sh stop
#       the same compositor for interactive use (screenshots with grim); state in $TEST_WAYLAND_STATE.
#
# sway refuses to run as root: as root it runs as the unprivileged user "nobody" with a runtime
# folder of its own, which root's clients reach through the socket's full path. Readiness is
# polled (the sockets appear, then swaymsg answers); sway runs under timeout(1) so that nothing
# outlives a forgotten stop.
set -u

WAIT_S="${TEST_WAYLAND_TIMEOUT:-20}"
MAX_S="${TEST_WAYLAND_MAX_SECONDS:-3600}"
RESOLUTION="${TEST_WAYLAND_RESOLUTION:-1280x800}"

log() { printf 'test-wayland: %s\n' "$*" >&2; }
alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

PIDS=()
STATE_DIR=""

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

# start_sway: sets WAYLAND_DISPLAY, SWAYSOCK, PIDS and STATE_DIR
start_sway() {
    STATE_DIR=$(mktemp -d "${TMPDIR:-/tmp}/test-wayland.XXXXXX")
    chmod 755 "$STATE_DIR"
    local runtime="$STATE_DIR/runtime" config="$STATE_DIR/config" as_user=()
    mkdir -m 700 "$runtime"
    printf 'output HEADLESS-1 resolution %s\nseat seat0 fallback true\n' "$RESOLUTION" > "$config"
    if [ "$(id -u)" = 0 ]; then
        chown nobody:nogroup "$runtime"
        chmod 644 "$config"
        as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    env -i PATH="$PATH" HOME="$STATE_DIR" XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless \
        WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        timeout -k 5 "$MAX_S" "${as_user[@]}" sway -c "$config" \
        </dev/null >"$STATE_DIR/sway.log" 2>&1 &
    PIDS+=($!)
    local deadline=$(( $(date +%s) + WAIT_S )) socket="" ipc=""
    while :; do
        socket=$(find "$runtime" -maxdepth 1 -type s -name 'wayland-*' 2>/dev/null | head -n 1)
        ipc=$(find "$runtime" -maxdepth 1 -type s -name 'sway-ipc.*.sock' 2>/dev/null | head -n 1)
        if [ -n "$socket" ] && [ -n "$ipc" ] && SWAYSOCK="$ipc" swaymsg -t get_version >/dev/null 2>&1; then
            break
        fi
        alive "${PIDS[0]}" || { log "sway died while starting"; cat "$STATE_DIR/sway.log" >&2; return 1; }
        [ "$(date +%s)" -ge "$deadline" ] && { log "sway not ready after ${WAIT_S}s"; return 1; }
        sleep 0.05
    done
    export WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc"
    log "ready on $WAYLAND_DISPLAY"
}

usage() { echo "usage: $0 run -- COMMAND... | start | stop" >&2; exit 2; }

case "${1:-}" in
run)
    shift
    [ "${1:-}" = -- ] && shift
    [ $# -gt 0 ] || usage
    if ! command -v sway >/dev/null || ! command -v swaymsg >/dev/null; then
        log "sway is not installed: the Wayland tests are skipped"
        exit 0
    fi
    trap 'stop_all; [ -n "$STATE_DIR" ] && rm -rf "$STATE_DIR"' EXIT
    trap 'exit 130' INT TERM HUP
    start_sway || exit 1
    env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u QT_QPA_PLATFORM "$@"
    exit $?
    ;;
start)
    start_sway || { stop_all; exit 1; }
    printf '%s\n' "${PIDS[@]}" > "$STATE_DIR/pids"
    echo "export WAYLAND_DISPLAY=$WAYLAND_DISPLAY"
    echo "export SWAYSOCK=$SWAYSOCK"
    echo "export TEST_WAYLAND_STATE=$STATE_DIR"
    ;;
stop)
    [ -f "${TEST_WAYLAND_STATE:-}/pids" ] || { log "no state (TEST_WAYLAND_STATE)"; exit 1; }
    mapfile -t PIDS < "$TEST_WAYLAND_STATE/pids"
    stop_all
    rm -rf "$TEST_WAYLAND_STATE"
    ;;
*) usage ;;
esac
