// SPDX-License-Identifier: MIT
#include "app/label.h"
#include "app/fonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPalette>

#include <gtest/gtest.h>

namespace dw {
namespace {

struct CaptionRow {
    const char* name;
    const char* caption;
    int pixels;
    bool bold;
};

// The form's captions: one line, two lines, the empty date label, and text
// that changes after the label was first laid out.
const CaptionRow kCaptions[] = {
    {"one line", "Вес квадрата", 11, false},
    {"two lines", "Вес бурового\nрукава", 11, false},
    {"two bold lines", "Вес бурового инструмента\nс учетом талевой системы", 11, true},
    {"large date", "07.12.2026", 19, true},
    {"empty", "", 19, true},
    {"blank second line", "Удельный вес\n", 11, false},
};

QImage Render(QLabel& label)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    label.resize(label.sizeHint() + QSize(6, 4));  // room around the text shows any shift
    return label.grab().toImage();
}

// The caption lays its text out once for sizing and painting; it must size
// and draw exactly as the stock label it replaces.
TEST(Label, SizesAndPaintsLikeAPlainTextLabel)
{
    for (const CaptionRow& row : kCaptions) {
        const QString caption = QString::fromUtf8(row.caption);
        const QFont font = FormFont(row.pixels, row.bold);
        QLabel stock(caption);
        stock.setTextFormat(Qt::PlainText);
        stock.setFont(font);
        TLabel ours(caption);
        ours.setFont(font);
        // An empty caption keeps the height of a line, as measuring the text
        // with the font gives it; the stock label makes up a width of its own.
        if (caption.isEmpty()) {
            EXPECT_EQ(ours.sizeHint(), QFontMetrics(font).size(0, caption)) << row.name;
            continue;
        }
        EXPECT_EQ(ours.sizeHint(), stock.sizeHint()) << row.name;
        EXPECT_EQ(Render(ours), Render(stock)) << row.name;
    }
}

TEST(Label, FollowsChangesOfTextAndFont)
{
    TLabel label(QStringLiteral("Вес крюка"));
    label.setFont(FormFont(11));
    const QSize before = label.sizeHint();

    label.setText(QStringLiteral("Вес бурового\nрукава"));
    QLabel stock(QStringLiteral("Вес бурового\nрукава"));
    stock.setFont(FormFont(11));
    EXPECT_EQ(label.sizeHint(), stock.sizeHint());
    EXPECT_NE(label.sizeHint(), before);

    label.setFont(FormFont(19, true));
    stock.setFont(FormFont(19, true));
    EXPECT_EQ(label.sizeHint(), stock.sizeHint());
    EXPECT_EQ(Render(label), Render(stock));
}

}  // namespace
}  // namespace dw
