#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts one-line faults into a scratch copy of the tree, one at a time, rebuilds it incrementally,
# runs the tests and prints which tests caught each fault, or "NOT CAUGHT". The working tree is
# never touched: the copy lives in a temporary folder (or the folder given with --scratch, which
# is kept for the next run so that its build stays warm).
#
#   scripts/fault-check.sh [--scratch DIR] [--only REGEX] [--tests REGEX] [--first] [FAULT-FILE...]
#
# --only keeps the faults whose file and text match; --tests runs (and builds) only the tests
# whose names match, for a quick look at what a group of tests catches. --first answers only
# "caught or not": the tests run one at a time, quickest first, until one fails, and the copy is
# built with Ninja and lld where they are installed and without debug information; the whole
# list then takes a fraction of the time.
#
# A fault file (default scripts/faults.txt) holds blocks separated by blank lines; "#" starts a
# comment line. Each block is three lines:
#   file:    a path below the top folder
#   find:    an exact text that occurs once in that file (a whole line or part of one)
#   replace: what it becomes (may be empty)
# The printing test that needs a CUPS server runs only when LISTWRIGHT_CUPS_UP=1.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
scratch="" only="" tests="" first=0 files=()
while [ $# -gt 0 ]; do
  case $1 in
    --scratch) scratch=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --tests) tests=$2; shift 2 ;;
    --first) first=1; shift ;;
    *) files+=("$1"); shift ;;
  esac
