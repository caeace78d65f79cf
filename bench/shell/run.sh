#!/usr/bin/env bash
# Measures the idle program on a private X11 desktop (Xvfb, openbox, trayer).
#   bench/shell/run.sh [BUILD_DIR] [STARTS] [IDLE_SECONDS]      defaults: build, 5, 300
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(readlink -f "${1:-$top/build}")
cmake --build "$build" --target tellwick >/dev/null
exec "$top/scripts/test-desktop.sh" run -- "$top/bench/shell/idle.sh" "$build/tellwick" "${2:-5}" "${3:-300}"
