#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up a Debian 12 machine, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
# Every source file carries the licence line (scripts/add-spdx.sh adds it).
bash scripts/add-spdx.sh --check
bash scripts/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
# Each test runs alone and the main window's tests once more as one process
# (app_tests.AllInOneProcess), so no test can lean on what another left.
ctest --test-dir build --output-on-failure -j "$(nproc)"
# The desktop integration and the Debian package: built, installed, purged.
bash scripts/check-package.sh build
