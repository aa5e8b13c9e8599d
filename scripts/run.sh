#!/usr/bin/env bash
# Sets up, builds and starts Listwright. Without a display it starts one under Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a "$top/build/listwright"
fi
exec "$top/build/listwright"
