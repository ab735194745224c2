#!/usr/bin/env bash
# The whole check on a fresh Debian 12 machine: installs what is missing,
# builds the native tree and, through it, the Windows programs, then runs
# every test: the native unit tests and the Windows builds under Wine.
# Safe to run again; needs no input.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
exec </dev/null

bash scripts/setup.sh
# A build/ configured for native work alone is switched back to the full one.
cmake -S . -B build -DSCHED_WINDOWS_BUILD=ON
cmake --build build -j2
# The Wine tests take turns on their display; the unit tests run beside them.
ctest --test-dir build --output-on-failure -j2
