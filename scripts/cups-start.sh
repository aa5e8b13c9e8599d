#!/usr/bin/env bash
# Starts a CUPS server for the printing tests, unless one is already running, and adds the
# print queues they use: three PDF queues (cups-pdf backend), "Listwright-PDF" the default.
# The server keeps every spooled job file, so a test can read the document it received.
# Safe to run again: a running server and existing queues are left as they are.
set -euo pipefail

queues=(Listwright-Draft Listwright-PDF Listwright-Proof)
default_queue=Listwright-PDF
pidfile=/run/listwright-cupsd.pid
conf=/etc/cups/cupsd.conf

running() { lpstat -r 2>/dev/null | grep -q 'is running'; }

if ! running; then
  # Spooled documents stay on disk after their jobs end.
  if grep -q '^PreserveJobFiles' "$conf"; then
    sed -i 's/^PreserveJobFiles.*/PreserveJobFiles Yes/' "$conf"
  else
    printf 'PreserveJobFiles Yes\n' >>"$conf"
  fi
  mkdir -p /run/cups /var/spool/cups/tmp /var/log/cups
  # In the foreground of a background job, so that its own process id is known and the stop
  # script ends this server and no other.
  setsid cupsd -f </dev/null >/dev/null 2>&1 &
  echo $! >"$pidfile"
  for _ in $(seq 1 100); do
    running && break
    sleep 0.1
  done
  if ! running; then
    echo "cups-start: the CUPS server did not start" >&2
    exit 1
  fi
fi

# The cups-pdf driver's description, as the server names it.
model=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt\.ppd/ { print $1; exit }')
if [ -z "$model" ]; then
  echo "cups-start: the cups-pdf driver (printer-driver-cups-pdf) is not installed" >&2
  exit 1
fi

for q in "${queues[@]}"; do
  if ! lpstat -p "$q" >/dev/null 2>&1; then
    # A job the backend fails on is dropped rather than stopping the queue.
    # (lpadmin warns that drivers are deprecated; its output is shown only when it fails.)
    if ! out=$(lpadmin -p "$q" -E -v cups-pdf:/ -m "$model" -o printer-error-policy=abort-job 2>&1); then
      echo "$out" >&2
      exit 1
    fi
  fi
done
lpadmin -d "$default_queue"
