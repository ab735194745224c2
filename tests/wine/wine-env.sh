#!/usr/bin/env bash
# One X display and one fresh 32-bit Wine prefix for a test run.
#
#   wine-env.sh setup [--keep-prefix] [--use-display] STATE_DIR
#   wine-env.sh run STATE_DIR PROGRAM [ARGS...]
#   wine-env.sh screenshot STATE_DIR FILE.png
#   wine-env.sh teardown [--keep-prefix] STATE_DIR
#   wine-env.sh winpath PATH            the Z: path Wine programs see for PATH
#
# setup starts an Xvfb (or, with --use-display and DISPLAY set, uses that
# display), makes STATE_DIR/prefix with wineboot and sets it up the way
# Windows is where Wine differs. --keep-prefix reuses a prefix that an
# earlier setup finished and makes teardown leave it. run passes the
# program's exit code and output through; SCHED_WINE_TIMEOUT (seconds,
# default 300, 0 for none) bounds it. Harness failures exit 125.
#
# Nothing here reads standard input: CI has none.
set -euo pipefail

# A closed standard input would make every redirection from it fail.
if ! { true <&0; } 2>/dev/null; then exec </dev/null; fi

# Raise when configure_prefix changes, so that kept prefixes are made anew.
prefix_version=2

die() { echo "wine-env: $*" >&2; exit 125; }
note() { echo "wine-env: $*" >&2; }

# Everything Wine runs with. HOME is private so that the prefix's shell
# folders and Wine's caches never land in the real home directory.
wine_env() {
  local state=$1
  export WINEPREFIX="$state/prefix"
  export WINEARCH=win32
  export WINEDEBUG="${WINEDEBUG:--all}"
  # No mono or gecko installer dialogs; no menu entries written to the host.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  if [ -n "${HOME:-}" ] && [ -z "${XAUTHORITY:-}" ] && [ -f "$HOME/.Xauthority" ]; then
    export XAUTHORITY="$HOME/.Xauthority"
  fi
  export HOME="$state/home"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
  unset WINESERVER WINELOADER
  if [ -f "$state/display" ]; then
    DISPLAY=$(cat "$state/display")
    export DISPLAY
  fi
}

# Alive and not a zombie: a killed child of a shell that has gone may never be
# reaped here.
alive() {
  local pid=$1 st
  [ -n "$pid" ] && [ -r "/proc/$pid/stat" ] || return 1
  st=$(sed 's/^.*) //' "/proc/$pid/stat" 2>/dev/null | cut -d' ' -f1) || return 1
  [ -n "$st" ] && [ "$st" != Z ] && [ "$st" != X ]
}

# Waits up to $2 tenths of a second for pid $1 to end.
wait_gone() {
  local pid=$1 n=$2
  while [ "$n" -gt 0 ] && alive "$pid"; do sleep 0.1; n=$((n - 1)); done
  ! alive "$pid"
}

start_xvfb() {
  local state=$1 logs=$1/logs pid n
  # Xvfb writes the display number to fd 3 once it accepts connections.
  : >"$state/xvfb.display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
    3>"$state/xvfb.display" </dev/null >"$logs/xvfb.log" 2>&1 &
  pid=$!
  echo "$pid" >"$state/xvfb.pid"
  for ((n = 0; n < 300; n++)); do
    if [ -s "$state/xvfb.display" ] && grep -q '^[0-9][0-9]*$' "$state/xvfb.display"; then
      echo ":$(head -n1 "$state/xvfb.display")" >"$state/display"
      return 0
    fi
    alive "$pid" || break
    sleep 0.1
  done
  cat "$logs/xvfb.log" >&2 || true
  die "Xvfb did not start"
}

