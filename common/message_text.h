// SPDX-License-Identifier: MIT
#pragma once

// A message the user reads, kept as its English source and its arguments
// rather than as finished text, so that a window can show it in the user's
// language while everything below the windows keeps the program's English
// words.

#include <string>
#include <vector>

// Marks an English text the user sees for the translation catalogue: the
// catalogue's tool reads the mark with its context (the windows look the text
// up under the same context), the compiler sees the text alone. The second
// form adds a note that tells apart two uses of the same English words.
#define DW_TEXT(context, text) text
#define DW_TEXT3(context, text, disambiguation) text

namespace dw {

// The context every message of the plain layers is looked up in.
inline constexpr char kMessageContext[] = "Message";

class MessageText {
public:
    MessageText() = default;
    // A translatable text; "%1" ... "%9" in it stand for the arguments.
    MessageText(std::string source, std::vector<MessageText> arguments = {}, std::string disambiguation = {});
    MessageText(const char* source) : MessageText(std::string(source)) {}
    // Shown as it is in every language: a file name, a number.
    static MessageText Verbatim(std::string text);

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
