#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Proves the README's quick start on a machine that never saw the project: makes a minimal
# Debian 12 root with mmdebstrap (Debian's packages, from the apt sources of this machine) in a
# new temporary folder, clones the project's committed HEAD into /root/listwright there, and runs
# the README's two commands inside it as root:
#   bash scripts/run.sh     must build the program and then, as the root has no display, fail
#                           at once with its one-line message;
#   bash scripts/test.sh    must pass.
# With --ci it then runs the project's CI (.ci/run) there too, which must pass.
# It prints how long each step took. The root runs in mmdebstrap's own mount and process
# namespaces (its unshare mode), so whatever it mounts or starts ends with it; the temporary
# folder is removed at the end, also when a step fails or the run is interrupted. Run as root.
# Uncommitted changes are not part of the clone. Exits non-zero when either command misbehaves.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
ci=no
case "${1:-}" in
  --ci) ci=yes ;;
  "") ;;
  *) echo "usage: fresh-machine.sh [--ci]" >&2; exit 2 ;;
esac
[ "$(id -u)" -eq 0 ] || { echo "fresh-machine: run as root" >&2; exit 2; }
"$top/scripts/setup.sh" fresh

sources=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] && grep -Eq '^[[:space:]]*[^#[:space:]]' "$f" && sources+=("$f")
done
[ "${#sources[@]}" -gt 0 ] || { echo "fresh-machine: this machine has no apt sources" >&2; exit 1; }
commit=$(git -C "$top" rev-parse HEAD)
[ -z "$(git -C "$top" status --porcelain --untracked-files=no)" ] \
  || echo "fresh-machine: uncommitted changes are left out; the root gets $commit"

work=$(mktemp -d "${TMPDIR:-/var/tmp}/listwright-fresh.XXXXXX")
chmod 0755 "$work" # apt fetches as its own user _apt, which must reach the root
cleanup() {
  # Nothing should be mounted here once mmdebstrap has ended; unmount what is, deepest first,
  # so that removing the folder never reaches into a mounted file system.
  { findmnt -rn -o TARGET | grep -F "$work/" | sort -r | while read -r m; do umount -l "$m"; done; } || true
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The steps inside the root. Each command's output goes to the terminal and to a log; the
# no-display message must be the last line of the run command's output.
cat >"$work/inside.sh" <<'INSIDE'
set -uo pipefail
cd /root/listwright
t0=$(date +%s)
bash scripts/run.sh 2>&1 | tee /root/run.log
run_status=${PIPESTATUS[0]}
t1=$(date +%s)
bash scripts/test.sh 2>&1 | tee /root/test.log
test_status=${PIPESTATUS[0]}
t2=$(date +%s)
ok=yes
echo "fresh-machine: run.sh exited with $run_status after $((t1 - t0)) s; its last line: $(tail -n 1 /root/run.log)"
if [ "$run_status" -eq 0 ] || [ ! -x build/listwright ] || ! tail -n 1 /root/run.log | grep -q 'no display'; then
  echo "fresh-machine: run.sh should have built the program and then failed for want of a display"; ok=no
fi
echo "fresh-machine: test.sh exited with $test_status after $((t2 - t1)) s"
[ "$test_status" -eq 0 ] || ok=no
if [ "$ok" = yes ] && [ "${CI_TOO:-no}" = yes ]; then
  bash .ci/run
  ci_status=$?
  echo "fresh-machine: .ci/run exited with $ci_status after $(( $(date +%s) - t2 )) s"
  [ "$ci_status" -eq 0 ] || ok=no
fi
[ "$ok" = yes ]
INSIDE

start=$(date +%s)
status=0
mmdebstrap --mode=unshare --variant=minbase \
  --customize-hook='t=$(date +%s); echo "fresh-machine: root made in $((t - '"$start"')) s"' \
  --customize-hook="git clone -q --no-checkout '$top' \"\$1/root/listwright\" && git -C \"\$1/root/listwright\" checkout -q $commit" \
  --customize-hook="cp '$work/inside.sh' \"\$1/root/inside.sh\"" \
  --customize-hook='chroot "$1" env -i HOME=/root LANG=C.UTF-8 TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin CI_TOO='"$ci"' bash /root/inside.sh' \
  bookworm "$work/root" "${sources[@]}" || status=$?
echo "fresh-machine: $( [ "$status" -eq 0 ] && echo passed || echo FAILED ) in $(( $(date +%s) - start )) s"
exit "$status"
