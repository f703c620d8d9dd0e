// SPDX-License-Identifier: MIT
// The icon theme gets the program's icon twice: PNGs rendered from the
// drawing in code during the build, and an SVG written by hand. A change to
// one without the other shows here, with librsvg (the renderer the desktop
// itself uses for SVG icons) drawing the SVG.

#include "app/app_icon.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Pixels whose colour differs by more than a quarter of the range in any
// channel: anti-aliased edges differ a little between two renderers, a moved
// or recoloured shape differs a lot.
int DifferentPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int worst = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                        std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            count += worst > 64 ? 1 : 0;
        }
    }
    return count;
}

TEST(IconFiles, TheSvgIconDrawsWhatTheProgramDraws)
{
    const QString rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
    if (rsvg.isEmpty())
        GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
    QTemporaryDir dir;
    const QString svg = QStringLiteral(DRILLWEIGHT_SOURCE_DIR "/packaging/org.example.drillweight.svg");
    for (int size : {32, 128}) {
        SCOPED_TRACE(size);
        const QString png = dir.filePath(QStringLiteral("svg.png"));
        ASSERT_EQ(QProcess::execute(rsvg, {QStringLiteral("-w"), QString::number(size), QStringLiteral("-h"),
                                           QString::number(size), svg, QStringLiteral("-o"), png}),
                  0);
        const QImage fromSvg = QImage(png).convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = dw::DrawProgramIcon(size).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(fromSvg.size(), drawn.size());
        EXPECT_LE(DifferentPixels(fromSvg, drawn), size * size / 100);
    }
}

}  // namespace
