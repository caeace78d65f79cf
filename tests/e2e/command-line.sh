#!/usr/bin/env bash
# Whole-program test of the command line, with no X server (and the program without Qt Network,
# whose local socket the channel replaces): --help and --version print and end with
# status 0, an unknown option with status 2, --quit with no copy running ends at once; a data
# folder that cannot be made is one line, status 1, nothing touched; --add with no copy running
# stores into "rd.dt" itself (status 0 and the stored line) or refuses (status 2, one line on
# stderr, the file untouched). Then a copy on Qt's offscreen platform with --data-dir: it moves the
# earlier files from home into the default folder, takes --list, a plain second start and --add
# from other processes, and --quit returns once it has saved.
#
#   tests/e2e/command-line.sh TELLWICK
set -u
EXE=$(readlink -f "$1")
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-cl.XXXXXX")
PIDS=()
cleanup() {
    local p
    for p in "${PIDS[@]}"; do kill -KILL "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
    rm -rf "$WORK"
}
trap cleanup EXIT
FAILED=0
CASE_FAILED=0
fail() { printf 'FAIL %s: %s\n' "$CASE" "$*" >&2; FAILED=1; CASE_FAILED=1; }
report() { printf '%-4s %s\n' "$([ $CASE_FAILED = 0 ] && echo ok || echo FAIL)" "$CASE"; CASE_FAILED=0; }
records() { /usr/bin/python3 "$HERE/records.py" "$@"; }

# run CASE ARG...: the program with no display in a fresh home -> $RC, $D (its folder), out and err
run() {
    CASE=$1; shift
    D="$WORK/$CASE"
    mkdir -p "$D/home" "$D/runtime"; chmod 700 "$D/runtime"
    (cd "$D/home" && exec env -i PATH="$PATH" HOME="$D/home" XDG_RUNTIME_DIR="$D/runtime" ${QPA:+QT_QPA_PLATFORM=$QPA} \
        "$EXE" "$@") >"$D/out" 2>"$D/err"
    RC=$?
}
home_untouched() { [ -z "$(find "$D/home" -mindepth 1)" ] || fail "files written: $(find "$D/home" -mindepth 1)"; }

CASE=no_qt_network
ldd "$EXE" | grep -q 'libQt6Network' && fail "the program links Qt Network"
report

run version --version
[ "$RC" = 0 ] || fail "status $RC"
[ "$(cat "$D/out")" = "Tellwick $(sed -n 's/^project(Tellwick VERSION \([0-9.]*\).*/\1/p' "$HERE/../../CMakeLists.txt")" ] ||
    fail "stdout: $(cat "$D/out")"
[ ! -s "$D/err" ] || fail "stderr: $(cat "$D/err")"
home_untouched; report

run help --help
[ "$RC" = 0 ] || fail "status $RC"
head -n 1 "$D/out" | grep -q '^Usage: tellwick \[OPTION\]\.\.\.$' || fail "stdout: $(head -n 1 "$D/out")"
grep -q -- '--data-dir\[=DIR\]' "$D/out" || fail "--data-dir missing from --help"
[ ! -s "$D/err" ] || fail "stderr: $(cat "$D/err")"
home_untouched; report

run unknown --frobnicate
[ "$RC" = 2 ] || fail "status $RC"
[ "$(head -n 1 "$D/err")" = "tellwick: unknown option '--frobnicate'" ] || fail "stderr: $(cat "$D/err")"
grep -q '^Usage: tellwick' "$D/err" || fail "no usage on stderr"
[ ! -s "$D/out" ] || fail "stdout: $(cat "$D/out")"
home_untouched; report

run quit_alone --quit
[ "$RC" = 0 ] || fail "status $RC: $(cat "$D/err")"
[ ! -s "$D/err" ] || fail "stderr: $(cat "$D/err")"
home_untouched; report

