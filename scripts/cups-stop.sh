#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Stops the private CUPS scheduler that cups-start.sh started in FOLDER (the folder it printed)
# and removes that folder. Nothing else is touched: a folder without the start script's mark is
# left alone, and only the process it recorded is ended.
set -euo pipefail

dir=${1:?usage: cups-stop.sh FOLDER}
[ -f "$dir/.listwright-cups" ] || exit 0
if [ -f "$dir/cupsd.pid" ]; then
  pid=$(cat "$dir/cupsd.pid")
  # Running: still there as the scheduler, and not a zombie that nobody has reaped yet.
  running() {
    [ -n "$pid" ] && [ "$(cat /proc/"$pid"/comm 2>/dev/null)" = cupsd ] \
      && grep -qs '^State:[[:space:]]*[^Z]' /proc/"$pid"/status
  }
  if running; then
    kill "$pid"
    for _ in $(seq 1 50); do
      running || break
      sleep 0.1
    done
    if running; then kill -9 "$pid"; fi
  fi
fi
rm -rf "$dir"
