#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a bounded time
# (FUZZ_SECONDS, 20 by default) from its seed corpus in tests/fuzz/corpus. A crash, a sanitizer
# report or a broken invariant fails the run; the input that caused it is left in
# build-fuzz/findings/. New inputs the fuzzer finds go to build-fuzz/, never into the sources.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build-fuzz
seconds=${FUZZ_SECONDS:-20}
"$top/scripts/setup.sh" fuzz
cxx=$(command -v clang++ || command -v clang++-14)
CC=${cxx/++/} CXX=$cxx cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLISTWRIGHT_FUZZ=ON -DLISTWRIGHT_HARDENING=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_indentation fuzz_titlecheck fuzz_filepattern fuzz_scanfile

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$build/findings"
for name in indentation titlecheck filepattern scanfile; do
  mkdir -p "$build/corpus/$name"
  echo "fuzzing $name for $seconds s"
  # A pattern of any shape and length is matched in at most name x pattern steps: long inputs,
  # and one second at most for each.
  limits=(-max_len=512 -timeout=10)
  [ "$name" = filepattern ] && limits=(-max_len=4096 -timeout=1)
  # A scan file is read in one pass, however it nests: long inputs, one second at most.
  [ "$name" = scanfile ] && limits=(-max_len=65536 -timeout=1)
  "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" "${limits[@]}" -print_final_stats=1 \
    -artifact_prefix="$build/findings/$name-" "$build/corpus/$name" "$top/tests/fuzz/corpus/$name" 2>&1 | tail -15
done