# --add with no copy running and no display: "rd.dt" in the working directory or --data-dir.
# status|stored records (0: the file as it was)|the line (stdout for 0, stderr otherwise)|arguments
while IFS='|' read -r want stored line args; do
    eval "set -- $args"
    CASE="add_alone: $(printf '%.50s' "$*")"
    D="$WORK/add$RANDOM"; mkdir -p "$D/home" "$D/runtime"; chmod 700 "$D/runtime"
    records "$D/home/rd.dt" "1 73051 0.5 kept at home"
    touch -d '2001-01-01' "$D/home/rd.dt"
    before=$(cd "$D/home" && find . -printf '%p %s %T@\n' | sort; md5sum rd.dt)
    (cd "$D/home" && exec env -i PATH="$PATH" HOME="$D/home" XDG_RUNTIME_DIR="$D/runtime" "$EXE" "$@") \
        >"$D/out" 2>"$D/err"
    RC=$?
    [ "$RC" = "$want" ] || fail "status $RC: $(cat "$D/err")"
    if [ "$want" = 0 ]; then said=$(cat "$D/out"); quiet=$D/err; else said=$(cat "$D/err"); quiet=$D/out; fi
    [[ "$said" =~ ^$line$ ]] || fail "said: $said"
    [ ! -s "$quiet" ] || fail "also said: $(cat "$quiet")"
    file="$D/home/rd.dt"; case "$*" in *--data-dir=*) file="$D/home/sub/dir/rd.dt" ;; esac
    if [ "$stored" = 0 ]; then
        [ "$(cd "$D/home" && find . -printf '%p %s %T@\n' | sort; md5sum rd.dt)" = "$before" ] || fail "files touched"
    else
        [ "$(stat -c %s "$file")" = $((stored * 288)) ] || fail "$file: $(stat -c %s "$file" 2>&1) bytes"
        grep -q "call the garage" "$file" || fail "the note is not in $file"
    fi
    [ ! -e "$D/home/re.dt" ] || fail "re.dt written"
    report
done <<'ROWS'
0|2|[0-9]{2}/[A-Za-z]{3}/[0-9]{2} 09:00 Once call the garage|--add 'tomorrow 9am call the garage'
0|1|[0-9]{2}/[A-Za-z]{3}/[0-9]{2} [0-9]{2}:[0-9]{2} Once call the garage|--data-dir=sub/dir --add 'in 2 h call the garage'
2|0|tellwick: No time of day|--add 'tomorrow call the garage'
2|0|tellwick: No such date: "31 feb"|--add '31 feb 9am call the garage'
2|0|tellwick: Note: control character U\+001B|--add "$(printf 'in 2 h \033[2Jcall the garage')"
2|0|tellwick: Time not understood: "9{40}\.\.\."|--add "$(head -c 4096 /dev/zero | tr '\0' 9)"
ROWS

# A file where a folder should be: the program gets as far as the data folder (an explicit platform
# passes the desktop check) and stops there.
QPA=offscreen
CASE=unmakeable
mkdir -p "$WORK/$CASE/home"; : >"$WORK/$CASE/home/file"
records "$WORK/$CASE/home/rd.dt" "100 73051 0.5 kept at home"
before=$(cd "$WORK/$CASE/home" && find . -printf '%p %s %T@\n' | sort)
run unmakeable --data-dir="$WORK/$CASE/home/file/tellwick"
[ "$RC" = 1 ] || fail "status $RC"
[ "$(wc -l <"$D/err")" = 1 ] || fail "stderr is not one line: $(cat "$D/err")"
grep -q "cannot make the data folder .*is not a folder" "$D/err" || fail "stderr: $(cat "$D/err")"
[ "$(cd "$D/home" && find . -printf '%p %s %T@\n' | sort)" = "$before" ] || fail "files touched"
report

# The whole way: earlier files at home move into the default data folder; commands from other
# processes reach the running copy; --quit returns after its save.
CASE=running_copy
D="$WORK/$CASE"; mkdir -p "$D/home" "$D/runtime"; chmod 700 "$D/runtime"
records "$D/home/rd.dt" "100 73051 0.5 moved along" "1 73052 0.25 and another"
records "$D/home/re.dt" "10 40000 0.5 expired long ago"
printf 'Date,Start time,Title,Time,Seconds\r\n' >"$D/home/activity.csv"
cp "$D/home/rd.dt" "$D/rd.expected"; cp "$D/home/re.dt" "$D/re.expected"
envs=(env -i PATH="$PATH" HOME="$D/home" XDG_RUNTIME_DIR="$D/runtime" QT_QPA_PLATFORM=offscreen)
(cd / && exec "${envs[@]}" "$EXE" --data-dir) >"$D/first.out" 2>"$D/first.err" &
first=$!; PIDS+=("$first")
data="$D/home/.local/share/tellwick"
# Once the first copy holds the lock it listens, and answers when its windows are built: the second
# process waits meanwhile. (Started at the same moment, either of the two could be the one that runs.)
for _ in $(seq 200); do ls "$D/runtime" | grep -q '\.sock$' && break; sleep 0.05; done
t0=$(date +%s%N)
(cd / && exec "${envs[@]}" "$EXE" --list) >"$D/list.out" 2>"$D/list.err"; rc=$?
[ "$rc" = 0 ] || fail "--list: status $rc: $(cat "$D/list.err")"
echo "--list handed over in $(( ($(date +%s%N) - t0) / 1000000 )) ms (the first copy starting)"
for f in rd.dt re.dt activity.csv; do
    [ -e "$data/$f" ] || fail "$f not moved into the data folder"
    [ ! -e "$D/home/$f" ] || fail "$f still at home"
