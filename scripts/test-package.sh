#!/usr/bin/env bash
# Tries the Debian package as a user gets it: installs it with apt into a fresh minimal Debian 12
# root, starts /usr/bin/tellwick there on the private test desktop from an empty home, checks that
# its tray icon docks and that "E&xit" with Yes writes "rd.dt" and "re.dt", then purges the
# package and checks that nothing of it is left.
#
#   scripts/test-package.sh [PACKAGE.deb]     (default: build-package/tellwick_*_amd64.deb,
#                                              built first with scripts/package.sh if missing)
#
# The minimal root (debootstrap --variant=minbase bookworm) and the downloaded packages are cached
# in $TELLWICK_ROOT_CACHE (default /var/cache/tellwick/debian-root), outside the source tree; each
# run works on a fresh copy of the cached root. Needs root (chroot, mounts).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
CACHE=${TELLWICK_ROOT_CACHE:-/var/cache/tellwick/debian-root}
SUITE=bookworm

log() { printf 'test-package: %s\n' "$*" >&2; }
[ "$(id -u)" -eq 0 ] || { log "run as root (chroot and mounts)"; exit 2; }
"$top/scripts/ensure-packages.sh" package test

# The Debian mirror this machine's apt uses (deb822 or one-line sources), else deb.debian.org.
mirror() {
    local m
    m=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        awk '$1 == "deb" && $3 ~ /^bookworm$/ { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }')
    if [ -z "$m" ]; then
        m=$(awk 'BEGIN { RS = ""; } /Suites:[^\n]*bookworm( |\n|$)/ && /Types:[^\n]*deb( |\n|$)/ {
                if (match($0, /URIs: *[^ \n]+/)) { u = substr($0, RSTART, RLENGTH); sub(/URIs: */, "", u); print u; exit } }' \
            /etc/apt/sources.list.d/*.sources 2>/dev/null)
    fi
    echo "${m:-http://deb.debian.org/debian}"
}

# The cached pristine root: made once, never changed afterwards.
if [ ! -f "$CACHE/root.complete" ]; then
    MIRROR=$(mirror)
    log "making the minimal $SUITE root in $CACHE/root from $MIRROR (once)"
    mkdir -p "$CACHE"
    rm -rf "$CACHE/root.new"
    debootstrap --variant=minbase "$SUITE" "$CACHE/root.new" "$MIRROR" >"$CACHE/debootstrap.log" 2>&1 ||
        { tail -20 "$CACHE/debootstrap.log" >&2; exit 1; }
    rm -rf "$CACHE/root"
    mv "$CACHE/root.new" "$CACHE/root"
    touch "$CACHE/root.complete"
fi
[ "${1:-}" = --prepare-only ] && exit 0

# --- on the private desktop: the installed program from an empty home ---------------------------
# Called by this script itself through scripts/test-desktop.sh (DISPLAY set): on-desktop ROOT
if [ "${1:-}" = --on-desktop ]; then
    set +e # every step is checked here
    root=$2
    home=/home/tester
    within() { # within SECONDS COMMAND...: polls every 50 ms
        local end=$(( $(date +%s%N) + $1 * 1000000000 )); shift
        until "$@" >/dev/null 2>&1; do [ "$(date +%s%N)" -ge "$end" ] && return 1; sleep 0.05; done
    }
    geometry() { xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} /Override Redirect State:/{o=$4} END{print x, y, w, h, o}'; }
    windows_of() { xdotool search --all --pid "$1" --onlyvisible 2>/dev/null; }
    docked() { # a window of process $1 lies inside trayer's panel
        local px py pw ph w x y ww wh o
        read -r px py pw ph _ <<<"$(geometry "$(xdotool search --name '^panel$' 2>/dev/null | head -n1)")"
        [ -n "${ph:-}" ] || return 1
        for w in $(windows_of "$1"); do
            read -r x y ww wh o <<<"$(geometry "$w")"
            [ "$x" -ge "$px" ] && [ "$y" -ge "$py" ] && [ $((x + ww)) -le $((px + pw)) ] &&
                [ $((y + wh)) -le $((py + ph)) ] && return 0
        done
        return 1
    }
    menu_open() { local w; for w in $(windows_of "$1"); do read -r _ _ _ h o <<<"$(geometry "$w")"
        [ "$o" = yes ] && [ "$h" -gt 100 ] && return 0; done; return 1; }
    confirm_box() { local w; for w in $(windows_of "$1"); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = Confirm ] && { echo "$w"; return 0; }; done; return 1; }
    gone() { ! kill -0 "$1" 2>/dev/null; }

    chroot --userspec=1000:1000 "$root" env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" \
        XDG_RUNTIME_DIR=/run/user/1000 LANG=C.UTF-8 sh -c 'cd && exec /usr/bin/tellwick' \
        >"$root/tmp/tellwick.log" 2>&1 &
    pid=$!
    status=0
    if ! within 20 docked "$pid"; then
        log "the tray icon did not dock"; status=1
    else
        xdotool key ctrl+F2
        within 5 menu_open "$pid" || { log "Ctrl+F2 opened no menu"; status=1; }
        xdotool key x
        if within 5 confirm_box "$pid"; then
            xdotool windowactivate --sync "$(confirm_box "$pid")" 2>/dev/null
            xdotool key Return
            within 10 gone "$pid" || { log "E&xit with Yes did not end the program"; status=1; }
        else
            log "E&xit asked nothing"; status=1
        fi
    fi
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    [ -f "$root$home/rd.dt" ] && [ -f "$root$home/re.dt" ] || { log "no rd.dt and re.dt in the home"; status=1; }
    [ -s "$root/tmp/tellwick.log" ] && sed 's/^/tellwick: /' "$root/tmp/tellwick.log" >&2
    exit $status
