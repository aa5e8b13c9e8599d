#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, checks it with lintian (any error or warning, or any hardening tag
# at the informational level, fails), installs it with apt-get as a user would (but without the
# Wayland plugin it recommends, which would stay behind), checks that the
# program, its menu entry, icons, manual page, copyright and changelog are in place and that the
# program starts (offscreen, ended after five seconds), and removes the package again. A
# listwright package that was installed before is put back as it was (saved with dpkg-repack,
# reinstalled with dpkg, marked automatic again if it was). Run as root on Debian 12. It packs
# the program of the usual build folder (build/, or the folder given as $1), so after
# scripts/test.sh nothing is compiled again.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}

"$top/scripts/setup.sh" package
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target listwright listwright_docs -j"$(nproc)" >/dev/null
rm -f "$build"/listwright_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/listwright_*.deb)
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Depends Recommends

# lintian refuses nothing as root, but says it prefers not to be; that note is not a finding.
# It leaves a cache file of its own in the temporary folder at every run: it gets one of ours.
echo "lintian:"
lintian_tmp=$(mktemp -d)
findings=$(TMPDIR=$lintian_tmp lintian -I --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges is not recommended' || true)
rm -rf "$lintian_tmp"
[ -z "$findings" ] || echo "$findings"
if grep -Eq '^(E|W): |^I: [^ ]+: hardening-' <<<"$findings"; then
  echo "lintian found errors, warnings or missing hardening in the package"
  exit 1
fi

tmp=$(mktemp -d)
export DEBIAN_FRONTEND=noninteractive
# A listwright the machine had before: saved as a package file, removed for the test, and put
# back at the end, also when the test fails.
before=$(dpkg-query -W -f='${db:Status-Status}' listwright 2>/dev/null || true)
auto=no
restore() {
  dpkg -r listwright >/dev/null 2>&1 || true
  if compgen -G "$tmp/listwright_*.deb" >/dev/null; then
    dpkg -i "$tmp"/listwright_*.deb >/dev/null
    [ "$auto" = no ] || apt-mark auto listwright >/dev/null
    echo "Put back listwright $(dpkg-query -W -f='${Version}' listwright)"
  fi
  rm -rf "$tmp"
}
trap restore EXIT
if [ "$before" = installed ]; then
  apt-mark showauto | grep -qx listwright && auto=yes
  (cd "$tmp" && dpkg-repack listwright >/dev/null)
  echo "Saved the installed listwright $(dpkg-query -W -f='${Version}' listwright) to put it back afterwards"
  dpkg -r listwright >/dev/null
fi
# Without what it only recommends (the Wayland plugin), which removing the package would leave behind.
apt-get install -y -q --no-install-recommends "$deb" >/dev/null

for f in /usr/bin/listwright /usr/libexec/listwright/listwright-window /usr/share/applications/listwright.desktop \
         /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/listwright.png \
         /usr/share/man/man1/listwright.1.gz \
         /usr/share/doc/listwright/copyright /usr/share/doc/listwright/changelog.Debian.gz; do
  [ -e "$f" ] || { echo "missing after install: $f"; exit 1; }
done
grep -qx 'Icon=listwright' /usr/share/applications/listwright.desktop
grep -qx 'Categories=Utility;' /usr/share/applications/listwright.desktop
if [ -f "$top/scripts/validate-desktop-files.sh" ]; then
  bash "$top/scripts/validate-desktop-files.sh" /usr
fi

# The listing without a window, then the window's program through the program the user starts:
# it runs until it is ended (timeout's 124 means it was still running after 5 s).
listing=$(/usr/bin/listwright --list /usr/share/doc/listwright)
grep -q 'changelog.Debian.gz' <<<"$listing" || { echo "listwright --list did not list its own documentation"; exit 1; }

status=0
(cd "$tmp" && QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/listwright) || status=$?
if [ "$status" -ne 124 ]; then
  echo "listwright ended by itself with status $status instead of running until it was closed"
  exit 1
fi
echo "Package test passed: lintian clean, installed, started, removed."
