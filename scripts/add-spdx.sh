#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Puts the licence line at the top of every source file of the tree that
# lacks it, or, with --check, names those files and fails:
#   bash scripts/add-spdx.sh            add the line where it is missing
#   bash scripts/add-spdx.sh --check    list what lacks it; exit 1 if any
# Safe to run again and again (after merging a branch, say): a file that has
# the line near its top is left as it is. A shebang, and a manual page's
# preprocessor line, stay first. Source files are the tracked C and C++
# files, CMake files, shell and Python scripts (by name or by a shebang in an
# executable file) and manual pages.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=add
case "${1:-}" in
  "") ;;
  --check) mode=check ;;
  *) echo "usage: bash scripts/add-spdx.sh [--check]" >&2; exit 2 ;;
esac

tag='SPDX-License-Identifier: MIT'

# The tracked files, or, outside a git checkout (an unpacked tarball), every
# file but build output.
list_files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z
  else
    find . \( -name .git -o -name 'build*' -o -name 'fuzz-out' \) -prune -o -type f -print0 | sed -z 's|^\./||'
  fi
}

# The comment that carries the line in this file, or nothing for a file that
# is not a source file.
comment_for() {
  local f=$1
  case "$f" in
    fuzz/corpus/*) return ;;
    *.c) echo "/* $tag */" ;;
    *.cpp | *.cc | *.h | *.hpp) echo "// $tag" ;;
    CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh | *.py) echo "# $tag" ;;
    *.[1-8]) echo ".\\\" $tag" ;;
    *)
      # A script without a suffix, found by its shebang.
      if [ -x "$f" ] && [ "$(head -c 2 "$f")" = '#!' ]; then echo "# $tag"; fi
      ;;
  esac
}

# The line is there when it is within the first few lines (after a shebang
# or an encoding line it is not the very first).
has_tag() { head -n 5 "$1" | grep -qF "$tag"; }

add_tag() {
  local f=$1 line=$2 first
  first=$(head -n 1 "$f")
  local tmp
  tmp=$(mktemp "${f%/*}/.spdx.XXXXXX" 2>/dev/null || mktemp "./.spdx.XXXXXX")
  {
    # A shebang, and the line that names a manual page's preprocessors,
    # only work as the first line.
    if [[ "$first" == '#!'* || "$first" == "'\\\""* ]]; then
      printf '%s\n%s\n' "$first" "$line"
      tail -n +2 "$f"
    else
      printf '%s\n' "$line"
      cat "$f"
    fi
  } >"$tmp"
  # Written back through the file itself, so its mode and any link to it stay.
  cat "$tmp" >"$f"
  rm -f "$tmp"
}

missing=0
while IFS= read -r -d '' f; do
  [ -f "$f" ] && [ ! -L "$f" ] || continue
  line=$(comment_for "$f")
  [ -n "$line" ] || continue
  has_tag "$f" && continue
  if [ "$mode" = check ]; then
    echo "no licence line: $f"
    missing=$((missing + 1))
  else
    add_tag "$f" "$line"
    echo "added: $f"
  fi
done < <(list_files)

if [ "$mode" = check ] && [ "$missing" -gt 0 ]; then
  echo "add-spdx: $missing source file(s) lack \"$tag\"; run bash scripts/add-spdx.sh" >&2
  exit 1
fi
exit 0
