#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when a catalogue of the program's texts is not complete: an entry
# left unfinished or marked as no longer used in the catalogue, a text the
# program shows that the catalogue lacks, or an entry the program no longer
# uses; and when a text is entered twice (one source in two contexts) or a
# context is one the program never looks in. Run by ctest (test translations_complete).
#
#   check-translations.sh LUPDATE SOURCE_DIR CATALOGUE.ts... -- LUPDATE_ARGS...
#
# The fix for anything it reports: `cmake --build build --target
# update_translations`, then translate the entries it marks unfinished.
set -euo pipefail

lupdate=$1
source_dir=$2
shift 2
catalogues=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  catalogues+=("$1")
  shift
done
[ $# -gt 0 ] && shift
lupdate_args=("$@")

if [ ${#catalogues[@]} -eq 0 ]; then
  echo "check-translations: no catalogue given" >&2
  exit 1
fi

# The source texts of the entries whose translation carries the given type.
entries_of_type() {
  awk -v type="$2" '
    /<source>/ { source = $0; sub(/.*<source>/, "", source); sub(/<\/source>.*/, "", source) }
    index($0, "<translation type=\"" type "\"") { print "    " source }
  ' "$1"
}

# The toolkit's own contexts, whose words the program restates in its own
# catalogue on purpose (see app/translations.cpp).
toolkit_contexts=" QPlatformTheme QDialogButtonBox QPrintDialog QAbstractFileIconProvider "

# Texts that stand in two contexts: two entries to keep in step, where one
# would do (the toolkit's contexts excepted).
twice_entered() {
  awk -v toolkit="$toolkit_contexts" '
    /<name>/ { context = $0; sub(/.*<name>/, "", context); sub(/<\/name>.*/, "", context) }
    /<message/ { source = ""; comment = "" }
    /<source>/ { source = $0; sub(/.*<source>/, "", source); sub(/<\/source>.*/, "", source) }
    /<comment>/ { comment = $0; sub(/.*<comment>/, "", comment); sub(/<\/comment>.*/, "", comment) }
    /<\/message>/ {
      if (index(toolkit, " " context " ") == 0) {
        key = source "\t" comment
        if ((key in seen) && seen[key] != context) print "    " source " (" seen[key] ", " context ")"
        else seen[key] = context
      }
    }
  ' "$1"
}

# Contexts the program never looks a text up in: a mistyped class or
# context name leaves its texts untranslated however well they are
# translated. A context is the messages' own, a toolkit's, or dw::<class>
# of a class the program defines.
unknown_contexts() {
  local context class
  for context in $(grep -o '<name>[^<]*</name>' "$1" | sed 's/<[^>]*>//g' | sort -u); do
    case "$toolkit_contexts" in *" $context "*) continue ;; esac
    [ "$context" = Message ] && continue
    class=${context#dw::}
    if [ "$class" = "$context" ] ||
       ! grep -rqE "^[[:space:]]*class[[:space:]]+$class([[:space:]:{]|$)" --include='*.h' --include='*.cpp' \
         --exclude-dir='build*' --exclude-dir=tests "$source_dir"; then
      echo "    $context"
    fi
  done
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
for ts in "${catalogues[@]}"; do
  name=$(basename "$ts")
  for type in unfinished vanished obsolete; do
    found=$(entries_of_type "$ts" "$type")
    if [ -n "$found" ]; then
      echo "$name: entries marked $type:"
      echo "$found"
      failed=1
    fi
  done
  # The catalogue brought up to date in a copy: what comes in unfinished is
  # a text the program shows untranslated, what goes vanished one it dropped.
  cp "$ts" "$work/$name"
  (cd "$source_dir" && "$lupdate" "${lupdate_args[@]}" -ts "$work/$name") >/dev/null
  missing=$(entries_of_type "$work/$name" unfinished)
  if [ -n "$missing" ]; then
    echo "$name: texts of the program missing from the catalogue:"
    echo "$missing"
    failed=1
  fi
  twice=$(twice_entered "$work/$name")
  if [ -n "$twice" ]; then
    echo "$name: texts entered in two contexts (give them one):"
    echo "$twice"
    failed=1
  fi
  unknown=$(unknown_contexts "$work/$name")
  if [ -n "$unknown" ]; then
    echo "$name: contexts the program never looks texts up in (a mistyped name?):"
    echo "$unknown"
    failed=1
  fi
  unused=$(entries_of_type "$work/$name" vanished)
  if [ -n "$unused" ]; then
    echo "$name: entries the program no longer uses:"
    echo "$unused"
    failed=1
  fi
done

if [ $failed -ne 0 ]; then
  echo "Bring the catalogues up to date with: cmake --build build --target update_translations"
  echo "and translate every entry it leaves unfinished."
  exit 1
fi
echo "Every catalogue translates every text of the program."
