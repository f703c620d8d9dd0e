// SPDX-License-Identifier: MIT
#include "design/text_line.h"
#include "design/design_fonts.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace dw {
namespace {

struct Row {
    const char* name;
    const char* text;
    int pixels;
    bool bold;
    QPointF topLeft;
};

// The line stands in for the painter's own text drawing wherever the width is
// needed first, so it must give the same width and the very same pixels.
const Row kRows[] = {
    {"number with unit", "1 234,50 кг.", 11, false, {3, 2}},
    {"bold result", "36,970 т.", 11, true, {0, 0}},
    {"large bold caption", "ПЕЧАТЬ", 19, true, {5, 4}},
    {"window title", "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА", 11, true, {2, 0.5}},
    {"fractional place", "0.00 т.", 11, false, {1.5, 2.25}},
    {"latin with kerning pairs", "AVATAR Wo.", 11, false, {0, 3}},
    {"empty", "", 11, false, {0, 0}},
};

QImage Paint(const std::function<void(QPainter&)>& draw)
{
    QImage image(420, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    draw(painter);
    return image;
}

TEST(TextLine, MeasuresAndDrawsLikeThePainter)
{
    for (const Row& row : kRows) {
        const QFont font = DesignFont(QStringLiteral("MS Sans Serif"), row.pixels, row.bold);
        const QString text = QString::fromUtf8(row.text);
        const TTextLine line(text, font);
        EXPECT_EQ(line.Width(), QFontMetrics(font).horizontalAdvance(text)) << row.name;

        const QImage direct = Paint([&](QPainter& painter) {
            painter.setFont(font);
            painter.drawText(QRectF(row.topLeft, QSizeF(400, 30)), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                             text);
        });
        const QImage laidOut = Paint([&](QPainter& painter) { line.Draw(painter, row.topLeft); });
        EXPECT_EQ(direct, laidOut) << row.name;
    }
}

TEST(TextLine, CentresVerticallyLikeThePainter)
{
    const QFont font = DesignFont(QStringLiteral("MS Sans Serif"), 11, true);
    const QString text = QStringLiteral("ИЗМЕРЕНИЕ ВЕСА");
    const TTextLine line(text, font);
    for (const int barHeight : {18, 19, 13}) {
        const QRect bar(4, 3, 300, barHeight);
        const QImage direct = Paint([&](QPainter& painter) {
            painter.setFont(font);
            painter.drawText(bar, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        });
        const QImage laidOut = Paint([&](QPainter& painter) {
            line.Draw(painter, QPointF(bar.left(), bar.top() + (bar.height() - line.Height()) / 2));
        });
        EXPECT_EQ(direct, laidOut) << "bar height " << barHeight;
        EXPECT_LE(line.Advance(), bar.width());
    }
}

}  // namespace
}  // namespace dw
