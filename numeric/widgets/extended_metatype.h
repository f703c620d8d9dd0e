// SPDX-License-Identifier: MIT
#pragma once

#include "numeric/core/extended.h"

#include <QMetaType>

// The extended value travels through the Qt property system as itself (a
// long double), so a stored value keeps all 64 bits of its significand:
//   QVariant v = field->property("Value");   v.value<dw::Extended>()
//   field->setProperty("Value", QVariant::fromValue<dw::Extended>(x));
// Reading the property is reading Value(): it commits the edit text first.
// A double QVariant is converted on the way in (RegisterExtendedMetaType).
// Declared here once for the whole program; include this header rather than
// declaring the type again.
Q_DECLARE_METATYPE(long double)

namespace dw {

// Lets a double QVariant be written to an extended property and an extended
// one be read as double (QVariant::convert). Safe to call more than once.
void RegisterExtendedMetaType();

}  // namespace dw
