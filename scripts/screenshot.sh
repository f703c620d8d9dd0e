#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the built program on a virtual display and saves a picture of it:
#   bash scripts/screenshot.sh [out.png]     (default: build/drillweight.png)
# Uses a throw-away profile directory so the real ~/.config/davov is untouched.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/drillweight.png}
out=$(realpath -m "$out")
command -v xvfb-run >/dev/null && command -v import >/dev/null || {
  echo "needs xvfb-run (xvfb) and import (imagemagick)" >&2; exit 1; }
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
XDG_CONFIG_HOME=$profile xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  ./build/drillweight & pid=$!
  sleep 2
  import -window root "$0"
  kill $pid' "$out"
echo "$out"
