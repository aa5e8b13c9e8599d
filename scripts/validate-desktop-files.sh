#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the desktop files installed under PREFIX (for example after
# `cmake --install build --prefix "$(mktemp -d)"`, or the root of an unpacked package):
# the menu entry with desktop-file-validate, the software centre description with
# `appstreamcli validate --no-net`, and the manual page with `man -l`, which must render it
# without a warning. Any problem, or a missing file, fails the run. The three tools are
# installed with apt-get only when missing.
#
#   scripts/validate-desktop-files.sh PREFIX
set -euo pipefail
prefix=${1:?usage: validate-desktop-files.sh PREFIX}
[ -d "$prefix" ] || { echo "no such folder: $prefix" >&2; exit 2; }

missing=()
command -v desktop-file-validate >/dev/null || missing+=(desktop-file-utils)
command -v appstreamcli >/dev/null || missing+=(appstream)
command -v man >/dev/null || missing+=(man-db)
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

status=0
fail() { echo "FAIL: $*" >&2; status=1; }
one() { # the single installed file matching a pattern, or nothing
  local found
  found=$(find "$prefix" -path "$1" \( -type f -o -type l \) | head -n 2)
  [ "$(printf '%s\n' "$found" | grep -c .)" -eq 1 ] && printf '%s\n' "$found"
}

desktop=$(one '*/share/applications/listwright.desktop') || true
if [ -z "$desktop" ]; then
  fail "no share/applications/listwright.desktop under $prefix"
else
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate exited with an error"
  [ -z "$out" ] || { printf '%s\n' "$out" >&2; fail "desktop-file-validate: $desktop"; }
  grep -qx 'MimeType=inode/directory;' "$desktop" || fail "$desktop does not offer itself for folders"
  grep -Eq '^Exec=listwright %f$' "$desktop" || fail "$desktop does not pass a folder"
fi

metainfo=$(one '*/share/metainfo/org.listwright.Listwright.metainfo.xml') || true
if [ -z "$metainfo" ]; then
  fail "no share/metainfo/org.listwright.Listwright.metainfo.xml under $prefix"
else
  out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || { printf '%s\n' "$out" >&2; fail "appstreamcli validate: $metainfo"; }
fi

# Plain or compressed, as a package may install it.
manpage=$(one '*/share/man/man1/listwright.1*') || true
if [ -z "$manpage" ]; then
  fail "no share/man/man1/listwright.1 under $prefix"
else
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$manpage" 2>&1 >/dev/null) || fail "man -l could not render $manpage"
  [ -z "$warnings" ] || { printf '%s\n' "$warnings" >&2; fail "man -l warns about $manpage"; }
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$manpage" 2>/dev/null | grep -q 'Ctrl+Q' || fail "$manpage renders without its keys"
fi

[ "$status" -eq 0 ] && echo "desktop files under $prefix: valid"
exit "$status"
