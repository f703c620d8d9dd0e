// SPDX-License-Identifier: MIT
#pragma once

#include "common/message_text.h"
#include "numeric/core/extended.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace dw {

// The text rules of the numeric edit field, kept apart from the widget so that
// what may be typed, how a typed text becomes a number and how it is regrouped
// are plain functions of the text. They read the decimal and thousands marks
// from LocaleFormats() at the moment of the call. Texts are UTF-8; positions
// and counts are in characters (code points, a stray byte counting as one).

// The field's settings the rules depend on.
struct NumEditSettings {
    unsigned DecimalPlaces = 2;
    Extended MinValue = 0;
    Extended MaxValue = 0;
};

// The longest run of decimals put into a pattern: "0." and 222 placeholders are
// the longest pattern the formatter accepts, so no setting of DecimalPlaces
// can make the field's own patterns fail.
inline constexpr unsigned kMaxPatternDecimals = 222;

// Makes a typed or pasted text parsable: trims spaces at both ends, drops the
// thousands marks, accepts "." and "," for the decimal mark where neither is
// the thousands mark, and reads "" as "0" and "-" as "-0".
std::string NormalizeNumberText(std::string_view text);

// True when the text holds only sign, digit, exponent and decimal-mark
// characters and its first 63 characters parse as a number (value set then).
bool IsNumberText(std::string_view text, Extended& value);

// Keeps x within the field's bounds. Equal bounds mean no range; when the
// minimum exceeds the maximum only the bound that is not 0 applies. With
// raise set, a value that had to be moved raises ERangeError instead.
Extended ClampToRange(Extended x, const NumEditSettings& settings, bool raise);

// "Value must be between <min> and <max>", both with DecimalPlaces decimals and
// "." as the decimal mark, the way a C fixed-point conversion writes them.
std::string RangeErrorMessage(const NumEditSettings& settings);
MessageText RangeErrorText(const NumEditSettings& settings);

// "0" for no decimals, else "0." followed by one "#" per decimal place.
std::string EditPattern(unsigned decimalPlaces);

// The edit text for a committed value: empty for zero with zeroEmpty, else the
// value in the edit pattern (no thousands marks, trailing decimal zeros dropped).
std::string EditTextFor(Extended value, unsigned decimalPlaces, bool zeroEmpty);

// The key itself after the decimal-key mapping: "." and "," type the locale's
// decimal mark whatever its thousands mark is.
std::string MapDecimalKey(std::string_view key);

// Whether typing key (one character, already mapped) keeps the edit text a
// number the field can hold. The key replaces the selection when there is one
// (selectionLength > 0, starting at selectionStart) and goes in at the caret
// otherwise.
bool AcceptsKey(std::string_view editText, std::size_t selectionStart, std::size_t selectionLength, std::size_t caret,
                std::string_view key, const NumEditSettings& settings);

// A character typed into the field, as the field takes it: the thousands mark
// typed where it stands as one (after the first one to three digits, or three
// digits after the last such mark, an ordinary space counting as a space-like
// mark) goes in as the locale's thousands mark instead of turning into a
// decimal mark that would cut the number; any other key is mapped and checked
// as AcceptsKey does. A refused key carries the reason, for the crew to read.
struct TypedKey {
    bool Accepted = false;
    std::string Text;     // what goes into the edit text
    MessageText Refusal;  // why not, when refused
};
TypedKey TypeKey(std::string_view editText, std::size_t selectionStart, std::size_t selectionLength, std::size_t caret,
                 std::string_view character, const NumEditSettings& settings);

// Whether the thousands marks typed into a whole edit text stand between
// groups of three digits ("1,5" under a point locale does not: it would
// read as 15). A text without marks is fine.
bool ThousandsInGroupsOfThree(std::string_view editText);

// Why typing key (already mapped) at the caret would not leave a number the
// field can hold, in the user's words; empty when it would.
MessageText KeyRefusal(std::string_view editText, std::size_t selectionStart, std::size_t selectionLength,
                       std::size_t caret, std::string_view key, const NumEditSettings& settings);

// What a paste makes of text copied from anywhere: the field's own display
// form ("1 200,5 м."), thousands in groups separated by spaces, no-break
// spaces or the locale's mark, the field's unit with or without its full
// stop (prefix and suffix are the literal texts the display puts around the
// digits), blanks at both ends, and the other decimal mark where it cannot
// be a thousands mark. Ok with the number as the field edits it (the
// locale's decimal mark, no grouping), or the reason it is no number.
struct PastedNumber {
    bool Ok = false;
    std::string EditText;
    MessageText Refusal;
};
PastedNumber ReadPastedNumber(std::string_view text, std::string_view prefix, std::string_view suffix);

// The literal texts a display puts before the first and after the last digit,
// blanks trimmed ("" and "м." for "1,0 м.").
void DisplayAffixes(std::string_view displayed, std::string& prefix, std::string& suffix);

// Regroups the integer part (before the decimal mark or an exponent letter,
// after an optional sign) with the thousands mark every third digit from the
// right when grouping is asked for; without grouping the marks are only taken
// out. The rest of the text is kept as it is.
std::string GroupIntegerDigits(std::string_view text, bool grouping);

// The edit text after regrouping while typing: an empty text and a lone "-"
// stay as they are, anything else is normalised and then grouped.
std::string ReformattedEditText(std::string_view text, bool grouping);

}  // namespace dw
