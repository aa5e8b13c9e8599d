#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get as a user would, checks that the program,
# its menu entry and its icons are in place and that the program starts (offscreen, ended after
# five seconds), and removes the package again. Run as root on Debian 12. It packs the program
# of the usual build folder (build/, or the folder given as $1), so after scripts/test.sh
# nothing is compiled again.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target listwright -j"$(nproc)" >/dev/null
rm -f "$build"/listwright_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/listwright_*.deb)
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Depends

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q "$deb" >/dev/null
trap 'apt-get remove -y -q listwright >/dev/null' EXIT

for f in /usr/bin/listwright /usr/share/applications/listwright.desktop \
         /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/listwright.png; do
  [ -e "$f" ] || { echo "missing after install: $f"; exit 1; }
done
grep -qx 'Icon=listwright' /usr/share/applications/listwright.desktop
grep -qx 'Categories=Utility;' /usr/share/applications/listwright.desktop

# The program runs until it is ended: timeout's 124 means it was still running after 5 s.
status=0
(cd "$(mktemp -d)" && QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/listwright) || status=$?
if [ "$status" -ne 124 ]; then
  echo "listwright ended by itself with status $status instead of running until it was closed"
  exit 1
fi
echo "Package test passed: installed, started, removed."
