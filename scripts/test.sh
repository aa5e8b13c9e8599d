#!/usr/bin/env bash
# Sets up, builds and runs every test headless, with a CUPS server of its own for the
# printing tests. Exits non-zero when a test fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"

if [ -x "$top/scripts/cups-start.sh" ]; then
  "$top/scripts/cups-start.sh"
  trap '"$top/scripts/cups-stop.sh" || true' EXIT
fi

cd "$top/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
