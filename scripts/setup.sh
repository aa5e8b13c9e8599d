#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building and running Listwright need, and those of the
# groups named, and only those that are missing. Run as root on Debian 12:
#   setup.sh            building and running the program
#   setup.sh test       and the tests: the CUPS scheduler and its clients, for the private
#                       scheduler of cups-start.sh, and poppler-utils, which reads back the
#                       documents it spooled, the checkers of the installed desktop files,
#                       fusepy and fuse3 for hangfs.py, the slow or hung file system, and
#                       ncdu, gdu and python3, which read the listing's JSON and CSV back
#   setup.sh package    and building and checking the Debian package
#   setup.sh fuzz       and clang with its libFuzzer runtime, and the C library's debugging
#                       symbols, which name its inner functions in the sanitizers' reports
#                       (scripts/tsan.supp suppresses one of them by name)
#   setup.sh fresh      and mmdebstrap and git, for fresh-machine.sh
# Nothing here adds, changes or makes default a system printer: the private scheduler's queues
# use the project's own PPD (scripts/cups-test.ppd), and no driver package, which
# could add a queue to a running system scheduler, is installed.
set -euo pipefail

run=(
  build-essential cmake
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-qpa-plugins libgl-dev libxcb1-dev zlib1g-dev
  fonts-liberation fonts-dejavu-core
)
test=(cups-daemon cups-client poppler-utils desktop-file-utils appstream man-db python3-fusepy fuse3 ncdu gdu python3)
package=(dpkg-dev file lintian dpkg-repack)
fuzz=(clang libclang-rt-14-dev libc6-dbg)
fresh=(mmdebstrap git)

packages=("${run[@]}")
for group in "$@"; do
  case "$group" in
    test) packages+=("${test[@]}") ;;
    package) packages+=("${package[@]}") ;;
    fuzz) packages+=("${fuzz[@]}") ;;
    fresh) packages+=("${fresh[@]}") ;;
    *) echo "usage: setup.sh [test] [package] [fuzz] [fresh]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