fi

# --- the run --------------------------------------------------------------------------------------
t0=$(date +%s)
deb=${1:-}
if [ -z "$deb" ]; then
    debs=("$top"/build-package/tellwick_*_amd64.deb)
    [ -f "${debs[0]}" ] || "$top/scripts/package.sh"
    debs=("$top"/build-package/tellwick_*_amd64.deb)
    deb=${debs[0]}
fi
deb=$(readlink -f "$deb")
[ -f "$deb" ] || { log "no package: $deb"; exit 1; }

root=$(mktemp -d /var/tmp/tellwick-root.XXXXXX)
mounts=()
cleanup() {
    local i
    for (( i=${#mounts[@]}-1; i>=0; i-- )); do umount "${mounts[$i]}" 2>/dev/null || umount -l "${mounts[$i]}"; done
    # Removed only when nothing is mounted below it any more.
    if ! findmnt -rn -o TARGET | grep -q "^$root/"; then rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
bind() { mkdir -p "$root$2"; mount --bind "$1" "$root$2"; mounts+=("$root$2"); }

log "copying the cached root"
cp -a "$CACHE/root/." "$root/"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"; mounts+=("$root/proc")
bind /dev /dev
mkdir -p "$CACHE/archives/partial"
bind "$CACHE/archives" /var/cache/apt/archives  # downloaded packages are kept for the next run
bind /tmp/.X11-unix /tmp/.X11-unix
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"; }

# What the root holds, apart from apt's and dpkg's own books, caches, logs and the home.
inventory() {
    (cd "$root" && find . -xdev \( -path ./proc -o -path ./dev -o -path ./tmp -o -path ./home -o -path ./run \
        -o -path ./var/cache -o -path ./var/lib/apt -o -path ./var/lib/dpkg -o -path ./var/log \) -prune \
        -o -print | sort)
}
# The user who runs the program, with an empty home.
in_root useradd --uid 1000 --no-create-home --home-dir /home/tester --shell /bin/sh tester
install -d -m 755 -o 1000 -g 1000 "$root/home/tester"
before=$(inventory)

log "installing $(basename "$deb") with apt"
cp "$deb" "$root/tmp/"
in_root apt-get update -qq
in_root sh -c 'apt-get install -y -q --no-install-recommends ./tmp/tellwick_*.deb' >"$root/tmp/install.log" 2>&1 ||
    { tail -30 "$root/tmp/install.log" >&2; exit 1; }
in_root dpkg -L tellwick >"$root/tmp/files" || exit 1
for f in /usr/bin/tellwick /usr/share/tellwick/Help/tellwick.html /usr/share/applications/tellwick.desktop \
    /etc/xdg/autostart/tellwick.desktop /usr/share/icons/hicolor/48x48/apps/tellwick.png \
    /usr/share/man/man1/tellwick.1.gz /usr/share/doc/tellwick/copyright /usr/share/doc/tellwick/changelog.gz; do
    [ -e "$root$f" ] || { log "not installed: $f"; exit 1; }
done

install -d -m 700 -o 1000 -g 1000 "$root/run/user/1000"
log "starting /usr/bin/tellwick on the private desktop"
"$top/scripts/test-desktop.sh" run -- "$0" --on-desktop "$root" || { log "the installed program failed"; exit 1; }

log "purging the package"
in_root apt-get purge -y -q --autoremove tellwick >"$root/tmp/purge.log" 2>&1 ||
    { tail -30 "$root/tmp/purge.log" >&2; exit 1; }
failed=0
while read -r f; do
    [ -d "$root$f" ] && continue # shared folders such as /usr/share/man/man1 stay
    [ -e "$root$f" ] && { log "left after purge: $f"; failed=1; }
done <"$root/tmp/files"
# The user's files (home) and the session's runtime folder (the lock files of the one-copy rule,
# which a real session's tmpfs drops at logout) are not the package's.
left=$(cd "$root" && find . -xdev \( -path ./proc -o -path ./home -o -path ./run -o -path ./tmp \) -prune \
    -o -iname '*tellwick*' -print)
[ -z "$left" ] || { log "left after purge: $left"; failed=1; }
after=$(inventory)
if [ "$before" != "$after" ]; then
    log "the root differs from before the install:"
    diff <(echo "$before") <(echo "$after") | sed -n 's/^[<>] /  /p' | head -20 >&2
    failed=1
fi
[ "$failed" = 0 ] || exit 1
log "passed in $(( $(date +%s) - t0 )) s: installed, docked, Exit wrote rd.dt and re.dt, purged without a trace"
