#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts a private CUPS scheduler for the printing tests and prints its folder, a new temporary
# folder that holds its configuration, spool, logs and socket. Clients reach it with
#   CUPS_SERVER=FOLDER/cups.sock CUPS_SERVERROOT=FOLDER
# It listens on that socket only: the system's scheduler, its configuration, its queues and its
# default printer are never touched. scripts/cups-stop.sh FOLDER stops it and removes the folder.
#
# Its queues, "Listwright-PDF" (A4, its default) and "Listwright-Letter", use the project's own
# test printer description (cups-test.ppd: whole-sheet A4 and US Letter, PDF taken as it is, no
# driver package needed) and send their jobs to file:///dev/null. Every spooled document stays
# in FOLDER/spool as d<job id>-001, so a test can read the PDF it received.
set -euo pipefail

dir=$(mktemp -d "${TMPDIR:-/tmp}/listwright-cups.XXXXXX")
socket=$dir/cups.sock
fail() {
  echo "cups-start: $*" >&2
  [ -f "$dir/cupsd.log" ] && tail -n 20 "$dir/cupsd.log" >&2
  "$(dirname "$0")/cups-stop.sh" "$dir" || true
  exit 1
}
# The scheduler runs its filters as "lp", which must reach the spool.
chmod 0755 "$dir"
mkdir -p "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/ppd"
touch "$dir/.listwright-cups"

cat >"$dir/cupsd.conf" <<EOF
Listen $socket
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
LogLevel warn
PreserveJobFiles Yes
PreserveJobHistory Yes
MaxJobs 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$dir/cups-files.conf" <<EOF
ServerRoot $dir
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/cupsd.log
AccessLog $dir/access.log
PageLog $dir/page.log
FileDevice Yes
User lp
Group lp
SystemGroup root
EOF

# In the foreground of a background job, so that its own process id is known and the stop
# script ends this scheduler and no other.
setsid cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" </dev/null >>"$dir/cupsd.log" 2>&1 &
echo $! >"$dir/cupsd.pid"
export CUPS_SERVER=$socket CUPS_SERVERROOT=$dir
for _ in $(seq 1 100); do
  lpstat -r 2>/dev/null | grep -q 'is running' && break
  sleep 0.1
done
lpstat -r 2>/dev/null | grep -q 'is running' || fail "the private CUPS scheduler did not start"

ppd=$(cd "$(dirname "$0")" && pwd)/cups-test.ppd
# A job the filters fail on is dropped rather than stopping the queue. (lpadmin warns that
# drivers are deprecated; its output is shown only when it fails.)
add() {
  out=$(lpadmin -p "$1" -E -v file:///dev/null -P "$ppd" -o printer-error-policy=abort-job -o "PageSize=$2" 2>&1) \
    || fail "lpadmin -p $1: $out"
}
add Listwright-PDF A4
add Listwright-Letter Letter
lpadmin -d Listwright-PDF
echo "$dir"
