#!/usr/bin/env bash
# The Windows program: built with mingw-w64 against Qt for Windows, tested under Wine, packed.
#
# Builds Qt for Windows once per machine (scripts/qt-mingw.sh, into a cache folder), configures
# build-win64 (or $TELLWICK_WIN_BUILD) with the mingw-w64 toolchain and -Werror, builds tellwick.exe
# and every test, and packs tellwick-<version>-win64.zip there (cpack) and, with the same files,
# the installer tellwick-<version>-setup.exe (makensis). Then, on a private headless X server with
# Wine's own tray window, in a throw-away WINEPREFIX, with Wine's debug output off: every test
# under ctest (window tests on Qt's offscreen platform), and the whole-program tests
# (tests/win32/e2e_wine.sh) on tellwick.exe as unpacked from the zip, so that the zip is known to
# be complete; then the installer's tests (tests/win32/installer_wine.sh) in a second, fresh
# prefix. Every process is stopped at the end: the Wine server of each prefix (wineserver -k,
# which ends every Wine process of it) and the X server.
#
#   TELLWICK_JOBS=n       parallel compile jobs (all cores unless set)
#   TELLWICK_WIN_BUILD    the build folder (default build-win64)
#   TELLWICK_LINUX_EXE    the Linux program (default build/tellwick when built): the whole-program
#                         tests check that both write the same bytes for the same tables
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="${TELLWICK_WIN_BUILD:-$top/build-win64}"
jobs="${TELLWICK_JOBS:-$(nproc 2>/dev/null || echo 2)}"
linux_exe="${TELLWICK_LINUX_EXE:-$top/build/tellwick}"
[ -x "$linux_exe" ] || linux_exe=""
started=$(date +%s)

"$top/scripts/ensure-packages.sh" windows test

qt=$("$top/scripts/qt-mingw.sh" --prefix)
if [ ! -f "$qt/.complete" ]; then
    echo "== Qt for Windows is not built yet: building it into $qt (once per machine)"
    "$top/scripts/qt-mingw.sh" >"$build.qt-mingw.log" 2>&1 || { tail -n 40 "$build.qt-mingw.log"; exit 1; }
    rm -f "$build.qt-mingw.log"
fi
echo "Qt for Windows: $qt ($(cat "$qt/.complete"))"
qt_built=$(date +%s)

cmake -S "$top" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" -DTELLWICK_QT_PREFIX="$qt" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTELLWICK_GUI=ON -DTELLWICK_GTEST_FROM_SOURCE=ON -DTELLWICK_BENCH=OFF --no-warn-unused-cli >/dev/null
cmake --build "$build" -j "$jobs"
rm -f "$build"/tellwick-*-win64.zip
(cd "$build" && cpack -G ZIP >/dev/null)
zip=$(ls "$build"/tellwick-*-win64.zip)
echo "Package: $zip ($(( $(stat -c %s "$zip") / 1024 )) KiB)"
zipped=$(date +%s)
rm -f "$build"/tellwick-*-setup.exe
cmake --build "$build" --target setup >"$build/setup.log" 2>&1 || { cat "$build/setup.log"; exit 1; }
setup=$(ls "$build"/tellwick-*-setup.exe)
echo "Installer: $setup ($(( $(stat -c %s "$setup") / 1024 )) KiB, $(( $(date +%s) - zipped )) s)"
built=$(date +%s)

prefix=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-wine.XXXXXX")
log="$prefix.ctest.log"
e2e_log="$prefix.e2e.log"
unpacked="$prefix.zip"
# The installer's tests get a prefix of their own, fresh as a new Windows user's.
setup_prefix="$prefix.setup"
setup_log="$prefix.setup.log"
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$setup_prefix" wineserver -k 2>/dev/null || true
    rm -rf "$prefix" "$log" "$e2e_log" "$unpacked" "$setup_prefix" "$setup_log"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
program=$(ls "$unpacked"/tellwick-*-win64/tellwick.exe)

# No Mono or Gecko installer dialogs in a fresh prefix; no debug channels.
# No menu entries written for the installer's shortcut into the desktop of the user running this.
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d" WINEARCH=win64
# For the tests in the build tree: Qt's DLLs and plugins and the compiler's runtime DLLs. The
# whole-program tests run without these, from the unpacked zip.
# (Windows paths: drive Z: is the Unix root in every prefix.)
runtime_dirs="Z:$qt/bin;Z:$(dirname "$(readlink -f "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")")"
runtime_dirs="$runtime_dirs;Z:$(dirname "$(readlink -f "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")"

# Runs inside the private desktop: set up the prefix, run the suite and the whole-program tests,
# stop the Wine server while the X server is still there.
inner() {
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    local status=0 t0 t1
    t0=$(date +%s)
    (cd "$build" && WINEPATH="$runtime_dirs" QT_PLUGIN_PATH="Z:$qt/plugins" \
        ctest --output-on-failure --timeout 300) >"$log" 2>&1 || status=$?
    t1=$(date +%s)
    echo "ctest under Wine: $((t1 - t0)) s" >>"$log"
    bash "$top/tests/win32/e2e_wine.sh" "$program" "$linux_exe" >"$e2e_log" 2>&1 || status=$?
    echo "whole-program tests under Wine: $(($(date +%s) - t1)) s" >>"$e2e_log"
    wineserver -k 2>/dev/null || true
    t1=$(date +%s)
    mkdir -p "$setup_prefix"
    (export WINEPREFIX="$setup_prefix"
     wineboot --init >/dev/null 2>&1 || true
     wineserver -w
     bash "$top/tests/win32/installer_wine.sh" "$setup" "$(dirname "$program")" >"$setup_log" 2>&1
     rc=$?
     wineserver -k 2>/dev/null || true
     exit $rc) || status=$?
    echo "installer tests under Wine (fresh prefix): $(($(date +%s) - t1)) s" >>"$setup_log"
    return "$status"
}
export -f inner
export build log e2e_log program linux_exe runtime_dirs qt top setup setup_prefix setup_log

status=0
"$top/scripts/test-desktop.sh" run --no-tray -- bash -c inner || status=$?
finished=$(date +%s)

if [ "$status" -ne 0 ]; then
    cat "$log" "$e2e_log" "$setup_log"
else
    grep -E 'Test +#|Total Test time|ctest under Wine' "$log" || true
    cat "$e2e_log" "$setup_log"
fi
grep -E 'tests passed|tests failed' "$log" || echo "ctest did not finish (status $status)"
echo "Windows build: Qt $((qt_built - started)) s, build and zip $((zipped - qt_built)) s," \
    "installer $((built - zipped)) s, Wine run $((finished - built)) s"
exit "$status"
