// SPDX-License-Identifier: MIT
#pragma once

// Texts of the printed sheet for tests and benchmarks that need a filled
// sheet without a main window: the fixed captions, a date, a time, and for
// the n-th field a weight of the width the program shows ("11,100 т.").

#include "app/report_sheet.h"

#include <QString>

namespace dw::test {

inline QString SampleSheetText(const TSheetLabel& row, int fieldIndex)
{
    switch (row.Source) {
        case TSheetSource::Caption:
            return QString::fromUtf8(row.Caption);
        case TSheetSource::Date:
            return QStringLiteral("07.12.2026");
        case TSheetSource::Time:
            return QStringLiteral("14:10:00");
        case TSheetSource::Field:
            break;
    }
    return QStringLiteral("%1,%2 т.").arg(11 + fieldIndex).arg(100 + fieldIndex * 7);
}

}  // namespace dw::test
