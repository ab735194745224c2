#!/usr/bin/env bash
# scheduler.exe's start-up in each mode, end to end under Wine: the main
# window, the single interactive instance, run and service mode, the missing
# Tasks folder, and the settings key.
#
#   e2e-startup.sh WINCHECK.EXE SCHEDULER.EXE WIN_TESTS.EXE
#
# SCHED_WINE_ENV and SCHED_WINE_STATE come from the test registration.
set -u

wincheck=$1
scheduler_unix=$2
win_tests=$3
env_sh=${SCHED_WINE_ENV:?}
state=${SCHED_WINE_STATE:?}

wine_run() { bash "$env_sh" run "$state" "$@"; }
scheduler=$(bash "$env_sh" winpath "$scheduler_unix")
check() { wine_run "$wincheck" "$@"; }

passed=0
failed=0
expect() { # WHAT COMMAND...
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); else echo "FAIL: $what"; failed=$((failed + 1)); fi
}

agent_key='HKLM\Software\Microsoft\SchedulingAgent'
settings_key='HKCU\Software\Brantel\Scheduler'
restore_tasks_folder() {
  wine_run reg add "$agent_key" /v TasksFolder /t REG_EXPAND_SZ /d '%SystemRoot%\Tasks' /f >/dev/null
}
trap restore_tasks_folder EXIT

# The main window shows, and a screenshot of the desktop has it on it.
shot=$(mktemp --suffix=.png)
wine_run "$scheduler" &
app=$!
expect "main window shown" check wait-window --class TMainForm Scheduler
bash "$env_sh" screenshot "$state" "$shot" >/dev/null
colours=$(convert "$shot" -format '%k' info: 2>/dev/null || echo 0)
expect "screenshot shows more than a blank desktop ($colours colours)" test "$colours" -gt 8
expect "main window closes" check close-window --class TMainForm Scheduler
wait $app
expect "interactive run ends with 0" test $? = 0
rm -f "$shot"

# One interactive instance; run mode beside it runs.
expect "second instance exits at once, silently" \
  check beside "$scheduler" Scheduler -- run-silent "$scheduler"
expect "run mode beside the interactive instance" \
  check beside "$scheduler" Scheduler -- run-silent "$scheduler" -run "No such task"

# Modes without a window.
expect "-service exits with 0" check run-silent "$scheduler" -service
expect "unknown argument exits with 0, silently" check run-silent "$scheduler" -frobnicate
expect "-RUN selects run mode" check run-silent "$scheduler" -RUN "No such task"
expect "-run without a name" check run-silent "$scheduler" -run

# Without the Task Scheduler's folder the program says so and ends.
wine_run reg delete "$agent_key" /v TasksFolder /f >/dev/null 2>&1
expect "missing TasksFolder is reported" \
  check answer-message --text "Can not get system task scheduler directory" "$scheduler" Error
restore_tasks_folder

# First start creates the settings key; saved values are DWORDs.
wine_run reg delete "$settings_key" /f >/dev/null 2>&1
expect "first start" check launch-and-close --class TMainForm "$scheduler" Scheduler
expect "settings key created" wine_run reg query "$settings_key"
wine_run "$win_tests" --gtest_filter=SettingsForOutside.SaveForQuery >/dev/null
query=$(wine_run reg query "$settings_key" | tr -d '\r')
expect "NewTaskMethod is a DWORD" grep -qiE 'NewTaskMethod +REG_DWORD +0x0*2$' <<<"$query"
expect "CheckUpdateInterval is a DWORD" grep -qiE 'CheckUpdateInterval +REG_DWORD +0xffffffff$' <<<"$query"
wine_run reg delete "$settings_key" /f >/dev/null 2>&1

echo "startup: $passed passed, $failed failed"
[ "$failed" = 0 ]
