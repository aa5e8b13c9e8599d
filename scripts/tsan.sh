#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program and every test with ThreadSanitizer into build-tsan/ (or the folder given
# as $1) and runs the tests headless. Any data race or other thread report fails the run. The
# printing test that needs a CUPS server is left out.
#
# Qt itself is not built with ThreadSanitizer, so the sanitizer cannot see the locks and atomics
# inside Qt's libraries. scripts/tsan.supp silences reports whose every frame lies in Qt's own
# code and nothing else, if it has any entries: a race with a frame of ours still fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-tsan}
sanitizers="-fsanitize=thread"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# -O1 with line tables only: reports still name the line, and the build takes less time.
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=None "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="-O1 -g1 $sanitizers -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
cmake --build "$build" -j"$(nproc)"

# halt_on_error: the first report ends the test program, so ctest counts it as failed.
# die_after_fork=0: the tests start programs (find, unshare, setpriv, themselves), and QProcess
# forks from a process with threads; the child only execs.
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:die_after_fork=0"
if [ -f "$top/scripts/tsan.supp" ]; then
  # Tests that run themselves again as nobody read it too, wherever the project lives (under
  # /root, for one): a readable copy in a temporary folder, removed at the end.
  supp=$(mktemp -d "${TMPDIR:-/tmp}/listwright-tsan.XXXXXX")
  trap 'rm -rf "$supp"' EXIT
  chmod 0755 "$supp"
  install -m 0644 "$top/scripts/tsan.supp" "$supp/tsan.supp"
  TSAN_OPTIONS="$TSAN_OPTIONS:suppressions=$supp/tsan.supp"
fi
cd "$build"
"$top/scripts/ctest-run.sh" -E cupsprint
