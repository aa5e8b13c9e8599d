#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the program's lines, the tests' lines and their ratio: non-blank, non-comment lines of
# the .cpp and .h files under src/ and tests/ (the fuzz targets included). The house limit is 0.36.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  find "$1" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat |
    grep -v '^[[:space:]]*$' | grep -cv '^[[:space:]]*//'
}
code=$(count src)
tests=$(count tests)
awk -v c="$code" -v t="$tests" 'BEGIN { printf "code %d  tests %d  ratio %.3f\n", c, t, t / c }'
