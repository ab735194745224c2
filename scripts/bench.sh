#!/usr/bin/env bash
# Builds and runs the benchmarks; prints figures, asserts nothing.
#   bench.sh            the action-list packing (native) and start-up (under Wine)
#   bench.sh pack|startup
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
what=${1:-all}
bash scripts/setup.sh >/dev/null </dev/null

if [ "$what" = all ] || [ "$what" = pack ]; then
  cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DSCHED_WINDOWS_BUILD=OFF >/dev/null
  cmake --build build/bench-native --target bench_pack -j2 >/dev/null
  build/bench-native/bench/bench_pack
fi

if [ "$what" = all ] || [ "$what" = startup ]; then
  cmake -S . -B build -DSCHED_WINDOWS_BUILD=ON >/dev/null
  cmake --build build --target win32 -j2 >/dev/null
  env_sh=tests/wine/wine-env.sh
  state=build/bench-wine
  trap 'bash "$env_sh" teardown "$state" >/dev/null 2>&1 || true' EXIT
  bash "$env_sh" setup "$state" >/dev/null </dev/null
  win=build/win32
  bash "$env_sh" run "$state" "$win/bench/bench_startup.exe" \
    "$(bash "$env_sh" winpath "$win/app/scheduler.exe")" \
    "$(bash "$env_sh" winpath "$win/bench/minimal_window.exe")" "${SCHED_BENCH_ROUNDS:-21}" \
    "$(bash "$env_sh" winpath "$win/bench/controls_window.exe")"
fi
