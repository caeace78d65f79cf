#!/usr/bin/env bash
# Builds the benchmarks in build-bench (Release) and runs them, reporting medians of five runs.
#   bench/run.sh [AREA...]     e.g. bench/run.sh store; no AREA runs every folder of bench/
# An area with a run.sh of its own (one that needs a desktop, say) is run through it; every other
# area's bench_* programs are Google Benchmark binaries and run directly.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-bench"
"$top/scripts/ensure-packages.sh" test
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTELLWICK_BENCH=ON -DTELLWICK_TESTS=OFF >/dev/null

if [ $# -gt 0 ]; then
    areas=("$@")
else
    areas=()
    for d in "$top"/bench/*/; do
        [ -f "$d/CMakeLists.txt" ] && areas+=("$(basename "$d")")
    done
fi

# Build only the benchmark programs of the chosen areas (those this configuration defines).
defined=$(ninja -C "$build" -t targets all | sed -n 's/^\([A-Za-z0-9_]*\): .*/\1/p')
wanted=()
for a in "${areas[@]}"; do
    for t in $(sed -n 's/.*add_executable(\(bench_[A-Za-z0-9_]*\).*/\1/p' "$top/bench/$a/CMakeLists.txt"); do
        if grep -qx "$t" <<<"$defined"; then
            wanted+=("$t")
        fi
    done
done
if [ ${#wanted[@]} -gt 0 ]; then
    cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target "${wanted[@]}"
fi

for a in "${areas[@]}"; do
    echo "== bench/$a"
    if [ -x "$top/bench/$a/run.sh" ]; then
        "$top/bench/$a/run.sh" "$build"
        continue
    fi
    for exe in "$build/bench/$a"/bench_*; do
        [ -f "$exe" ] && [ -x "$exe" ] || continue
        (cd "$build" && "$exe" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
    done
done