# The prefix as Windows would be where a fresh Wine prefix differs, plus what
# a headless run needs.
configure_prefix() {
  local state=$1 prefix=$1/prefix logs=$1/logs
  local win="$prefix/drive_c/windows" d
  reg() { wine reg add "$@" /f </dev/null >>"$logs/config.log" 2>&1 || die "reg add $1 failed (see $logs/config.log)"; }

  # Where the Task Scheduler keeps its work items.
  reg 'HKLM\Software\Microsoft\SchedulingAgent' /v TasksFolder /t REG_EXPAND_SZ /d '%SystemRoot%\Tasks'
  # Wine names the folder "tasks"; Windows names it "Tasks".
  d=$(find "$win" -maxdepth 1 -iname tasks -print -quit)
  if [ -z "$d" ]; then
    mkdir "$win/Tasks"
  elif [ "$(basename "$d")" != Tasks ]; then
    mv "$d" "$win/Tasks"
  fi

  # One Windows-like desktop window: window frames without a window manager,
  # and focus that follows what the programs ask for.
  reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
  reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768
  # Windows has Marlett (the caption buttons), Tahoma and MS Sans Serif in
  # its Fonts folder; this Wine does not look for its own copies of them.
  for d in /usr/share/wine/fonts/*.ttf; do
    if [ -f "$d" ]; then cp -n "$d" "$win/Fonts/"; fi
  done
  # A crash prints a backtrace and ends the program instead of waiting on a dialog.
  reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0

  # Wine links Desktop, Documents, Pictures... to the Unix home; Windows has
  # real folders, and tests must not write outside the prefix.
  for d in "$prefix"/drive_c/users/*/*; do
    if [ -L "$d" ]; then
      rm -f "$d"
      mkdir -p "$d"
    fi
  done
}

# One server for the rest of the run, and Wine's own services started now,
# with their output in the logs, rather than by the first test.
start_session() {
  local state=$1 n
  # A server that is still going down would refuse the new one: wait it out.
  for ((n = 0; n < 100; n++)); do
    wineserver -p </dev/null >>"$state/logs/wineserver.log" 2>&1 && break
    sleep 0.1
  done
  [ $n -lt 100 ] || die "wineserver did not start (see $state/logs/wineserver.log)"
  (cd "$state" && timeout 120 wine cmd.exe /c exit </dev/null >>"$state/logs/session.log" 2>&1) ||
    die "Wine does not start programs (see $state/logs/session.log)"
}

configured() {
  [ "$(cat "$1/prefix/.sched-configured" 2>/dev/null)" = "$prefix_version" ]
}

cmd_setup() {
  local keep=0 use_display=0
  while [ $# -gt 1 ]; do
    case $1 in
      --keep-prefix) keep=1 ;;
      --use-display) use_display=1 ;;
      *) die "setup: unknown option $1" ;;
    esac
    shift
  done
  [ $# -eq 1 ] || die "usage: wine-env.sh setup [--keep-prefix] [--use-display] STATE_DIR"
  local state
  mkdir -p "$1"
  state=$(abs_dir "$1")
  [ "$state" != / ] || die "refusing / as the state directory"

  # Whatever an earlier run left behind goes first.
  if [ $keep = 1 ]; then
    cmd_teardown --keep-prefix "$state" >/dev/null 2>&1 || true
    configured "$state" || rm -rf "$state/prefix"
  else
    cmd_teardown "$state" >/dev/null 2>&1 || true
    rm -rf "$state"
  fi
  mkdir -p "$state/logs" "$state/home"

  if [ $use_display = 1 ] && [ -n "${DISPLAY:-}" ]; then
    echo "$DISPLAY" >"$state/display"
  else
    start_xvfb "$state"
  fi

  wine_env "$state"
  if configured "$state"; then
    start_session "$state"
    note "reusing prefix $WINEPREFIX on $DISPLAY"
    return 0
  fi

  mkdir -p "$WINEPREFIX"
  # One server for the whole run: it keeps the registry in memory, so each
  # test starts in a fraction of a second, and teardown's -k saves it.
  wineserver -p </dev/null >>"$state/logs/wineserver.log" 2>&1 || die "wineserver did not start"
  if ! (cd "$state" && timeout 240 wine wineboot.exe -i </dev/null >"$state/logs/wineboot.log" 2>&1); then
    cat "$state/logs/wineboot.log" >&2 || true
    die "wineboot -i failed"
  fi
  [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] || die "wineboot left no system32"
  configure_prefix "$state"
  # Start the run clean: the desktop that wineboot opened predates the
  # settings above and would be joined by the first program. -k also writes
  # the registry out.
  timeout 30 wineserver -k </dev/null >>"$state/logs/wineserver.log" 2>&1 || true
  start_session "$state"
  echo "$prefix_version" >"$WINEPREFIX/.sched-configured"
  note "prefix $WINEPREFIX ready on $DISPLAY"
}

