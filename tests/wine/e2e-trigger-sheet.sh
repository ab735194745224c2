#!/usr/bin/env bash
# The trigger sheet with our own Schedule page, on the test display: shown by
# win_tests, photographed for each of two triggers, closed from outside.
#
#   e2e-trigger-sheet.sh WINCHECK.EXE WIN_TESTS.EXE SHOT_DIR
#
# Leaves SHOT_DIR/trigger-sheet-1.png and -2.png for a person to look at.
# SCHED_WINE_ENV and SCHED_WINE_STATE come from the test registration.
set -u

wincheck=$1
win_tests=$2
shots=$3
env_sh=${SCHED_WINE_ENV:?}
state=${SCHED_WINE_STATE:?}

wine_run() { bash "$env_sh" run "$state" "$@"; }
check() { wine_run "$wincheck" "$@"; }

passed=0
failed=0
expect() { # WHAT COMMAND...
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); else echo "FAIL: $what"; failed=$((failed + 1)); fi
}

mkdir -p "$shots"
for trigger in 1 2; do
  shot="$shots/trigger-sheet-$trigger.png"
  rm -f "$shot"
  SCHED_SHOW_TRIGGER_SHEET=$trigger wine_run "$win_tests" --gtest_filter=TriggerSheetShow.UntilClosed &
  app=$!
  expect "sheet shown (trigger $trigger)" check wait-window --class '#32770' Settings
  # The page selects its trigger once the sheet shows; wait for the list to settle.
  check wait-window --class '#32770' Settings >/dev/null
  bash "$env_sh" screenshot "$state" "$shot" >/dev/null
  colours=$(convert "$shot" -format '%k' info: 2>/dev/null || echo 0)
  expect "screenshot $trigger shows more than a blank desktop ($colours colours)" test "$colours" -gt 8
  # The sheet's own grey and the list's white take up most of its place.
  expect "sheet closes from outside" check close-window --class '#32770' Settings
  wait $app
  expect "win_tests ends with 0 (trigger $trigger)" test $? = 0
  echo "trigger sheet screenshot: $shot"
done

echo "trigger sheet: $passed passed, $failed failed"
[ "$failed" = 0 ]
