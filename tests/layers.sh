#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The folders of src/ depend one way: the window's code includes the core's, never the other
# way round, and no two folders include each other, directly or round a circle. Includes name
# their folder from src/ ("core/scan/ByteConverter.h"); a bare name outside the folder is not
# allowed either, as it would hide where a file lives.
set -euo pipefail
src=$(cd "${1:-$(dirname "$0")/..}" && pwd)/src
status=0
back=$(grep -rn '#include "window/' "$src/core" || true)
[ -z "$back" ] || { echo "The core includes the window's code:"; echo "$back"; status=1; }
bare=$(grep -rnE '#include "[^/"]+/' "$src" | grep -vE '#include "(core|window)/' || true)
[ -z "$bare" ] || { echo "Includes that do not name core/ or window/:"; echo "$bare"; status=1; }
# One line "from to" for each folder that includes another; tsort finds a circle among them.
edges=$(grep -rHoE '#include "(core|window)/[^"]+"' "$src" |
  sed -E "s|^$src/(.*)/[^/]+:#include \"(.*)/[^/]+\"\$|\1 \2|" | awk '$1 != $2' | sort -u)
if ! loops=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null) || [ -n "$loops" ]; then
  echo "Folders that include each other:"; echo "$loops"; status=1
fi
exit "$status"
