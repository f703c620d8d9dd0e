// SPDX-License-Identifier: MIT
#include "decor/gradient_fill.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace dw {

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t magnitude = (std::llabs(product) + std::llabs(denominator) / 2) / std::llabs(denominator);
    const bool negative = (product < 0) != (denominator < 0);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

void FillGradient(QPainter& painter, const QRect& rect, const QColor& start, const QColor& end, int colours)
{
    if (rect.isEmpty())
        return;
    if (colours < 2) {
        painter.fillRect(rect, start);
        return;
    }
    const int width = rect.width();
    const int bands = std::max(2, std::min(colours, width));
    const int band = width / bands;
    const int r0 = start.red(), g0 = start.green(), b0 = start.blue();
    const int dr = end.red() - r0, dg = end.green() - g0, db = end.blue() - b0;
    for (int i = 0; i < bands; ++i) {
        if (band == 0)
            break;
        const QColor colour(r0 + MulDiv(i, dr, bands - 1), g0 + MulDiv(i, dg, bands - 1),
                            b0 + MulDiv(i, db, bands - 1));
        painter.fillRect(QRect(rect.left() + i * band, rect.top(), band, rect.height()), colour);
    }
    const int rest = width % bands;
    if (rest > 0)
        painter.fillRect(QRect(rect.left() + width - rest, rect.top(), rest, rect.height()), end);
}

}  // namespace dw
