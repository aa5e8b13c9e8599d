#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs ctest headless in the build folder it is started in, with the arguments given. When a
# test fails, its failed checks and any sanitizer report are printed again at the very end, so
# that a log kept only by its head and tail still names them.
set -uo pipefail
status=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@" || status=$?
log=Testing/Temporary/LastTest.log
if [ "$status" -ne 0 ] && [ -f "$log" ]; then
  echo "--- failed checks, again:" >&2
  grep -a -A6 -E '^FAIL!|^(WARNING|ERROR): (ThreadSanitizer|AddressSanitizer|LeakSanitizer)|runtime error:' "$log" \
    | grep -av 'propagateSizeHints' | head -80 >&2
fi
exit "$status"
