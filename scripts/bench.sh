#!/usr/bin/env bash
# Builds and runs the benchmarks natively; prints figures, asserts nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" >/dev/null
cmake -S "$root" -B "$root/build/bench-native" -DCMAKE_BUILD_TYPE=Release -DSCHED_WINDOWS_BUILD=OFF >/dev/null
cmake --build "$root/build/bench-native" --target bench_pack -j2 >/dev/null
"$root/build/bench-native/bench/bench_pack" "$@"
