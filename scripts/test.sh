#!/usr/bin/env bash
# Builds and runs every test: the format check, the whole suite (window-free tests, windows on
# Qt's offscreen platform, whole-program tests on a private Xvfb desktop), the Debian package with
# its checks, the suite again under AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows
# program with its tests under Wine (Qt for Windows is built first, once per machine:
# scripts/qt-mingw.sh). (scripts/test-package.sh, the package's trial in a minimal Debian root, is
# separate: it needs root and the network and takes minutes.)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc 2>/dev/null || echo 2)

"$top/scripts/ensure-packages.sh" test windows

echo "== format check"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

run_suite() { # run_suite BUILD_DIR CMAKE_ARGS...
    local dir=$1; shift
    cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 600)
}

echo "== tests"
run_suite "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== the Debian package and the distribution's checks (lintian, desktop-file-validate, appstreamcli)"
"$top/scripts/package.sh"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTELLWICK_SANITIZE=ON -DTELLWICK_BENCH=OFF

if [ -x "$top/scripts/test-windows.sh" ]; then
    echo "== the Windows program, its tests under Wine, its zip"
    "$top/scripts/test-windows.sh"
fi
echo "== all tests passed"
