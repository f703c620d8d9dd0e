// SPDX-License-Identifier: MIT
#pragma once

// A message the user reads, kept as its English source and its arguments
// rather than as finished text, so that a window can show it in the user's
// language while everything below the windows keeps the program's English
// words.

#include <string>
#include <vector>

namespace dw {

// The context every message of the plain layers is looked up in.
inline constexpr char kMessageContext[] = "Message";

// An English text marked for the catalogue, as DW_TEXT makes it: the only
// way a text becomes translatable, so a finished English string (a text with
// numbers or names already put in) can never be looked up as a catalogue key.
struct SourceText {
    const char* Text;
    const char* Disambiguation;  // nullptr, or a note telling two uses apart
};

namespace detail {
consteval bool SameText(const char* a, const char* b)
{
    for (; *a != '\0' && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}
// The context is checked while compiling: a mistyped one would put the text
// into a catalogue context the program never looks in.
consteval SourceText MarkedText(const char* context, const char* text, const char* disambiguation)
{
    if (!SameText(context, kMessageContext))
        throw "DW_TEXT: the context of a message is \"Message\"";
    return SourceText{text, disambiguation};
}
}  // namespace detail

}  // namespace dw

// Marks an English text the user sees for the translation catalogue: the
// catalogue's tool reads the mark with its context (the windows look the text
// up under the same context), the compiler checks the context and makes the
// text a SourceText. The second form adds a note that tells apart two uses of
// the same English words.
#define DW_TEXT(context, text) (::dw::detail::MarkedText(context, text, nullptr))
#define DW_TEXT3(context, text, disambiguation) (::dw::detail::MarkedText(context, text, disambiguation))

namespace dw {

class MessageText {
public:
    MessageText() = default;
    // A translatable text; "%1" ... "%9" in it stand for the arguments.
    MessageText(SourceText source, std::vector<MessageText> arguments = {});
    // Shown as it is in every language: a file name, a number.
    static MessageText Verbatim(std::string text);

    // No text at all (the default): "no reason known" and the like.
    bool Empty() const noexcept { return m_source.empty() && m_arguments.empty(); }
    bool Translatable() const noexcept { return m_translatable; }
    const std::string& Source() const noexcept { return m_source; }
    const std::string& Disambiguation() const noexcept { return m_disambiguation; }
    const std::vector<MessageText>& Arguments() const noexcept { return m_arguments; }

    // The English text: the source with its arguments put in.
    std::string English() const;

private:
    std::string m_source;
    std::string m_disambiguation;
    std::vector<MessageText> m_arguments;
    bool m_translatable = true;
};

// Puts arguments[n - 1] in place of each "%n" (n from 1 to 9) in one pass, so
// an argument that itself holds "%2" stays as it is; a "%" followed by
// anything else, or by a number with no argument, is kept.
std::string SubstituteArguments(const std::string& pattern, const std::vector<std::string>& arguments);

}  // namespace dw
