#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and validates the desktop files installed there.
#   tests/desktop-files.sh BUILD-FOLDER
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "${1:?usage: desktop-files.sh BUILD-FOLDER}" --prefix "$prefix" >/dev/null
bash "$(dirname "$0")/../scripts/validate-desktop-files.sh" "$prefix"
