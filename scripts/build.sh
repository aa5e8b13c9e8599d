#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Listwright into build/ (or the folder given as $1): everything, or only
# the targets named after the folder (build.sh build listwright).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
targets=("${@:2}")
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" ${targets[@]:+--target "${targets[@]}"}
