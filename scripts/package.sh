#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the program's Debian package and prints where it is:
#   bash scripts/package.sh [BUILD_DIR]        (default: build)
# Sets the machine up first like the other commands; the package comes from
# the build directory's install rules through CPack, with its library
# dependencies worked out from the programs (dpkg-shlibdeps).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/setup-debian.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target drillweight vprtool packaging_files >/dev/null
rm -f "$build"/package/drillweight_*.deb
log=$(mktemp)
trap 'rm -f "$log"' EXIT
(cd "$build" && cpack -G DEB) >"$log" 2>&1 || { cat "$log" >&2; echo "package.sh: cpack failed" >&2; exit 1; }
debs=("$build"/package/drillweight_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "package.sh: no package was made" >&2; exit 1; }
realpath "${debs[0]}"
