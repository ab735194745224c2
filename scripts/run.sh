#!/usr/bin/env bash
# Builds scheduler.exe and runs it under Wine, passing the arguments on.
#
# The Wine prefix lives in build/wine-run and is kept between runs; it is set
# up the way the tests set theirs up. The program shows on $DISPLAY, or, when
# there is none, on a private Xvfb (look at it with
# "bash tests/wine/wine-env.sh screenshot build/wine-run shot.png").
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh </dev/null
cmake -S . -B build -DSCHED_WINDOWS_BUILD=ON
cmake --build build -j2 --target win32

env_sh=tests/wine/wine-env.sh
state=build/wine-run
bash "$env_sh" setup --keep-prefix --use-display "$state" </dev/null

stopped=0
stop() {
  [ $stopped = 1 ] && return
  stopped=1
  bash "$env_sh" teardown --keep-prefix "$state" || true
}
trap stop EXIT
trap 'exit 130' INT TERM

own_display=0
[ -z "${DISPLAY:-}" ] && own_display=1
echo "run: scheduler.exe on display $(cat "$state/display")" >&2
if [ $own_display = 1 ] && [ $# = 0 ]; then
  # Nobody can see this display: show what it shows.
  (
    shot="$root/$state/screenshot.png"
    if bash "$env_sh" run "$state" build/win32/tests/wine/wincheck.exe wait-window \
      --class TMainForm --timeout 60 Scheduler >/dev/null 2>&1 &&
      bash "$env_sh" screenshot "$state" "$shot" >/dev/null 2>&1; then
      echo "run: the main window is shown; screenshot saved to $shot" >&2
    fi
  ) &
fi
# Interactive: no time limit, and the output straight to this terminal.
SCHED_WINE_TIMEOUT=0 SCHED_WINE_DIRECT=1 \
  bash "$env_sh" run "$state" build/win32/app/scheduler.exe "$@"
