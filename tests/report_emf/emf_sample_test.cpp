// SPDX-License-Identifier: MIT
// Real metafiles from other programs: each plays or ends in the program's
// error, never in a crash, a hang or a read outside its bytes (the sanitizer
// build of these tests checks the last).

#include "report/core/page_errors.h"
#include "report/emf/emf_player.h"
#include "report/emf/emf_reader.h"
#include "tests/support/file_bytes.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <iostream>
#include <set>
#include <string>

namespace dw::emf {
namespace {

QStringList SampleFiles()
{
    const QDir dir(QStringLiteral(DW_EMF_SAMPLES_DIR));
    return dir.entryList({QStringLiteral("*.emf"), QStringLiteral("*.EMF")}, QDir::Files, QDir::Name);
}

std::vector<std::uint8_t> ReadFile(const QString& path)
{
    return dw::test::ReadByteVector(path.toStdString());
}

// Plays a document onto an image about 400 pixels wide, keeping its shape.
QImage Render(const EmfDocument& document)
{
    const auto frame = document.FramePixels();
    const double scale = 400.0 / std::max(frame.Width, frame.Height);
    const int width = std::clamp(static_cast<int>(frame.Width * scale), 1, 400);
    const int height = std::clamp(static_cast<int>(frame.Height * scale), 1, 400);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PlayEmf(painter, document, QRectF(0, 0, width, height));
    return image;
}

TEST(EmfSamplesTest, EveryFilePlaysOrIsNotValid)
{
    if (!QDir(QStringLiteral(DW_EMF_SAMPLES_DIR)).exists())
        GTEST_SKIP() << "no sample folder at " << DW_EMF_SAMPLES_DIR;
    const QStringList files = SampleFiles();
    ASSERT_FALSE(files.isEmpty());
    // Set DW_EMF_PNG_DIR to look at what was drawn.
    const QString pngDir = qEnvironmentVariable("DW_EMF_PNG_DIR");
    int played = 0, refused = 0;
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const auto bytes = ReadFile(QDir(QStringLiteral(DW_EMF_SAMPLES_DIR)).filePath(name));
        try {
            const EmfDocument document(bytes);
            const QImage image = Render(document);
            EXPECT_FALSE(image.isNull());
            if (!pngDir.isEmpty())
                image.save(QDir(pngDir).filePath(name + QStringLiteral(".png")));
            ++played;
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), "Metafile is not valid");
            ++refused;
        }
    }
    std::cout << "[          ] " << played << " samples played, " << refused << " refused as not valid\n";
}

// Files whose records run past their end or break the size rules cannot be
// walked: they must be refused, not played in part.
TEST(EmfSamplesTest, StructurallyBrokenFilesAreRefused)
{
    if (!QDir(QStringLiteral(DW_EMF_SAMPLES_DIR)).exists())
        GTEST_SKIP() << "no sample folder at " << DW_EMF_SAMPLES_DIR;
    const char* broken[] = {
        "kakwa-corrupted_bad_corrupted_2014-12-02-215428.emf",  // first record is not a header
        "kakwa-corrupted_bad_corrupted_2014-12-13-132605.emf",  // record size 39
        "kakwa-corrupted_bad_corrupted_2016-02-02-220639.emf",  // record past the end
        "kakwa-corrupted_bad_corrupted_2017-02-11-230400.emf",  // record past the end
    };
    for (const char* name : broken) {
        SCOPED_TRACE(name);
        const auto bytes = ReadFile(QDir(QStringLiteral(DW_EMF_SAMPLES_DIR)).filePath(QString::fromLatin1(name)));
        if (bytes.empty())
            continue;
        EXPECT_THROW(EmfDocument{bytes}, EInvalidGraphic);
    }
}

// Files written by the platform itself, and the quirky but sound ones, play.
TEST(EmfSamplesTest, SoundFilesPlay)
{
    if (!QDir(QStringLiteral(DW_EMF_SAMPLES_DIR)).exists())
        GTEST_SKIP() << "no sample folder at " << DW_EMF_SAMPLES_DIR;
    for (const QString& name : SampleFiles()) {
        if (name.startsWith(QStringLiteral("kakwa-corrupted_")))
            continue;
        SCOPED_TRACE(name.toStdString());
        const auto bytes = ReadFile(QDir(QStringLiteral(DW_EMF_SAMPLES_DIR)).filePath(name));
        EXPECT_NO_THROW({
            const EmfDocument document(bytes);
            Render(document);
        });
    }
}

}  // namespace
}  // namespace dw::emf
