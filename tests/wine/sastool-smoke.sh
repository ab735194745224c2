#!/usr/bin/env bash
# sastool.exe under Wine: packed action lists come back byte for byte, through
# pipes and files, and the exit codes keep their meaning.
#
#   sastool-smoke.sh SASTOOL.EXE FIXTURE_DIR
#
# SCHED_WINE_ENV (wine-env.sh) and SCHED_WINE_STATE (its state directory)
# come from the test registration.
set -euo pipefail

exe=$1
fixtures=$2
env_sh=${SCHED_WINE_ENV:?}
state=${SCHED_WINE_STATE:?}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sastool() { bash "$env_sh" run "$state" "$exe" "$@"; }
winpath() { bash "$env_sh" winpath "$1"; }

passed=0
failed=0
ok() { passed=$((passed + 1)); }
bad() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }

# A small list whose bytes a text-mode stream or a code page conversion would
# change: CR LF line ends, a lone LF, bytes above 127, no final line end.
printf '[Main]\r\nCount=2\r\n\r\n[Job0]\r\nType=0\r\nEnabled=1\r\nComment=caf\351 \244\r\nCount=2\n[Job1]\r\nType=3\r\nEnabled=0\r\nMessage=48690D0A7A00' \
  >"$work/small.ini"
cp "$fixtures/mixed.ini" "$work/mixed.ini"

# pack and unpack through pipes, then unpack from a file.
for sample in small mixed; do
  in=$work/$sample.ini
  if ! sastool pack - <"$in" >"$work/$sample.sas"; then
    bad "$sample: pack - failed"
    continue
  fi
  if [ "$(head -c 10 "$work/$sample.sas")" = VSCHEDULER ]; then ok; else bad "$sample: packed bytes do not start with VSCHEDULER"; fi
  if sastool unpack - <"$work/$sample.sas" >"$work/$sample.back" && cmp "$in" "$work/$sample.back"; then
    ok
  else
    bad "$sample: unpack - of the packed text differs from the original"
  fi
  if sastool unpack "$(winpath "$work/$sample.sas")" </dev/null >"$work/$sample.back2" &&
    cmp "$in" "$work/$sample.back2"; then
    ok
  else
    bad "$sample: unpack FILE differs from the original"
  fi
done

# What the main window would list, and the text written back, for the fixture.
for form in normalize:mixed.normalized.ini list:mixed.list.txt; do
  command=${form%%:*}
  expected=$fixtures/${form#*:}
  if sastool "$command" - <"$work/mixed.sas" >"$work/$command.out" && cmp "$expected" "$work/$command.out"; then
    ok
  else
    bad "$command of mixed.ini differs from ${form#*:}"
  fi
done

# Exit codes: 2 usage or unreadable file, 1 no valid action list.
printf 'not an action list\r\n' >"$work/junk.txt"
: >"$work/empty"
cases=(
  "2|no arguments|/dev/null"
  "2|unknown command|/dev/null|frobnicate|-"
  "2|too many arguments|/dev/null|list|-|-"
  "2|unreadable file|/dev/null|unpack|$(winpath "$work/no-such-file.sas")"
  "1|list of junk|$work/junk.txt|list|-"
  "1|normalize of nothing|$work/empty|normalize|-"
  "0|list of a packed list|$work/mixed.sas|list|-"
)
for c in "${cases[@]}"; do
  IFS='|' read -r -a f <<<"$c"
  want=${f[0]} what=${f[1]} input=${f[2]}
  rc=0
  sastool "${f[@]:3}" <"$input" >"$work/out" 2>"$work/err" || rc=$?
  if [ "$rc" = "$want" ]; then
    ok
  else
    bad "$what: exit $rc, expected $want ($(head -c 200 "$work/err"))"
  fi
done

echo "sastool: $passed passed, $failed failed"
[ "$failed" = 0 ]