cmd_run() {
  [ $# -ge 2 ] || die "usage: wine-env.sh run STATE_DIR PROGRAM [ARGS...]"
  local state
  state=$(abs_dir "$1")
  shift
  if [ ! -f "$state/display" ] || ! configured "$state"; then
    die "no Wine environment in $state (run setup first)"
  fi
  wine_env "$state"
  local limit=${SCHED_WINE_TIMEOUT:-300} rc=0
  local -a cmd=(wine "$@")
  if [ "$limit" != 0 ]; then
    cmd=(timeout -k 10 "$limit" "${cmd[@]}")
  fi
  if [ "${SCHED_WINE_DIRECT:-0}" = 1 ]; then
    "${cmd[@]}" || rc=$?
  else
    run_relayed "$state" "${cmd[@]}" || rc=$?
  fi
  if [ "$limit" != 0 ] && { [ $rc = 124 ] || [ $rc = 137 ]; }; then
    note "$1 did not finish within ${limit}s"
  fi
  return $rc
}

# Runs the command with its output going to files that are copied to ours as
# they grow. Processes that Wine starts on the way (the desktop, services)
# inherit those files and may outlive the program; had they inherited our
# own stdout or stderr, whoever reads them (ctest) would wait for them too.
run_relayed() {
  local state=$1
  shift
  local dir pid rc=0 t1 t2
  dir=$(mktemp -d "$state/run.XXXXXX")
  : >"$dir/out"
  : >"$dir/err"
  # Standard input stays the caller's (a background job would get /dev/null).
  "$@" <&0 >"$dir/out" 2>"$dir/err" &
  pid=$!
  tail -c +1 -s 0.1 -f --pid="$pid" "$dir/out" &
  t1=$!
  tail -c +1 -s 0.1 -f --pid="$pid" "$dir/err" >&2 &
  t2=$!
  wait "$pid" || rc=$?
  # The program is reaped now, so both copies see it gone, finish and stop.
  wait "$t1" "$t2" || true
  rm -rf "$dir"
  return $rc
}

cmd_screenshot() {
  [ $# -eq 2 ] || die "usage: wine-env.sh screenshot STATE_DIR FILE.png"
  local state
  state=$(abs_dir "$1")
  [ -f "$state/display" ] || die "no display recorded in $state"
  import -display "$(cat "$state/display")" -window root "$2" </dev/null || die "screenshot failed"
}

cmd_teardown() {
  local keep=0
  if [ "${1:-}" = --keep-prefix ]; then keep=1; shift; fi
  [ $# -eq 1 ] || die "usage: wine-env.sh teardown [--keep-prefix] STATE_DIR"
  local state=$1 pid
  [ -d "$state" ] || return 0
  state=$(cd "$state" && pwd)

  if [ -d "$state/prefix" ]; then
    # -k ends every program of this prefix and writes the registry out.
    (wine_env "$state" && timeout 30 wineserver -k) </dev/null >/dev/null 2>&1 || true
  fi
  if [ -f "$state/xvfb.pid" ]; then
    pid=$(cat "$state/xvfb.pid")
    # Only our own Xvfb: a stale pid file may name someone else's process now.
    if alive "$pid" && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
      kill "$pid" 2>/dev/null || true
      wait_gone "$pid" 50 || kill -9 "$pid" 2>/dev/null || true
    fi
  fi
  rm -f "$state/xvfb.pid" "$state/xvfb.display" "$state/display"
  if [ $keep = 0 ]; then
    rm -rf "$state"
  fi
  return 0
}

cmd_winpath() {
  [ $# -eq 1 ] || die "usage: wine-env.sh winpath PATH"
  local p
  p=$(realpath -m "$1")
  echo "Z:${p//\//\\}"
}

abs_dir() {
  (cd "$1" 2>/dev/null && pwd) || die "no directory $1"
}

[ $# -ge 1 ] || die "usage: wine-env.sh setup|run|screenshot|teardown|winpath ..."
command=$1
shift
case $command in
  setup) cmd_setup "$@" ;;
  run) cmd_run "$@" ;;
  screenshot) cmd_screenshot "$@" ;;
  teardown) cmd_teardown "$@" ;;
  winpath) cmd_winpath "$@" ;;
  *) die "unknown command $command" ;;
esac
