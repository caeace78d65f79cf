#!/usr/bin/env bash
# Tests of the Windows installer under Wine: tellwick-<version>-setup.exe installed silently into
# the ready, fresh prefix in $WINEPREFIX, on the X server in $DISPLAY (no X tray, so that Wine shows
# its own tray window while the program runs). The cases build on each other, in this order: a
# fresh install, the program started from the Run value, an install over a running copy (one that
# ends and one that cannot), an uninstall while it runs, and an install and uninstall with nothing
# running.
#
#   tests/win32/installer_wine.sh SETUP.EXE ZIP_FOLDER [CASE...]      (no CASE: all of them)
#
# ZIP_FOLDER is the zip's unpacked program folder, which the install must reproduce file for file.
set -u

SETUP=$(readlink -f "$1")
ZIPDIR=$(readlink -f "$2")
shift 2
HERE=$(cd "$(dirname "$0")" && pwd)
ICO="$HERE/../../resources/icons/tellwick.ico"
VERSION=$(basename "$SETUP" | sed -n 's/^tellwick-\(.*\)-setup\.exe$/\1/p')
records() { /usr/bin/python3 "$HERE/../e2e/records.py" "$@"; }
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-installer.XXXXXX")
# The program must find everything it needs in its own folder; Wine must not write menu entries
# for the shortcut into the desktop of the user running the tests.
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
PIDS=()
FAILED=0
CASE=""

# shellcheck source=../e2e/drive.sh
. "$HERE/../e2e/drive.sh"
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tellwick'
unix_path() { winepath -u "$1" 2>/dev/null; }
win_env() { wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r'; }
LOCALAPPDATA_W=$(win_env LOCALAPPDATA)
INST_W="$LOCALAPPDATA_W\\Programs\\Tellwick"
INST=$(unix_path "$INST_W")
DATA=$(unix_path "$(win_env APPDATA)\\Tellwick")
LINK=$(unix_path "$(win_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Tellwick.lnk")
START_COMMAND="\"$INST_W\\tellwick.exe\" --data-dir"

# reg_value KEY NAME: the value's data as "reg query" prints it ("" when there is none).
reg_value() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 \{2,\}REG_[A-Z_]* \{2,\}//p"
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }

wine_tray() { xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | grep -q .; }
no_wine_tray() { ! wine_tray; }

# setup ARGS...: runs the installer, prints how long it took; its status is the installer's.
setup() {
    local t0 rc
    t0=$(date +%s%N)
    wine "$SETUP" "$@" >"$WORK/setup.log" 2>&1
    rc=$?
    echo "setup.exe $*: status $rc, $(( ($(date +%s%N) - t0) / 1000000 )) ms"
    return $rc
}

# The uninstaller copies itself to a temporary folder and ends; that copy does the work. Done when
# the Apps & features entry, the last thing it removes, is gone.
uninstall() {
    local t0 rc
    t0=$(date +%s%N)
    wine "$INST/uninstall.exe" /S >"$WORK/uninstall.log" 2>&1
    rc=$?
    [ "$rc" = 0 ] || fail "uninstall.exe /S: status $rc"
    within 60 eval '! reg_key_exists "$UNINSTALL_KEY" && [ ! -e "$INST/uninstall.exe" ]' ||
        fail "the uninstaller did not finish in 60 s"
    echo "uninstall.exe /S: $(( ($(date +%s%N) - t0) / 1000000 )) ms until everything was removed"
}