done
cmp -s "$data/rd.dt" "$D/rd.expected" || fail "rd.dt changed on its way"
(cd / && exec "${envs[@]}" "$EXE") >"$D/second.out" 2>"$D/second.err"; rc=$?
[ "$rc" = 0 ] || fail "second start: status $rc"
kill -0 "$first" 2>/dev/null || fail "the first copy ended: $(cat "$D/first.err")"
# --add through the running copy: it stores and saves "rd.dt", or refuses and leaves it; this
# process prints the running copy's line and ends with its status.
# status|records in rd.dt afterwards|the line|the text
while IFS='|' read -r want stored line text; do
    eval "text=$text"
    (cd / && exec "${envs[@]}" "$EXE" --add "$text") >"$D/add.out" 2>"$D/add.err"; rc=$?
    [ "$rc" = "$want" ] || fail "--add $text: status $rc: $(cat "$D/add.err")"
    if [ "$want" = 0 ]; then said=$(cat "$D/add.out"); quiet=$D/add.err; else said=$(cat "$D/add.err"); quiet=$D/add.out; fi
    [[ "$said" =~ ^$line$ ]] || fail "--add $text: said: $said"
    [ ! -s "$quiet" ] || fail "--add $text: also said: $(cat "$quiet")"
    [ "$(stat -c %s "$data/rd.dt")" = $((stored * 288)) ] || fail "--add $text: rd.dt has $(stat -c %s "$data/rd.dt") bytes"
done <<'ROWS'
0|3|[0-9]{2}/[A-Za-z]{3}/[0-9]{2} [0-9]{2}:[0-9]{2} Once tea|'in 20 min tea'
2|3|tellwick: No note|'tomorrow 9am'
2|3|tellwick: Note: control character U\+0001|"$(printf 'in 2 h \001tea')"
ROWS
grep -q "tea" "$data/rd.dt" || fail "the reminder of --add is not in rd.dt"
kill -0 "$first" 2>/dev/null || fail "the first copy ended after --add: $(cat "$D/first.err")"
cp "$data/rd.dt" "$D/rd.expected"
touch -d '2001-01-01' "$data/rd.dt" "$data/re.dt"
t0=$(date +%s%N)
(cd / && exec "${envs[@]}" "$EXE" --quit) >"$D/quit.out" 2>"$D/quit.err"; rc=$?
echo "--quit answered in $(( ($(date +%s%N) - t0) / 1000000 )) ms"
[ "$rc" = 0 ] || fail "--quit: status $rc: $(cat "$D/quit.err")"
# Saved before --quit returned, not afterwards.
[ "$(stat -c %Y "$data/rd.dt")" -gt 978307200 ] && [ "$(stat -c %Y "$data/re.dt")" -gt 978307200 ] ||
    fail "--quit returned before both files were saved"
cmp -s "$data/rd.dt" "$D/rd.expected" || fail "rd.dt not byte-exact after --quit"
cmp -s "$data/re.dt" "$D/re.expected" || fail "re.dt not byte-exact after --quit"
for _ in $(seq 100); do kill -0 "$first" 2>/dev/null || break; sleep 0.05; done
kill -0 "$first" 2>/dev/null && fail "the first copy still runs after --quit"
kill -KILL "$first" 2>/dev/null; wait "$first"; rc=$?
[ "$rc" = 0 ] || fail "the first copy ended with status $rc"
grep -q "^tellwick:" "$D/first.err" && fail "the first copy said: $(cat "$D/first.err")"
(cd / && exec "${envs[@]}" "$EXE" --quit) >/dev/null 2>&1 || fail "--quit with no copy left: status $?"
ls "$D/runtime" | grep -q '\.sock$' && fail "the socket stayed behind"
report
exit $FAILED
