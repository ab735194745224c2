#!/usr/bin/env bash
# maketask.exe under Wine: the work items it makes carry what the program's
# own tasks carry (creator, command line, folder, flags, triggers, the packed
# action list with the task's name), show reads them back, delete removes
# them, and bad input leaves no work item behind.
#
#   maketask-test.sh MAKETASK.EXE SASTOOL.EXE SCHEDULER.EXE FIXTURE_DIR
#
# SCHED_WINE_ENV and SCHED_WINE_STATE come from the test registration.
set -u

maketask_exe=$1
sastool_exe=$2
scheduler_unix=$3
fixtures=$4
env_sh=${SCHED_WINE_ENV:?}
state=${SCHED_WINE_STATE:?}
tasks=$state/prefix/drive_c/windows/Tasks

wine_run() { bash "$env_sh" run "$state" "$@"; }
winpath() { bash "$env_sh" winpath "$1"; }
maketask() { wine_run "$maketask_exe" "$@"; }
scheduler=$(winpath "$scheduler_unix")

work=$(mktemp -d)
cleanup() {
  rm -rf "$work"
  rm -f "$tasks"/Mt*.job
}
trap cleanup EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
check() { # WHAT COMMAND...
  local what=$1
  shift
  if "$@"; then pass; else fail "$what"; fi
}
# The value of one "Key: value" line of the last show.
field() { sed -n "s/^$1: //p" "$work/show" | head -n1; }
# The trigger lines of the last show.
triggers() { sed -n 's/^Trigger: //p' "$work/show"; }
# Everything after the "Actions:" line of the last show, byte for byte.
actions() { sed -n '/^Actions:$/,$p' "$work/show" | tail -n +2; }
show() { maketask show "$1" >"$work/show" 2>"$work/err" </dev/null; }
create() { maketask create "$@" --program "$scheduler" >/dev/null 2>"$work/err" </dev/null; }

# The fixture in the three forms an action file comes in.
wine_run "$sastool_exe" pack - <"$fixtures/mixed.ini" >"$work/packed.sas"
{ printf VSCHEDULER; cat "$fixtures/mixed.ini"; } >"$work/plain.sas"
cp "$fixtures/mixed.ini" "$work/bare.ini"
wine_run "$sastool_exe" list - <"$work/packed.sas" >"$work/expected-list"
check "sastool lists the fixture" test -s "$work/expected-list"