done
[ ${#files[@]} -gt 0 ] || files=("$top/scripts/faults.txt")
own_scratch=0
if [ -z "$scratch" ]; then
  scratch=$(mktemp -d /tmp/listwright-faults.XXXXXX)
  own_scratch=1
fi
# The tests make their temporary folders in one of this run's own, removed at the end: a test
# that a fault makes crash, or that is stopped at its time limit, cannot clean up after itself.
# Open to all, as /tmp is, for the tests that run as nobody. A mount a test left below it (a
# hung file system of the hung-mount test) is unmounted first; nothing is removed across one.
tests_tmp=$(mktemp -d "${TMPDIR:-/tmp}/listwright-fault-tests.XXXXXX")
chmod 1777 "$tests_tmp"
clean_up() {
  local m
  while read -r _ m _; do
    case $m in "$tests_tmp"/*) umount -l "$m" 2>/dev/null || fusermount -uz "$m" 2>/dev/null || true ;; esac
  done </proc/mounts
  rm -rf --one-file-system "$tests_tmp"
  [ "$own_scratch" = 0 ] || rm -rf "$scratch"
}
trap clean_up EXIT
export TMPDIR=$tests_tmp
exclude=cupsprint
[ "${LISTWRIGHT_CUPS_UP:-0}" = 1 ] && exclude='^$'

# The copy: every file git knows of or would add, as it stands in the working tree.
mkdir -p "$scratch/src"
# A kept scratch copy takes only the files that changed, stamped now, so that its build (whose
# outputs may be newer than an edit made in the working tree) rebuilds what they touch.
rm -rf "$scratch/incoming"
mkdir -p "$scratch/incoming"
(cd "$top" && git ls-files -z -co --exclude-standard | tar --null -T - --ignore-failed-read -cf -) | tar -xf - -C "$scratch/incoming"
(cd "$scratch/incoming" && find . -type f -print0) | while IFS= read -r -d '' f; do
  cmp -s "$scratch/incoming/$f" "$scratch/src/$f" || { mkdir -p "$(dirname "$scratch/src/$f")"; cp "$scratch/incoming/$f" "$scratch/src/$f"; }
done
rm -rf "$scratch/incoming"
config=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "$first" = 1 ]; then
  config=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG")
  [ -e "$scratch/build/CMakeCache.txt" ] || ! command -v ninja >/dev/null || config+=(-G Ninja)
  ! command -v ld.lld >/dev/null || config+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
fi
cmake -S "$scratch/src" -B "$scratch/build" "${config[@]}" >/dev/null
targets=()
build() { cmake --build "$scratch/build" -j"$(nproc)" ${targets[@]+--target "${targets[@]}"} >"$scratch/build.log" 2>&1; }
build || { echo "the unchanged copy does not build: see $scratch/build.log"; cat "$scratch/build.log" | tail -20; exit 2; }
if [ -n "$tests" ]; then
  mapfile -t targets < <(cd "$scratch/build" && ctest -N | sed -n 's/^ *Test *#[0-9]*: *//p' | grep -E -- "$tests")
  [ ${#targets[@]} -gt 0 ] || { echo "no test matches $tests"; exit 2; }
  targets+=(listwright) # the tests also run the program itself (and, through it, the window's)
fi

run_tests() { # prints the names of the failing tests
  (cd "$scratch/build" && QT_QPA_PLATFORM=offscreen ctest -j2 --timeout 240 -E "$exclude" ${tests:+-R "$tests"} >"$scratch/ctest.log" 2>&1) || true
  sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$scratch/ctest.log" | tr '\n' ' '
}
baseline=$(run_tests)
[ -z "$baseline" ] || { echo "tests fail without any fault: $baseline"; exit 2; }
if [ "$first" = 1 ]; then
  # The tests by the time each took in the run above, quickest first.
  mapfile -t quickest < <(sed -n 's/^.*Test *#[0-9]*: \([^ ]*\) \.*.*Passed *\([0-9.]*\) sec.*/\2 \1/p' \
                          "$scratch/ctest.log" | sort -n | cut -d' ' -f2)
  run_tests() {
    local t
    for t in "${quickest[@]}"; do
      (cd "$scratch/build" && QT_QPA_PLATFORM=offscreen ctest --timeout 240 -R "^$t\$" >"$scratch/ctest.log" 2>&1) ||
        { printf '%s ' "$t"; return; }
    done
  }
fi

python3 - "${files[@]}" >"$scratch/faults.tsv" <<'PY'
import sys
for name in sys.argv[1:]:
    lines = [l.rstrip('\n') for l in open(name) if not l.startswith('#')]
    blocks, cur = [], []
    for l in lines + ['']:
        if l.strip() == '':
            if cur: blocks.append(cur); cur = []
        else:
            cur.append(l)
    for b in blocks:
        fields = dict(l.split(':', 1) for l in b)
        print('\t'.join(fields[k][1:] if fields[k].startswith(' ') else fields[k]
                        for k in ('file', 'find', 'replace')))
PY

total=0 missed=0 n=0
while IFS=$'\t' read -r file find replace; do
  n=$((n + 1))
  [ -z "$only" ] || [[ "$file $find" =~ $only ]] || continue
  total=$((total + 1))
  label="#$n $file: $find"
  target="$scratch/src/$file"
  cp -p "$target" "$scratch/original"
  if ! python3 - "$target" "$find" "$replace" <<'PY'
import sys
path, find, replace = sys.argv[1:]
text = open(path, encoding='utf-8').read()
if text.count(find) != 1:
    sys.exit(1)
open(path, 'w', encoding='utf-8').write(text.replace(find, replace))
PY
  then
    echo "$label -> FAULT DOES NOT APPLY (text not found exactly once)"; missed=$((missed + 1))
  elif ! build; then
    echo "$label -> DOES NOT BUILD (not a fault the tests can judge)"; missed=$((missed + 1))
  else
    caught=$(run_tests)
    if [ -n "$caught" ]; then echo "$label -> caught by: $caught"; else echo "$label -> NOT CAUGHT"; missed=$((missed + 1)); fi
  fi
  cp -p "$scratch/original" "$target"
  touch "$target"
done <"$scratch/faults.tsv"
build
echo "$((total - missed)) of $total faults caught"
[ "$missed" -eq 0 ]
