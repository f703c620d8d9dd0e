#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The catalogue check on small programs of its own: a sound one passes, a
# mistyped context and a text entered in two contexts each fail it, with
# words that say which. Each row is a tree of sources and a catalogue with
# every entry translated, so only the row's own fault can fail it.
#
#   check_translations_test.sh LUPDATE CHECK_SCRIPT
set -euo pipefail
lupdate=$1
check=$2
options=(-I . -extensions cpp,h -locations none -no-obsolete -silent
         -tr-function-alias QT_TRANSLATE_NOOP+=DW_TEXT,QT_TRANSLATE_NOOP3+=DW_TEXT3)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# row NAME EXPECT(pass|fail) WORDS SOURCE
row() {
  local name=$1 expect=$2 words=$3 source=$4 tree="$work/$1"
  mkdir -p "$tree/src"
  printf '%s\n' "class TWidget {};" "$source" >"$tree/src/widget.cpp"
  (cd "$tree" && "$lupdate" "${options[@]}" src -ts "$tree/app_ru.ts" >/dev/null)
  sed -i 's|<translation type="unfinished"></translation>|<translation>перевод</translation>|' "$tree/app_ru.ts"
  local output status=0
  output=$(bash "$check" "$lupdate" "$tree" "$tree/app_ru.ts" -- "${options[@]}" src 2>&1) || status=$?
  if [ "$expect" = pass ] && [ $status -ne 0 ]; then
    echo "FAIL: $name: the check refused a sound catalogue:"; echo "$output"; return 1
  fi
  if [ "$expect" = fail ] && { [ $status -eq 0 ] || ! grep -qF "$words" <<<"$output"; }; then
    echo "FAIL: $name: expected a refusal saying \"$words\", got (status $status):"; echo "$output"; return 1
  fi
  echo "ok: $name"
}

failed=0
row sound pass "" \
  'const char* a = QT_TRANSLATE_NOOP("dw::TWidget", "Hello"); const char* b = DW_TEXT("Message", "Bye");' || failed=1
row mistyped_context fail "dw::TWidgt" \
  'const char* a = QT_TRANSLATE_NOOP("dw::TWidgt", "Hello");' || failed=1
row context_without_namespace fail "    TWidget" \
  'const char* a = QT_TRANSLATE_NOOP("TWidget", "Hello");' || failed=1
row one_text_two_contexts fail "Bye (Message, dw::TWidget)" \
  'const char* a = QT_TRANSLATE_NOOP("dw::TWidget", "Bye"); const char* b = DW_TEXT("Message", "Bye");' || failed=1
row same_words_told_apart pass "" \
  'const char* a = DW_TEXT("Message", "Bye"); const char* b = DW_TEXT3("Message", "Bye", "leaving");' || failed=1
exit $failed
