#!/usr/bin/env bash
# Tests sastool from outside: the exit codes, the byte-exact outputs, the
# interplay with the bzip2 command, and hostile inputs.
#
#   sastool-test.sh [--quick] COMMAND...
#   sastool-test.sh [--quick] --wine SASTOOL.EXE
#
# COMMAND is how to start sastool, e.g. build/tools/sastool/sastool. With
# --wine, sastool.exe runs through the Wine harness (SCHED_WINE_ENV and
# SCHED_WINE_STATE name it). --quick leaves out the long loops over random
# and truncated inputs.
set -u

quick=0
if [ "${1:-}" = --quick ]; then quick=1; shift; fi
[ $# -ge 1 ] || { echo "usage: $0 [--quick] COMMAND..." >&2; exit 2; }
if [ "$1" = --wine ]; then
  tool=(bash "${SCHED_WINE_ENV:?}" run "${SCHED_WINE_STATE:?}" "$2")
else
  tool=("$@")
fi
here=$(cd "$(dirname "$0")" && pwd)
fixtures="$here/../fixtures"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

# Runs sastool with a time limit; sets rc, output in $work/out, errors in $work/err.
sas() {
  timeout 60 "${tool[@]}" "$@" >"$work/out" 2>"$work/err"
  rc=$?
}
sas_in() { # FILE-for-stdin ARGS...
  local input=$1; shift
  timeout 60 "${tool[@]}" "$@" <"$input" >"$work/out" 2>"$work/err"
  rc=$?
}
expect_rc() { # WANT WHAT
  if [ "$rc" = "$1" ]; then pass; else fail "$2: exit $rc, expected $1 ($(head -c 200 "$work/err"))"; fi
}
same_bytes() { # FILE1 FILE2 WHAT
  if cmp -s "$1" "$2"; then pass; else fail "$3: output differs"; fi
}
# Replaces the first 10 bytes of a file.
header() { # FILE TEXT OUT
  { printf '%s' "$2"; tail -c +11 "$1"; } >"$3"
}

# Usage and unreadable files.
sas; expect_rc 2 "no arguments"
sas frobnicate "$fixtures/mixed.ini"; expect_rc 2 "unknown command"
sas list; expect_rc 2 "missing file"
sas list "$work/does-not-exist.sas"; expect_rc 2 "missing input file"
if [ -s "$work/err" ] && [ "$(wc -l <"$work/err")" -le 1 ]; then pass; else fail "unreadable file: one-line message"; fi

# pack gives VSCHEDULER and the rest of a bzip2 stream of the text.
sas pack "$fixtures/mixed.ini"; expect_rc 0 "pack"
cp "$work/out" "$work/mixed.sas"
if [ "$(head -c 10 "$work/mixed.sas")" = VSCHEDULER ]; then pass; else fail "pack: magic"; fi
header "$work/mixed.sas" 'BZh91AY&SY' "$work/mixed.bz2"
if bzip2 -dc "$work/mixed.bz2" >"$work/decoded" 2>/dev/null; then pass; else fail "bzip2 cannot decode the packed stream"; fi
same_bytes "$work/decoded" "$fixtures/mixed.ini" "bzip2 -dc of the packed stream"

# Standard input works like a file, and unpack gives the text back.
sas_in "$work/mixed.sas" unpack -; expect_rc 0 "unpack -"
same_bytes "$work/out" "$fixtures/mixed.ini" "unpack of pack"

# A file made by the bzip2 command with its header replaced by the magic.
bzip2 -9c "$fixtures/mixed.ini" >"$work/cmd.bz2"
header "$work/cmd.bz2" VSCHEDULER "$work/cmd.sas"
sas unpack "$work/cmd.sas"; expect_rc 0 "unpack of a bzip2-made file"
same_bytes "$work/out" "$fixtures/mixed.ini" "unpack of a bzip2-made file"
# ... and the plain bzip2 stream itself, whose header is never compared.
sas list "$work/cmd.bz2"; expect_rc 0 "list of a plain bzip2 stream"

# list and normalize, byte for byte.
sas list "$work/mixed.sas"; expect_rc 0 "list"
same_bytes "$work/out" "$fixtures/mixed.list.txt" "list"
sas_in "$work/mixed.sas" normalize -; expect_rc 0 "normalize"
same_bytes "$work/out" "$fixtures/mixed.normalized.ini" "normalize"
# Normalizing is stable: the normalized text packs and normalizes to itself.
sas pack "$fixtures/mixed.normalized.ini"; cp "$work/out" "$work/norm.sas"
sas normalize "$work/norm.sas"; same_bytes "$work/out" "$fixtures/mixed.normalized.ini" "normalize twice"

# The plain form: the magic followed by the text.
{ printf VSCHEDULER; cat "$fixtures/mixed.ini"; } >"$work/plain.sas"
sas list "$work/plain.sas"; expect_rc 0 "list of the plain form"
same_bytes "$work/out" "$fixtures/mixed.list.txt" "list of the plain form"

# No valid list: exit 1 with the message.
invalid() { # FILE WHAT
  sas list "$1"; expect_rc 1 "$2 (list)"
  if grep -q '^It is not a valid scheduler actions file\.' "$work/err"; then pass; else fail "$2: message"; fi
  sas normalize "$1"; expect_rc 1 "$2 (normalize)"
}
invalid "$fixtures/mixed.ini" "plain INI text without the magic"
: >"$work/empty"; invalid "$work/empty" "empty file"
printf VSCHED >"$work/short"; invalid "$work/short" "file shorter than the magic"
printf 'VSCHEDULER[Main]\r\nCount=0\r\n' >"$work/zero"; invalid "$work/zero" "Count=0"

# Hostile inputs: each must end with 0, 1 or 2, in bounded time and memory.
hostile() { # FILE WHAT
  local cmd
  for cmd in unpack list normalize; do
    ( ulimit -v 1000000 2>/dev/null; timeout 60 "${tool[@]}" "$cmd" "$1" >/dev/null 2>&1 )
    rc=$?
    case $rc in 0|1|2) pass ;; *) fail "$2 ($cmd): exit $rc" ;; esac
  done
}
# Megabytes of zeros compressed, behind the magic.
head -c 8000000 /dev/zero | bzip2 -9c >"$work/zeros.bz2"
header "$work/zeros.bz2" VSCHEDULER "$work/zeros.sas"
hostile "$work/zeros.sas" "8 MB of zeros"
sas list "$work/zeros.sas"; expect_rc 1 "8 MB of zeros"
# A stream that unpacks to more than any list could hold is refused.
head -c 100000000 /dev/zero | tr '\0' ' ' | bzip2 -9c >"$work/bomb.bz2"
{ printf VSCHEDULER; tail -c +11 "$work/bomb.bz2"; } >"$work/bomb.sas"
hostile "$work/bomb.sas" "100 MB of blanks"
sas unpack "$work/bomb.sas"; expect_rc 0 "unpack of an oversized stream"
# Refused streams fall back to the plain reading: bytes 10 on, up to a zero.
tail -c +11 "$work/bomb.sas" | { IFS= read -r -d '' x; printf '%s' "$x"; } >"$work/bomb.plain"
same_bytes "$work/out" "$work/bomb.plain" "oversized stream: plain reading"

if [ $quick = 0 ]; then
  size=$(stat -c %s "$work/mixed.sas")
  for ((n = 0; n < size; n += 7)); do
    head -c "$n" "$work/mixed.sas" >"$work/trunc"
    hostile "$work/trunc" "truncated at $n"
  done
  for seed in 1 2 3 4 5 6 7 8; do
    perl -e 'srand($ARGV[0]); print "VSCHEDULER"; print chr(int(rand(256))) for 1..(int(rand(4000)))' "$seed" >"$work/random"
    hostile "$work/random" "random bytes, seed $seed"
    # A valid stream with random damage in the middle.
    cp "$work/mixed.sas" "$work/damaged"
    perl -e 'srand($ARGV[0]); $f=$ARGV[1]; open(F,"+<",$f) or die; binmode F; $s=-s $f;
             for (1..3) { seek(F, 10+int(rand($s-10)), 0); print F chr(int(rand(256))); } close F' \
      "$seed" "$work/damaged"
    hostile "$work/damaged" "damaged stream, seed $seed"
  done
fi

echo "sastool: $passed passed, $failed failed"
[ $failed = 0 ]
