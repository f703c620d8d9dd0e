// SPDX-License-Identifier: MIT
#pragma once

#include "common/errors.h"

namespace dw {

// A page whose bytes are not a metafile the program can read: a damaged
// page record, a wrong or truncated metafile header, or compressed data that
// does not decode to one.
class EInvalidGraphic : public Exception {
public:
    EInvalidGraphic() : Exception(DW_TEXT("Message", "Metafile is not valid")) {}
    // The same failure said with where it was found ("FILE.VPR: page 3:
    // Metafile is not valid").
    explicit EInvalidGraphic(MessageText message) : Exception(std::move(message)) {}
};

}  // namespace dw
