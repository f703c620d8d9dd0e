// SPDX-License-Identifier: MIT
#include "common/error_display.h"

#include "common/errors.h"

#include <cstdio>
#include <utility>

namespace dw {

namespace {

ErrorDisplayHandler& Handler()
{
    static ErrorDisplayHandler handler;
    return handler;
}

}  // namespace

ErrorDisplayHandler SetErrorDisplay(ErrorDisplayHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

void ShowErrorMessage(const std::string& message)
{
    if (Handler()) {
        Handler()(message);
        return;
    }
    std::fputs(MessageWithFullStop(message).c_str(), stderr);
    std::fputc('\n', stderr);
}

void ShowError(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        ShowErrorMessage(own->Message());
    else
        ShowErrorMessage(error.what());
}

}  // namespace dw
