#!/usr/bin/env bash
# Stops the CUPS server that cups-start.sh started, if it is still running. A server that
# was running before cups-start.sh is left alone.
set -euo pipefail

pidfile=/run/listwright-cupsd.pid
[ -f "$pidfile" ] || exit 0
pid=$(cat "$pidfile")
rm -f "$pidfile"
if [ -n "$pid" ] && [ "$(cat /proc/"$pid"/comm 2>/dev/null)" = cupsd ]; then
  kill "$pid"
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || exit 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
fi
