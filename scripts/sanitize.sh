#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program and every test with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ (or the folder given as $1) and runs the tests headless. Any sanitizer report
# (memory error, undefined behaviour, a leak of ours) fails the run. The printing test that
# needs a CUPS server is left out.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-sanitize}
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all"
# -O1 with line tables only: reports still name the line, and the build takes less time.
"$top/scripts/setup.sh"
# The sanitizers do the checking here, so the packages' hardening flags stay off.
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=None -DLISTWRIGHT_HARDENING=OFF \
  -DCMAKE_CXX_FLAGS="-O1 -g1 $sanitizers -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
cd "$build"
"$top/scripts/ctest-run.sh" -E cupsprint
