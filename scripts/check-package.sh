#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the desktop integration and the Debian package, installing and
# purging the package on this machine (so: root or sudo, and a machine where
# that is fine, as CI's is):
#   bash scripts/check-package.sh [BUILD_DIR]   (default: build)
# The desktop entry and the metadata must validate, the package must hold
# exactly the expected files and pass lintian without an error or a warning,
# install with apt-get, put both programs on PATH with their libraries found
# and their version the project's, show their manual pages in English and
# Russian without a warning, make the report file type known, and leave
# nothing behind when purged.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o Dpkg::Use-Pty=0)

# The name the build gives the desktop files (the top CMakeLists.txt).
app_id=$(sed -n 's/^set(DRILLWEIGHT_APP_ID \([^ )]*\))$/\1/p' CMakeLists.txt)
[ -n "$app_id" ] || { echo "check-package: no DRILLWEIGHT_APP_ID in CMakeLists.txt" >&2; exit 1; }
mime_type=application/x-drillweight-report
step() { echo "check-package: $*"; }
fail() { echo "check-package: FAILED: $*" >&2; exit 1; }

step "desktop entry and metadata"
out=$(desktop-file-validate "packaging/$app_id.desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate has remarks: $out"
appstreamcli validate --no-net --pedantic "packaging/$app_id.metainfo.xml" >/tmp/check-package-as.$$ 2>&1 ||
  { cat /tmp/check-package-as.$$; rm -f /tmp/check-package-as.$$; fail "appstreamcli validate"; }
rm -f /tmp/check-package-as.$$

step "building the package"
deb=$(bash scripts/package.sh "$build" | tail -n 1)
[ -f "$deb" ] || fail "no package"
step "$deb"

version=$(dpkg-deb -f "$deb" Version)
icon_sizes="16 22 24 32 48 64 128 256"

# Exactly these files; a stray install rule or a lost one shows here.
expected=$(sort <<LIST
/usr/bin/drillweight
/usr/bin/vprtool
/usr/share/applications/$app_id.desktop
/usr/share/drillweight/translations/drillweight_ru.qm
/usr/share/doc/drillweight/changelog.gz
/usr/share/doc/drillweight/copyright
/usr/share/icons/hicolor/16x16/apps/$app_id.png
/usr/share/icons/hicolor/22x22/apps/$app_id.png
/usr/share/icons/hicolor/24x24/apps/$app_id.png
/usr/share/icons/hicolor/32x32/apps/$app_id.png
/usr/share/icons/hicolor/48x48/apps/$app_id.png
/usr/share/icons/hicolor/64x64/apps/$app_id.png
/usr/share/icons/hicolor/128x128/apps/$app_id.png
/usr/share/icons/hicolor/256x256/apps/$app_id.png
/usr/share/icons/hicolor/scalable/apps/$app_id.svg
/usr/share/man/man1/drillweight.1.gz
/usr/share/man/man1/vprtool.1.gz
/usr/share/man/ru/man1/drillweight.1.gz
/usr/share/man/ru/man1/vprtool.1.gz
/usr/share/metainfo/$app_id.metainfo.xml
/usr/share/mime/packages/$app_id.xml
LIST
)
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort)
[ "$actual" = "$expected" ] || fail "file list differs:
$(diff <(echo "$expected") <(echo "$actual") || true)"
# The installed tree as a whole: the metadata finds its desktop entry.
tree=$(mktemp -d)
dpkg-deb -x "$deb" "$tree"
appstreamcli validate-tree --no-net --pedantic "$tree" >"$tree.log" 2>&1 ||
  { cat "$tree.log"; rm -rf "$tree" "$tree.log"; fail "appstreamcli validate-tree"; }
rm -rf "$tree" "$tree.log"
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6printsupport6 libc6 libcups2 fonts-liberation qt6-translations-l10n; do
  [[ ", $depends" == *", $d"* ]] || fail "Depends lacks $d: $depends"
done
for icon in $icon_sizes; do
  size=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/icons/hicolor/${icon}x${icon}/apps/$app_id.png" |
    file -b - | sed -n 's/.* \([0-9]*\) x \([0-9]*\),.*/\1x\2/p')
  [ "$size" = "${icon}x${icon}" ] || fail "the ${icon}px icon is $size"
done

# lintian, as a distribution would check the package: no error and no
# warning. Its informational and pedantic remarks are shown, not failed on.
step "lintian"
lintian --fail-on error,warning --display-info --pedantic "$deb" ||
  fail "lintian finds errors or warnings in the package"

