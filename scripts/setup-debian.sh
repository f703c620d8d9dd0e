#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building, running and testing the program needs on Debian 12.
# Idempotent and quiet: does nothing when everything is there already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev zlib1g-dev
  # the crew's journal is an SQLite database
  libsqlite3-dev
  # the catalogues of the program's texts (lupdate, lrelease and their CMake
  # functions) and Qt's own, which its dialogs speak the user's language by
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  # Qt's charts module, only for the benchmark that sets the journal's plot
  # beside the same picture drawn by it
  qt6-charts-dev libqt6opengl6-dev
  clang libclang-rt-14-dev
  fonts-liberation fonts-dejavu-core
  locales xvfb xauth libuemf-dev emf2svg librsvg2-bin
  libcups2-dev cups printer-driver-cups-pdf poppler-utils
  # the Debian package and its checks (scripts/package.sh, check-package.sh)
  dpkg-dev file man-db desktop-file-utils appstream shared-mime-info
  xdg-utils libfile-mimeinfo-perl lintian
)
# Locales the tests switch to.
locales=(ru_RU.UTF-8 en_US.UTF-8)

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

have_locale() { locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/' | grep -qx "$(echo "$1" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')"; }
need_gen=0
for l in "${locales[@]}"; do
  if ! have_locale "$l"; then
    need_gen=1
    "${sudo[@]}" sed -i "s/^# *\(${l//./\\.} UTF-8\)/\1/" /etc/locale.gen
    grep -q "^${l//./\\.} UTF-8" /etc/locale.gen || echo "$l UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  fi
done
if [ $need_gen -eq 1 ]; then
  echo "Generating locales: ${locales[*]}"
  "${sudo[@]}" locale-gen >/dev/null
fi
