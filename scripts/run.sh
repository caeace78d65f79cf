#!/usr/bin/env bash
# Builds Tellwick (in build-run/, without tests) and starts it. Its reminder files "rd.dt" and
# "re.dt" live in the working directory it is started from.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/ensure-packages.sh" run
cmake -S "$top" -B "$top/build-run" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTELLWICK_TESTS=OFF -DTELLWICK_BENCH=OFF >/dev/null
cmake --build "$top/build-run" --target tellwick
exec "$top/build-run/tellwick" "$@"
