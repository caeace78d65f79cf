#!/usr/bin/env bash
# Measures the whole title-bar display for a 30-character title on a private X11 desktop.
#   bench/titlebar/run.sh [BUILD_DIR] [RUNS]
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
runs=${2:-3}
cmake --build "$build" --target bench_titlebar >/dev/null
exec "$top/scripts/test-desktop.sh" run --no-tray -- "$build/bench/titlebar/bench_titlebar" "$runs"