# Each form makes an own task whose fields and actions read back.
for form in packed.sas plain.sas bare.ini; do
  name="Mt ${form%%.*}"
  if ! create "$name" "$(winpath "$work/$form")"; then
    fail "$form: create failed ($(head -c 200 "$work/err"))"
    continue
  fi
  check "$form: the work item file" test -f "$tasks/$name.job"
  if ! show "$name"; then
    fail "$form: show failed ($(head -c 200 "$work/err"))"
    continue
  fi
  check "$form: creator" test "$(field Creator)" = VemkoScheduler
  check "$form: parameters" test "$(field Parameters)" = "-run \"$name\""
  check "$form: the data's task name" test "$(field Name)" = "$name"
  check "$form: flags" test "$(field Flags)" = 0x00000000
  check "$form: no triggers" test -z "$(triggers)"
  actions >"$work/actions"
  check "$form: actions as sastool lists them" cmp -s "$work/actions" "$work/expected-list"
  # The short form of scheduler.exe, in the short form of its folder.
  app=$(field Application)
  folder=$(field 'Working directory')
  check "$form: working directory ends in a backslash ($folder)" test "${folder: -1}" = '\'
  check "$form: application in the working directory ($app)" test "${app:0:${#folder}}" = "$folder"
  rest=${app:${#folder}}
  check "$form: application is an .exe file name ($rest)" \
    grep -qiE '^[^\\ ]{1,8}\.EXE$' <<<"$rest"
done

# Flags, the creator and the comment as given.
cases=(
  "0x00000004|VemkoScheduler|--disabled"
  "0x00002000|VemkoScheduler|--logged-on-only"
  "0x00002004|VemkoScheduler|--disabled|--logged-on-only"
  "0x00000000|Someone Else|--creator|Someone Else|--comment|not ours"
)
for c in "${cases[@]}"; do
  IFS='|' read -r -a f <<<"$c"
  flags=${f[0]} creator=${f[1]}
  if create MtFlags "$(winpath "$work/packed.sas")" --replace "${f[@]:2}" && show MtFlags; then
    check "${f[*]:2}: flags" test "$(field Flags)" = "$flags"
    check "${f[*]:2}: creator" test "$(field Creator)" = "$creator"
  else
    fail "${f[*]:2}: create or show failed ($(head -c 200 "$work/err"))"
  fi
done
check "the comment" test "$(field Comment)" = "not ours"

# Triggers, in the order given, described in the user's time format.
t='0?%s(:00)?( [AP]M)?'
cases=(
  "daily:10:30|^At $(printf "$t" 10:30) every day, starting .+$"
  "daily:10:30/2|^At $(printf "$t" 10:30) every 2 days, starting .+$"
  "weekly:07:05:mon,fri|^At $(printf "$t" 7:05) every Mon, Fri of every week, starting .+$"
  "once:2027-03-04@21:05|^At $(printf "$t" '(9|21):05') on .*2027.*$"
)
all=()
for c in "${cases[@]}"; do
  when=${c%%|*} want=${c#*|}
  all+=(--trigger "$when")
  if create MtTrigger "$(winpath "$work/packed.sas")" --replace --trigger "$when" && show MtTrigger; then
    got=$(triggers)
    check "$when: described as $want (got: $got)" grep -qxE "$want" <<<"$got"
  else
    fail "$when: create or show failed ($(head -c 200 "$work/err"))"
  fi
done
if create MtTrigger "$(winpath "$work/packed.sas")" --replace "${all[@]}" --trigger none && show MtTrigger; then
  check "all triggers, one line each" test "$(triggers | wc -l)" = "${#cases[@]}"
  n=0
  while IFS= read -r line; do
    want=${cases[$n]#*|}
    check "trigger $((n + 1)) in order" grep -qxE "$want" <<<"$line"
    n=$((n + 1))
  done < <(triggers)
else
  fail "several triggers: create or show failed ($(head -c 200 "$work/err"))"
fi

# An existing task stays unless --replace is given.
create MtTwice "$(winpath "$work/packed.sas")" --comment first
create MtTwice "$(winpath "$work/packed.sas")" --comment second
check "create over an existing task fails" test $? = 1
check "... saying so" grep -q exists "$work/err"
show MtTwice
check "... and leaves it as it was" test "$(field Comment)" = first
create MtTwice "$(winpath "$work/packed.sas")" --comment third --replace
show MtTwice
check "--replace overwrites it" test "$(field Comment)" = third

# A name with a dot, which Wine's Task Scheduler takes in no call.
dotted="Mt Backup 1.2"
create "$dotted" "$(winpath "$work/packed.sas")" --trigger daily:10:30
check "dotted name: created" test -f "$tasks/$dotted.job"
check "dotted name: nothing under a stand-in name" test ! -e "$tasks/Mt Backup 1_2.job"
show "$dotted"
check "dotted name: parameters" test "$(field Parameters)" = "-run \"$dotted\""
check "dotted name: the data's task name" test "$(field Name)" = "$dotted"
check "dotted name: trigger" test "$(triggers | wc -l)" = 1

# delete removes the work item; then there is nothing to show or delete.
for name in "$dotted" MtTwice; do
  check "$name: delete" maketask delete "$name" </dev/null
  check "$name: file gone" test ! -e "$tasks/$name.job"
  maketask show "$name" >/dev/null 2>&1 </dev/null
  check "$name: show after delete fails" test $? = 1
  maketask delete "$name" >/dev/null 2>&1 </dev/null
  check "$name: second delete fails" test $? = 1
done

# Bad input: exit 1, a message, and no work item.
printf 'not an action list\r\n' >"$work/junk.txt"
cases=(
  "an invalid action file|$(winpath "$work/junk.txt")"
  "a missing action file|$(winpath "$work/no-such-file.sas")"
  "an hour past 23|$(winpath "$work/packed.sas")|--trigger|daily:24:00"
  "no week days|$(winpath "$work/packed.sas")|--trigger|weekly:10:00:"
  "an unknown day|$(winpath "$work/packed.sas")|--trigger|weekly:10:00:mon,funday"
  "an unknown kind|$(winpath "$work/packed.sas")|--trigger|monthly:10:00"
  "an unknown option|$(winpath "$work/packed.sas")|--frobnicate"
)
for c in "${cases[@]}"; do
  IFS='|' read -r -a f <<<"$c"
  create MtBad "${f[@]:1}"
  rc=$?
  check "${f[0]}: exit 1 (got $rc)" test $rc = 1
  check "${f[0]}: a message" test -s "$work/err"
  check "${f[0]}: no work item" test ! -e "$tasks/MtBad.job"
done
maketask create MtBad "$(winpath "$work/packed.sas")" >/dev/null 2>&1 </dev/null
check "no --program: exit 1" test $? = 1
check "no --program: no work item" test ! -e "$tasks/MtBad.job"

echo "maketask: $passed passed, $failed failed"
[ "$failed" = 0 ]
