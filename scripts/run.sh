#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and running Listwright need (only what is missing), builds the
# program alone (scripts/test.sh builds the tests and the rest) and starts it. Without a display
# it says so and exits with status 1 after the build.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" "$top/build" listwright
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Built $top/build/listwright, but there is no display to show it on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  exit 1
fi
exec "$top/build/listwright"
