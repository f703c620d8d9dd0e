// SPDX-License-Identifier: MIT
#include "app/fonts.h"

#include "design/design_fonts.h"

namespace dw {

QFont FormFont(int pixelHeight, bool bold) { return DesignFont(QStringLiteral("MS Sans Serif"), pixelHeight, bold); }

}  // namespace dw
