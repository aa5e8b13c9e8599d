#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and testing Listwright need (only what is missing), builds it and runs
# every test headless. The printing tests use a private CUPS scheduler from a temporary folder,
# which is stopped and removed at the end, also when a test fails or the run is interrupted; the
# system's printing is never touched. Exits non-zero when a test fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" test
"$top/scripts/build.sh"

cups=$("$top/scripts/cups-start.sh")
trap '"$top/scripts/cups-stop.sh" "$cups" || true' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# Every client of the run (lpstat, the program's printer list) asks the private scheduler, and
# no lpoptions default of the system's names a printer for it.
export CUPS_SERVER=$cups/cups.sock CUPS_SERVERROOT=$cups
unset PRINTER LPDEST

cd "$top/build"
"$top/scripts/ctest-run.sh" "$@"
