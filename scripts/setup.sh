#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Listwright need, and only
# those that are missing. Run as root on Debian 12.
set -euo pipefail

packages=(
  build-essential cmake
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-qpa-plugins libgl-dev libxcb1-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  dpkg-dev file util-linux
  clang libclang-rt-14-dev
)

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
