// SPDX-License-Identifier: MIT
#include "common/message_text.h"

#include <utility>

namespace dw {

MessageText::MessageText(SourceText source, std::vector<MessageText> arguments)
    : m_source(source.Text),
      m_disambiguation(source.Disambiguation ? source.Disambiguation : ""),
      m_arguments(std::move(arguments))
{
}

MessageText MessageText::Verbatim(std::string text)
{
    MessageText verbatim;
    verbatim.m_source = std::move(text);
    verbatim.m_translatable = false;
    return verbatim;
}

std::string MessageText::English() const
{
    if (!m_translatable || m_arguments.empty())
        return m_source;
    std::vector<std::string> arguments;
    arguments.reserve(m_arguments.size());
    for (const MessageText& argument : m_arguments) arguments.push_back(argument.English());
    return SubstituteArguments(m_source, arguments);
}

std::string SubstituteArguments(const std::string& pattern, const std::vector<std::string>& arguments)
{
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < arguments.size()) {
                text += arguments[n];
                ++i;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}

}  // namespace dw
