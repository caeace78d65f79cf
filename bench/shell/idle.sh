#!/usr/bin/env bash
# Runs on the desktop in $DISPLAY (see run.sh):
#   idle.sh TELLWICK STARTS IDLE_SECONDS        defaults: 5 starts, 300 s
# 1. STARTS times: the time from starting the program until its tray icon sits in the panel.
# 2. One copy left idle with one reminder pending: VmRSS, Pss and its threads after 15 s, then over
#    IDLE_SECONDS the CPU time and the context switches (voluntary and involuntary, all threads)
#    from /proc, as wake-ups per second.
set -eu
exe=$(readlink -f "$1")
starts=${2:-5}
idle=${3:-300}
work=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-bench.XXXXXX")
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
pid=""
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

now_ns() { date +%s%N; }

# The program's tray icon window lies inside trayer's panel.
docked() {
    local w px py pw ph x y ww wh
    read -r px py pw ph <<<"$(xwininfo -name panel 2>/dev/null | awk '/Absolute upper-left X/{x=$4}
        /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')"
    for w in $(xdotool search --all --pid "$1" --onlyvisible 2>/dev/null); do
        read -r x y ww wh <<<"$(xwininfo -id "$w" 2>/dev/null | awk '/Absolute upper-left X/{x=$4}
            /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')"
        [ -n "${wh:-}" ] && [ "$x" -ge "$px" ] && [ "$y" -ge "$py" ] && [ $((x + ww)) -le $((px + pw)) ] &&
            [ $((y + wh)) -le $((py + ph)) ] && return 0
    done
    return 1
}

# Sum over the process's threads of a /proc status field.
threads_sum() {
    local total=0 f v
    for f in /proc/"$pid"/task/*/status; do
        v=$(awk -v k="$1:" '$1 == k {print $2}' "$f" 2>/dev/null || echo 0)
        total=$((total + ${v:-0}))
    done
    echo "$total"
}
# CPU time of all threads in nanoseconds (the first field of schedstat; /proc/PID/stat counts
# only in 10 ms ticks, too coarse for a minute of idling).
cpu_ns() { cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{t += $1} END {printf "%d\n", t}'; }

# One reminder pending, late in the century: the monitor has nothing to do until then.
/usr/bin/python3 - "$work" <<'PYEOF'
import struct, sys
recs = b""
for i in range(1):
    note = ("reminder %d" % i).encode()
    recs += struct.pack("<BBxxiB7xdd", 0, 0, 100, 0, 73050.0 - i, 0.5) + bytes([len(note)]) + note + bytes(255 - len(note))
open(sys.argv[1] + "/rd.dt", "wb").write(recs)
open(sys.argv[1] + "/re.dt", "wb").write(b"")
PYEOF
cd "$work"

echo "start to docked tray icon (ms), $starts starts:"
times=()
for i in $(seq "$starts"); do
    t0=$(now_ns)
    "$exe" >"$work/log" 2>&1 &
    pid=$!
    until docked "$pid"; do
        kill -0 "$pid" 2>/dev/null || { echo "the program ended: $(cat "$work/log")" >&2; exit 1; }
        [ $(( ($(now_ns) - t0) / 1000000 )) -gt 10000 ] && { echo "not docked after 10 s" >&2; exit 1; }
    done
    t=$(( ($(now_ns) - t0) / 1000000 ))
    times+=("$t")
    echo "  run $i: $t"
    if [ "$i" -lt "$starts" ]; then
        kill -KILL "$pid"; wait "$pid" 2>/dev/null || true; pid=""
        # the panel lets the old icon go before the next start
        sleep 0.5
    fi
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END{print a[int((NR+1)/2)]}')
echo "  median: $median ms (target: under 100 ms)"

sleep 15
mb() { awk -v k="$1" '{print k / 1024}' <<<x | xargs printf '%.1f MB'; }
memory() { # VmRSS, Pss and Pss's parts of process $1
    local rss pss anon file
    rss=$(awk '/^VmRSS:/{print $2}' "/proc/$1/status")
    pss=$(awk '/^Pss:/{print $2}' "/proc/$1/smaps_rollup")
    anon=$(awk '/^Pss_Anon:/{print $2}' "/proc/$1/smaps_rollup")
    file=$(awk '/^Pss_File:/{print $2}' "/proc/$1/smaps_rollup")
    echo "VmRSS $(mb "$rss"), Pss $(mb "$pss") (anonymous $(mb "$anon"), files $(mb "$file"))"
}
echo "after 15 s idle: $(memory "$pid") (target: Pss at most 23 MB)"
echo "  threads: $(for t in /proc/"$pid"/task/*; do cat "$t/comm"; done | tr '\n' ' ')"

# Context switches of each thread, "name count" per line.
per_thread() {
    local t
    for t in /proc/"$pid"/task/*; do
        echo "$(cat "$t/comm" | tr ' ' _) $(awk '/ctxt_switches/ {s += $2} END {print s}' "$t/status")"
    done
}
p0=$(per_thread)
c0=$(cpu_ns)
v0=$(threads_sum voluntary_ctxt_switches)
n0=$(threads_sum nonvoluntary_ctxt_switches)
t0=$(now_ns)
sleep "$idle"
c1=$(cpu_ns)
v1=$(threads_sum voluntary_ctxt_switches)
n1=$(threads_sum nonvoluntary_ctxt_switches)
t1=$(now_ns)
awk -v c="$((c1 - c0))" -v v="$((v1 - v0))" -v n="$((n1 - n0))" -v ns="$((t1 - t0))" 'BEGIN {
    s = ns / 1e9
    printf "over %.1f s idle: CPU time %.1f ms = %.4f%% (target: under 0.05%%)\n", s, c / 1e6, 100 * c / 1e9 / s
    printf "  wake-ups: %d voluntary + %d involuntary = %.3f per second (target: at most 0.02)\n", v, n, (v + n) / s
}'
echo "  by thread: $(paste -d' ' <(echo "$p0") <(per_thread) | awk '{printf "%s %d; ", $1, $4 - $2}')"

# Pss divides each shared page among the processes that map it: alone on this desktop the program
# carries every page of Qt it touched. With one more Qt program running (here a copy of this one
# from another path, which is a separate instance) the same memory reads:
mkdir "$work/other"
cp "$exe" "$work/other/tellwick"
(cd "$work/other" && exec ./tellwick) >/dev/null 2>&1 &
other=$!
until docked "$other"; do sleep 0.05; done
sleep 5
echo "with another Qt program running: $(memory "$pid")"
kill -KILL "$other"
wait "$other" 2>/dev/null || true
