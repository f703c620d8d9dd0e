// SPDX-License-Identifier: MIT
#include "common/error_display.h"

#include "common/errors.h"
#include "common/stop_request.h"

#include <cstdio>
#include <new>
#include <utility>

namespace dw {

namespace {

ErrorDisplayHandler& Handler()
{
    static ErrorDisplayHandler handler;
    return handler;
}

MessageTranslator& Translator()
{
    static MessageTranslator translator;
    return translator;
}

void Display(const std::string& message)
{
    // Once the program is asked to end, its windows are about to close and
    // nobody is there to answer a message box: what failed on the way (a
    // page stopped half read among them) goes to standard error.
    if (Handler() && !StopRequested()) {
        Handler()(message);
        return;
    }
    std::fputs(MessageWithFullStop(message).c_str(), stderr);
    std::fputc('\n', stderr);
}

}  // namespace

MessageTranslator SetMessageTranslator(MessageTranslator translator)
{
    return std::exchange(Translator(), std::move(translator));
}

std::string Localized(const MessageText& text)
{
    return Translator() ? Translator()(text) : text.English();
}

ErrorDisplayHandler SetErrorDisplay(ErrorDisplayHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

void ShowErrorText(const MessageText& message)
{
    Display(Localized(message));
}

void ShowError(const std::exception& error)
{
    // Another library's exception has only its own words, except running
    // out of memory, which the user is told in the user's language; the
    // actions that can say what they were doing say it themselves.
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        Display(Localized(own->Text()));
    else if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr)
        Display(Localized(NotEnoughMemoryTo(DW_TEXT("Message", "finish this action"))));
    else
        Display(error.what());
}

}  // namespace dw
