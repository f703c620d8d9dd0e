// SPDX-License-Identifier: MIT
#pragma once

#include "common/message_text.h"

#include <exception>
#include <functional>
#include <string>

namespace dw {

// Where an error that ends a user's action is shown. The application installs
// its message box; tests install a recorder. Widgets that catch an error in an
// event handler (a focus change that must fail, a paste that is refused...)
// hand it here instead of letting it cross the event loop.
using ErrorDisplayHandler = std::function<void(const std::string& message)>;

// Installs a handler and returns the previous one (an empty handler restores
// the default, which writes the message to standard error).
ErrorDisplayHandler SetErrorDisplay(ErrorDisplayHandler handler);

// How a message is worded for the user: the application installs the
// translation into the user's language; without one (tests, the command-line
// tool) the program's English words are shown. Returns the previous one.
using MessageTranslator = std::function<std::string(const MessageText& text)>;
MessageTranslator SetMessageTranslator(MessageTranslator translator);
// The message in the user's words, through the installed translation.
std::string Localized(const MessageText& text);

// Shows the message of any exception: the program's own errors by Message(),
// others by what().
void ShowError(const std::exception& error);
// A message of the program's own, shown in the user's words.
void ShowErrorText(const MessageText& message);

}  // namespace dw

namespace dw {

// Runs an action started by the user (a click, a menu command) and shows any
// error it raises instead of letting it unwind through the toolkit's frames.
template <class Action>
void RunReportingErrors(Action&& action) noexcept
{
    try {
        action();
    } catch (const std::exception& error) {
        ShowError(error);
    } catch (...) {
        ShowErrorText(DW_TEXT("Message", "Unexpected error"));
    }
}

}  // namespace dw