# A package installed by someone else is theirs: it is neither replaced nor
# purged. CI's machine never has one, so there it is a failure.
installed() { dpkg-query -W -f='${Status}' drillweight 2>/dev/null | grep -q 'ok installed'; }
if dpkg-query -W -f='${Status}' drillweight 2>/dev/null | grep -qv 'not-installed'; then
  [ -z "${CI:-}" ] || fail "drillweight is installed on this machine already"
  step "skipped installing: drillweight is installed on this machine already"
  exit 0
fi
# Whatever happens below, the machine does not keep the package.
cleanup() { if dpkg-query -W drillweight >/dev/null 2>&1; then "${apt[@]}" purge drillweight >/dev/null || true; fi; }
trap cleanup EXIT

step "installing with apt-get"
"${apt[@]}" install "$deb" >/dev/null
installed || fail "not installed"
[ "$(command -v drillweight)" = /usr/bin/drillweight ] || fail "drillweight is not on PATH"
[ "$(command -v vprtool)" = /usr/bin/vprtool ] || fail "vprtool is not on PATH"
for program in /usr/bin/drillweight /usr/bin/vprtool; do
  missing=$(ldd "$program" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$program misses libraries: $missing"
done
(cd / && vprtool --help) | head -n 1 | grep -qx 'Usage: vprtool COMMAND ...' || fail "vprtool --help"
# Both say the package's version, also where there is no display at all.
for program in drillweight vprtool; do
  said=$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version 2>&1) ||
    fail "$program --version exits with an error: $said"
  [ "$said" = "$program $version" ] || fail "$program --version says '$said', the package is $version"
done
(cd / && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM drillweight --help) | head -n 1 |
  grep -q '^Usage: drillweight' || fail "drillweight --help without a display"

step "manual pages"
# Found by man in both languages and set without a warning, as lintian sets
# them; a page in the other language is not an answer.
for page in drillweight vprtool; do
  for lang in en ru; do
    if [ "$lang" = en ]; then locale=C.UTF-8; else locale=ru_RU.UTF-8; fi
    file=$(LC_ALL=$locale man -L "$lang" -w "$page" 2>/dev/null) || fail "man -L $lang cannot find $page"
    case "$lang:$file" in
      ru:/usr/share/man/ru/man1/*) ;;
      en:/usr/share/man/man1/*) ;;
      *) fail "man -L $lang $page finds $file" ;;
    esac
    out=$(LC_ALL=$locale MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null) ||
      fail "man $file: $out"
    [ -z "$out" ] || fail "man $file warns: $out"
    grep -q "$version" <(LC_ALL=$locale MANWIDTH=80 man -E UTF-8 -l "$file" 2>/dev/null) ||
      fail "$file does not name version $version"
  done
done

work=$(mktemp -d)
trap 'rm -rf "$work"; cleanup' EXIT
# The program starts on its own from the installed place (with a throw-away
# profile) and keeps running until it is stopped.
status=0
XDG_CONFIG_HOME=$work QT_QPA_PLATFORM=offscreen timeout 3 drillweight >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "drillweight ended by itself with status $status"

step "the report file type"
printf '\003\000\317\000' >"$work/head"
head -c 120 /dev/zero >>"$work/head"
cp "$work/head" "$work/some.VPR"
cp "$work/head" "$work/other.vpr"
cp "$work/head" "$work/no-extension"
for f in some.VPR other.vpr no-extension; do
  type=$(env -u XDG_CURRENT_DESKTOP xdg-mime query filetype "$work/$f")
  [ "$type" = "$mime_type" ] || fail "xdg-mime query filetype $f gives '$type'"
done
default=$(env -u XDG_CURRENT_DESKTOP xdg-mime query default "$mime_type")
[ "$default" = "$app_id.desktop" ] || fail "reports open with '$default'"

step "purging"
"${apt[@]}" purge drillweight >/dev/null
! installed || fail "still installed"
# Every file is gone; a folder may stay only when another package owns it
# or it holds others' files.
while read -r path; do
  path=${path#.}; path=${path%/}
  [ -n "$path" ] || continue
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    [ -n "$(ls -A "$path")" ] || dpkg -S "$path" >/dev/null 2>&1 || fail "empty folder left: $path"
  elif [ -e "$path" ] || [ -L "$path" ]; then
    fail "left behind: $path"
  fi
done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t)
[ ! -e "/usr/share/mime/${mime_type}.xml" ] || fail "the file type is still in the MIME database"
type=$(env -u XDG_CURRENT_DESKTOP xdg-mime query filetype "$work/some.VPR")
[ "$type" != "$mime_type" ] || fail "the file type is still known"
! grep -qs "$app_id" /usr/share/applications/mimeinfo.cache || fail "the menu still lists the program"
step "all good"
