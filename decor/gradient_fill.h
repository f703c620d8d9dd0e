// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace dw {

// Multiplies, then divides rounding to nearest (halves away from zero).
int MulDiv(int number, int numerator, int denominator);

// Fills a rectangle left to right with `colours` bands running from start to
// end. Fewer than two colours fill it with the start colour. There are never
// more bands than pixel columns; the columns left over when the width does
// not divide evenly are filled with the end colour at the right.
void FillGradient(QPainter& painter, const QRect& rect, const QColor& start, const QColor& end, int colours);

}  // namespace dw
