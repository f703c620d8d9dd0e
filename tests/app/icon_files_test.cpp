// SPDX-License-Identifier: MIT
// The icon theme gets the program's icon as PNGs drawn for the small grids,
// PNGs of the one drawing for the larger sizes and an SVG written from that
// drawing. The SVG is drawn here by librsvg (the renderer the desktop itself
// uses for SVG icons), so a writer that loses or moves a shape shows.

#include "app/app_icon.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
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
    const QString svg = dir.filePath(QStringLiteral("icon.svg"));
    {
        QFile file(svg);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(dw::IconSvg().toUtf8());
    }
    for (int size : {32, 128}) {
        SCOPED_TRACE(size);
        const QString png = dir.filePath(QStringLiteral("svg.png"));
        ASSERT_EQ(QProcess::execute(rsvg, {QStringLiteral("-w"), QString::number(size), QStringLiteral("-h"),
                                           QString::number(size), svg, QStringLiteral("-o"), png}),
                  0);
        const QImage fromSvg = QImage(png).convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = dw::DrawIconDrawing(size).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(fromSvg.size(), drawn.size());
        EXPECT_LE(DifferentPixels(fromSvg, drawn), size * size / 100);
    }
}

// What a person sees in a menu or a file manager at every size the package
// ships: the picture fills its square (it once filled only the top 60 %), and
// the blue line, the red hook, the dark-red pipe and its yellow outline are
// all there, none lost to blurring at the small sizes.
TEST(IconFiles, EverySizeFillsItsSquareWithTheWholeDesign)
{
    struct Colour {
        const char* name;
        QColor colour;
    };
    const Colour design[] = {{"blue line", QColor(0, 0, 255)},
                             {"red hook", QColor(255, 0, 0)},
                             {"dark-red pipe", QColor(128, 0, 0)},
                             {"yellow outline", QColor(255, 255, 0)}};
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage image = dw::DrawProgramIcon(size).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(size, size));
        int left = size, right = -1, top = size, bottom = -1;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                if (qAlpha(image.pixel(x, y)) > 127) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        EXPECT_GE(right - left + 1, size * 9 / 10) << "width used";
        EXPECT_GE(bottom - top + 1, size * 9 / 10) << "height used";
        for (const Colour& c : design) {
            int pixels = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    pixels += image.pixelColor(x, y) == c.colour ? 1 : 0;
                }
            }
            EXPECT_GE(pixels, 2) << c.name;
        }
    }
}

}  // namespace