# start_at_sign_in: the Run value's command line, as Windows runs it at sign-in (the working
# directory is not the program's folder) -> $PID.
start_at_sign_in() {
    local cmd exe cwd
    cmd=$(reg_value "$RUN_KEY" Tellwick)
    [ "$cmd" = "$START_COMMAND" ] || fail "the Run value is '$cmd'"
    exe=$(unix_path "$(sed -n 's/^"\([^"]*\)".*/\1/p' <<<"$cmd")")
    cwd=$(mktemp -d "$WORK/cwd.XXXXXX")
    # shellcheck disable=SC2046 # the arguments after the quoted path, split as Windows splits them
    (cd "$cwd" && exec wine "$exe" $(sed 's/^"[^"]*" *//' <<<"$cmd")) >"$cwd.log" 2>&1 &
    PID=$!
    PIDS+=("$PID")
    CWD=$cwd
    within 30 wine_tray || fail "the program started from the Run value shows no icon"
}

quit_program() {
    wine "$INST/tellwick.exe" --quit >/dev/null 2>&1 || fail "tellwick.exe --quit failed"
    within 20 no_wine_tray || fail "--quit did not end the running copy"
}

# Everything the installer made is gone except the reminders; $1: what is left of the program
# folder, as "find ." lists it there ("" when the folder is to be gone).
check_removed() {
    local left
    left=$([ -e "$INST" ] && cd "$INST" && find . | sort | paste -sd ' ')
    [ "$left" = "$1" ] || fail "the program folder holds '$left', not '$1'"
    [ ! -e "$LINK" ] || fail "the Start menu shortcut is left"
    [ -z "$(reg_value "$RUN_KEY" Tellwick)" ] || fail "the Run value is left"
    ! reg_key_exists "$UNINSTALL_KEY" || fail "the Apps & features entry is left"
    [ -d "$DATA" ] || fail "the data folder was removed"
}

# A PE file's bytes with its header's TimeDateStamp and CheckSum zeroed, as a hash.
stamp_free() {
    python3 - "$1" <<'PYEOF'
import hashlib, struct, sys
b = bytearray(open(sys.argv[1], "rb").read())
pe = struct.unpack_from("<I", b, 0x3C)[0] if len(b) > 0x40 else 0
if b[:2] == b"MZ" and b[pe:pe + 4] == b"PE\0\0":
    b[pe + 8:pe + 12] = bytes(4)      # COFF TimeDateStamp
    b[pe + 24 + 64:pe + 24 + 68] = bytes(4)  # optional header CheckSum
print(hashlib.sha256(b).hexdigest())
PYEOF
}

# --- cases --------------------------------------------------------------------------------------

# A silent install into a fresh prefix: status 0; the program folder is the zip's folder plus the
# uninstaller; the shortcut, the Run value and the Apps & features entry; the program's icon and
# version in setup.exe and the uninstaller; nothing started.
case_install() {
    setup /S || fail "setup.exe /S did not end with status 0"
    # strip stamps the time into each PE header (TimeDateStamp, and so CheckSum): the zip and the
    # installer are stripped in two runs, so those two fields may differ and nothing else may.
    local a b
    diff -rq "$ZIPDIR" "$INST" | grep -v '^Only in .*: uninstall\.exe$' | while read -r line; do
        if [[ $line =~ ^Files\ (.*)\ and\ (.*)\ differ$ ]]; then
            a=${BASH_REMATCH[1]} b=${BASH_REMATCH[2]}
            [ "$(stamp_free "$a")" = "$(stamp_free "$b")" ] && continue
        fi
        echo "$line"
    done | grep . && fail "the program folder differs from the zip's"
    [ -f "$INST/uninstall.exe" ] || fail "no uninstaller"
    /usr/bin/python3 - "$LINK" <<'EOF' || fail "the Start menu shortcut does not run tellwick.exe --data-dir"
import sys
lnk = open(sys.argv[1], "rb").read().lower()
target = "programs\\tellwick\\tellwick.exe"
sys.exit(0 if any(target.encode(c) in lnk for c in ("ascii", "utf-16-le")) and "--data-dir".encode("utf-16-le") in lnk else 1)
EOF
    local expected name value
    [ "$(reg_value "$RUN_KEY" Tellwick)" = "$START_COMMAND" ] || fail "the Run value is '$(reg_value "$RUN_KEY" Tellwick)'"
    while IFS='|' read -r name expected; do
        value=$(reg_value "$UNINSTALL_KEY" "$name")
        [ "$value" = "$expected" ] || fail "Uninstall value $name is '$value', not '$expected'"
    done <<EOF
DisplayName|Tellwick
DisplayVersion|$VERSION
Publisher|The Tellwick developers
DisplayIcon|$INST_W\\tellwick.exe,0
UninstallString|"$INST_W\\uninstall.exe"
QuietUninstallString|"$INST_W\\uninstall.exe" /S
NoModify|0x1
NoRepair|0x1
EOF
    # EstimatedSize in KiB, as the folder is.
    value=$(( $(reg_value "$UNINSTALL_KEY" EstimatedSize) ))
    [ $(( value - $(du -sk --apparent-size "$INST" | cut -f1) )) -le 64 ] || fail "EstimatedSize $value KiB is not the folder's"
    local exe
    for exe in "$SETUP" "$INST/uninstall.exe"; do
        /usr/bin/python3 - "$ICO" "$exe" <<'EOF' || fail "$(basename "$exe") does not carry the program's icon"
import struct, sys
ico, exe = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
count = struct.unpack_from("<H", ico, 4)[0]
images = [struct.unpack_from("<II", ico, 6 + 16 * i + 8) for i in range(count)]
sys.exit(0 if count and all(ico[off:off + size] in exe for size, off in images) else 1)
EOF
        x86_64-w64-mingw32-windres -J coff -O rc -i "$exe" >"$WORK/rc" 2>/dev/null
        grep -q "VALUE \"ProductName\", \"Tellwick\"" "$WORK/rc" &&
            grep -q "VALUE \"ProductVersion\", \"$VERSION\"" "$WORK/rc" ||
            fail "$(basename "$exe") does not carry the version information"
    done
    sleep 1
    no_wine_tray || fail "a silent install started the program"
}

# Started from the Run value's command line in another working directory, the program keeps its
# files in %APPDATA%\Tellwick (made for it) and writes nothing where it was started.
case_run_value() {
    rm -rf "$DATA"
    start_at_sign_in
    within 10 test -d "$DATA" || fail "%APPDATA%\\Tellwick was not made"
    quit_program
    within 10 dead "$PID" || fail "the program did not end"
    [ -f "$DATA/rd.dt" ] && [ -f "$DATA/re.dt" ] || fail "no reminder files in %APPDATA%\\Tellwick: $(ls "$DATA" 2>&1)"
    [ -z "$(ls "$CWD")" ] || fail "files written in the working directory: $(ls "$CWD")"
}

# Installing again while the program runs: the running copy is ended with --quit (so it saves: the
# files' times move on, their bytes stay), the files are replaced, and the program runs again.
case_reinstall_running() {
    mkdir -p "$DATA"
    records "$DATA/rd.dt" "100 73051 0.5 kept through the upgrade 0 2 1"
    records "$DATA/re.dt" "10 40000 0.25 an old one"
    cp "$DATA/rd.dt" "$WORK/rd.expected"; cp "$DATA/re.dt" "$WORK/re.expected"
    touch -d '2001-01-01' "$DATA/rd.dt" "$DATA/re.dt"
    start_at_sign_in
    local old=$PID
    setup /S || fail "setup.exe /S over the running program did not end with status 0"
    dead "$old" || fail "the running copy was not ended"
    [ "$(stat -c %Y "$DATA/rd.dt")" -gt 978307200 ] && [ "$(stat -c %Y "$DATA/re.dt")" -gt 978307200 ] ||
        fail "the running copy did not save before it ended"
    cmp -s "$DATA/rd.dt" "$WORK/rd.expected" && cmp -s "$DATA/re.dt" "$WORK/re.expected" ||
        fail "a reminder was lost"
    within 30 wine_tray || fail "the program was not started again"
    quit_program
    cmp -s "$DATA/rd.dt" "$WORK/rd.expected" || fail "a reminder was lost after the new start"
}

# A running copy that cannot save ("re.dt" became a folder) stays running after --quit, showing
# its error: the installer waits for it, then fails and changes nothing.
case_reinstall_refused() {
    mkdir -p "$DATA"
    records "$DATA/re.dt" "10 40000 0.25 an old one"
    cp "$DATA/re.dt" "$WORK/re.refused"
    start_at_sign_in
    rm -f "$DATA/re.dt"
    mkdir "$DATA/re.dt"
    touch -d '2001-01-01' "$INST/tellwick.exe"
    setup /S && fail "setup.exe /S ended with status 0 while the program kept running"
    alive "$PID" || fail "the program that could not save was ended"
    [ "$(stat -c %Y "$INST/tellwick.exe")" = 978307200 ] || fail "files were replaced under the running program"
    kill_hard "$PID"
    rmdir "$DATA/re.dt"
    cp "$WORK/re.refused" "$DATA/re.dt"
}

# The uninstaller ends a running copy the same way and removes all it installed; reminder files
# that a start without --data-dir left in the program folder stay, and so does that folder.
case_uninstall_running() {
    mkdir -p "$DATA"
    records "$DATA/rd.dt" "100 73051 0.5 kept after the uninstall"
    cp "$DATA/rd.dt" "$WORK/rd.before"
    start_at_sign_in
    records "$INST/rd.dt" "100 73051 0.5 in the program folder"
    uninstall
    within 10 dead "$PID" || fail "the uninstaller did not end the running copy"
    check_removed ". ./rd.dt"
    cmp -s "$DATA/rd.dt" "$WORK/rd.before" || fail "the uninstaller changed the reminders"
    rm -rf "$INST"
}

# A silent install, an upgrade and an uninstall with nothing running: nothing is left but the data
# folder.
case_uninstall() {
    mkdir -p "$DATA"
    records "$DATA/rd.dt" "100 73051 0.5 stays"
    cp "$DATA/rd.dt" "$WORK/rd.kept"
    setup /S || fail "setup.exe /S did not end with status 0"
    reg_key_exists "$UNINSTALL_KEY" || fail "the install wrote no Apps & features entry"
    # A user who turned the start at sign-in off keeps it off through an upgrade.
    wine reg delete "$RUN_KEY" /v Tellwick /f >/dev/null 2>&1
    setup /S || fail "setup.exe /S over an install did not end with status 0"
    [ -z "$(reg_value "$RUN_KEY" Tellwick)" ] || fail "an upgrade turned the start at sign-in back on"
    uninstall
    check_removed ""
    cmp -s "$DATA/rd.dt" "$WORK/rd.kept" || fail "the uninstaller changed the reminders"
}

ALL=(install run_value reinstall_running reinstall_refused uninstall_running uninstall)
[ $# -gt 0 ] && ALL=("$@")
echo "setup.exe: $(basename "$SETUP"), $(( $(stat -c %s "$SETUP") / 1024 )) KiB"
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
