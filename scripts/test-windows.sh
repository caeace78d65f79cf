#!/usr/bin/env bash
# The Windows build of the window-free core and the Win32 back ends, and their tests under Wine.
#
# Configures build-win64 with the mingw-w64 toolchain (no Qt: Debian has none for mingw), builds
# it, and runs every test under Wine in a private, throw-away WINEPREFIX on a private headless X
# server, with Wine's debug output off. Every process is stopped at the end: the Wine server of
# the prefix (wineserver -k, which ends every Wine process of it) and the X server.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="${TELLWICK_WIN_BUILD:-$top/build-win64}"
# TELLWICK_JOBS: parallel compile jobs (all cores unless set; 1 on a machine shared with others).
jobs="${TELLWICK_JOBS:-$(nproc 2>/dev/null || echo 2)}"
started=$(date +%s)

"$top/scripts/ensure-packages.sh" windows test

cmake -S "$top" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTELLWICK_GUI=OFF -DTELLWICK_GTEST_FROM_SOURCE=ON -DTELLWICK_BENCH=OFF --no-warn-unused-cli >/dev/null
cmake --build "$build" -j "$jobs"

# Debian has no Qt for mingw, so the program's windows and the Qt glue in platform/win32 are built
# only on Windows. Here every source of the Windows program that needs Qt is compiled, declarations
# and all, against Debian's Qt 6 headers (their export attributes do not match mingw's, hence
# -Wno-attributes), so that nothing in them needs changing for the Windows build: the windows, the
# shell with its Win32 start-up, and the glue that drives the Win32 back ends.
qt=$(ls -d /usr/include/*/qt6 2>/dev/null | head -n 1 || true)
if [ -n "$qt" ] && [ -d "$qt/QtWidgets" ]; then
    qt_sources=("$top"/platform/win32/WinNativeEventFilter.cpp "$top"/platform/win32/WindowsBackends.cpp
        "$top"/platform/qt/*.cpp "$top"/shell/*.cpp
        "$top"/dialogs/*.cpp "$top"/engine/Rem_Popup.cpp "$top"/activity/hwn.cpp "$top"/resources/icons/Icons.cpp)
    pids=()
    for src in "${qt_sources[@]}"; do
        x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra -Werror -Wno-attributes \
            -D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00 -DUNICODE -D_UNICODE -DNOMINMAX -DWIN32_LEAN_AND_MEAN \
            -DTELLWICK_VERSION='"0"' -I"$top" -I"$qt" -I"$qt/QtCore" -I"$qt/QtGui" -I"$qt/QtWidgets" \
            -I"$qt/QtNetwork" "$src" &
        pids+=("$!")
        # $jobs compilers at a time; a failed one ends the script (set -e) through its wait
        if [ "${#pids[@]}" -ge "$jobs" ]; then
            wait "${pids[0]}"
            pids=("${pids[@]:1}")
        fi
    done
    for pid in "${pids[@]}"; do wait "$pid"; done
    echo "The Qt sources of the Windows program compile against $qt (${#qt_sources[@]} files)"
fi
built=$(date +%s)

prefix=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-wine.XXXXXX")
log="$prefix.ctest.log"
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    rm -rf "$prefix" "$log"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# No Mono or Gecko installer dialogs in a fresh prefix; no debug channels.
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" WINEARCH=win64

# Runs inside the private desktop: set up the prefix, run the suite, stop the Wine server while the
# X server is still there.
inner() {
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    local status=0
    (cd "$build" && ctest --output-on-failure --timeout 300) >"$log" 2>&1 || status=$?
    wineserver -k 2>/dev/null || true
    return "$status"
}
export -f inner
export build log

status=0
"$top/scripts/test-desktop.sh" run --no-tray -- bash -c inner || status=$?
finished=$(date +%s)

if [ "$status" -ne 0 ]; then
    cat "$log"
else
    grep -E 'Test +#|Total Test time' "$log" || true
fi
grep -E 'tests passed|tests failed' "$log" || echo "ctest did not finish (status $status)"
echo "Windows build: build $((built - started)) s, Wine run $((finished - built)) s"
exit "$status"
