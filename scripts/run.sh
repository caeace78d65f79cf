#!/usr/bin/env bash
# Builds Tellwick (in build/) and starts it. Its reminder files "rd.dt" and "re.dt" live in the
# working directory it is started from.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/ensure-packages.sh" run
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target tellwick
exec "$top/build/tellwick" "$@"
