#!/usr/bin/env bash
# Stops the private CUPS scheduler that cups-start.sh started in FOLDER (the folder it printed)
# and removes that folder. Nothing else is touched: a folder without the start script's mark is
# left alone, and only the process it recorded is ended.
set -euo pipefail

dir=${1:?usage: cups-stop.sh FOLDER}
[ -f "$dir/.listwright-cups" ] || exit 0
if [ -f "$dir/cupsd.pid" ]; then
  pid=$(cat "$dir/cupsd.pid")
  if [ -n "$pid" ] && [ "$(cat /proc/"$pid"/comm 2>/dev/null)" = cupsd ]; then
    kill "$pid"
    for _ in $(seq 1 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
  fi
fi
rm -rf "$dir"
