// SPDX-License-Identifier: MIT
#include "report/emf/emf_writer.h"
#include "report/emf/emf_canvas.h"
#include "report/emf/emf_reader.h"
#include "report/emf/painter_canvas.h"

#include "page_scenes.h"
#include "tests/support/qt_files.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

namespace dw::emf {
namespace {

using test::Scene;

std::vector<std::uint8_t> Record(const Scene& scene)
{
    TEmfCanvas canvas(scene.Width, scene.Height, 96);
    scene.Draw(canvas);
    return canvas.Finish();
}

struct RowName {
    template <typename Info>
    std::string operator()(const Info& row) const
    {
        return row.param.Name;
    }
};

TEST(EmfWriterTest, HeaderDescribesThePage)
{
    TEmfCanvas canvas(1123, 1587, 96);
    test::ReportPage(canvas);
    const auto bytes = canvas.Finish();
    const EmfDocument document(bytes);
    const EmfHeader& h = document.Header();
    EXPECT_EQ(h.Frame, (RectL{0, 0, 29713, 41989}));  // pixels x 2540 / 96, in .01 mm
    EXPECT_EQ(h.Device, (SizeL{1920, 1440}));
    EXPECT_EQ(h.Millimeters, (SizeL{508, 381}));
    ASSERT_TRUE(h.Micrometers.has_value());
    EXPECT_EQ(*h.Micrometers, (SizeL{508000, 381000}));
    EXPECT_EQ(h.DeclaredBytes, bytes.size());
    EXPECT_EQ(h.DeclaredRecords, document.WalkedRecords());
    EXPECT_EQ(h.Version, kEmfVersion);
    EXPECT_TRUE(document.HasEof());
    const auto frame = document.FramePixels();
    EXPECT_DOUBLE_EQ(frame.Width, 1123);
    EXPECT_DOUBLE_EQ(frame.Height, 1587);
    // The last record is EOF, 20 bytes, its size repeated at its end.
    EXPECT_EQ(ReadU32(bytes.data() + bytes.size() - 20), kEmrEof);
    EXPECT_EQ(ReadU32(bytes.data() + bytes.size() - 4), 20u);
}

struct BoundsCase {
    const char* Name;
    std::function<void(TVpCanvas&)> Draw;
    RectL Bounds;
};

class WriterBounds : public ::testing::TestWithParam<BoundsCase> {};

TEST_P(WriterBounds, CoverWhatWasDrawn)
{
    TEmfCanvas canvas(200, 100, 96);
    GetParam().Draw(canvas);
    EXPECT_EQ(EmfDocument(canvas.Finish()).Header().Bounds, GetParam().Bounds);
}

INSTANTIATE_TEST_SUITE_P(Drawings, WriterBounds,
                         ::testing::Values(BoundsCase{"NothingDrawn", [](TVpCanvas&) {}, RectL{0, 0, -1, -1}},
                                           BoundsCase{"Fill",
                                                      [](TVpCanvas& c) {
                                                          c.FillRect({10, 20, 30, 40});
                                                      },
                                                      RectL{10, 20, 29, 39}},
                                           BoundsCase{"ClearFillDrawsNothing",
                                                      [](TVpCanvas& c) {
                                                          c.SetBrush(TBrushStyle::bsClear, Qt::white);
                                                          c.FillRect({10, 20, 30, 40});
                                                      },
                                                      RectL{0, 0, -1, -1}},
                                           BoundsCase{"RectangleAndLine",
                                                      [](TVpCanvas& c) {
                                                          c.Rectangle({5, 5, 15, 15});
                                                          c.MoveTo(100, 50);
                                                          c.LineTo(150, 60);
                                                      },
                                                      RectL{5, 5, 150, 60}},
                                           BoundsCase{"WidePenReachesOutside",
                                                      [](TVpCanvas& c) {
                                                          c.SetPen(Qt::black, 4, TPenStyle::psSolid);
                                                          c.MoveTo(20, 20);
                                                          c.LineTo(40, 20);
                                                      },
                                                      RectL{18, 18, 42, 22}}),
                         RowName());

TEST(EmfWriterTest, TextBoundsAreTheTextExtent)
{
    TEmfCanvas canvas(200, 100, 96);
    canvas.SetFont(test::Font("Arial", 10), 96);
    const QSize size = canvas.TextExtent(QStringLiteral("Abc"));
    canvas.TextOut(7, 9, QStringLiteral("Abc"));
    EXPECT_EQ(EmfDocument(canvas.Finish()).Header().Bounds, (RectL{7, 9, 7 + size.width() - 1, 9 + size.height() - 1}));
}

TEST(EmfWriterTest, ObjectIndicesReuseTheLowestFree)
{
    EmfWriter writer(10, 10);
    const auto a = writer.CreatePen(kPsSolid, 1, 0);
    const auto b = writer.CreateBrush(kBsSolid, 0);
    const auto c = writer.CreateBrush(kBsSolid, 0);
    EXPECT_EQ((std::vector<std::uint32_t>{a, b, c}), (std::vector<std::uint32_t>{1, 2, 3}));
    writer.DeleteObject(b);
    EXPECT_EQ(writer.CreatePen(kPsSolid, 1, 0), 2u);
    EXPECT_EQ(writer.CreatePen(kPsSolid, 1, 0), 4u);
    EXPECT_EQ(writer.HandleCount(), 5u);
    const EmfDocument document(writer.Finish());
    EXPECT_EQ(document.Header().DeclaredHandles, 5u);
}

struct FontHeightCase {
    const char* Name;
    int Points;
    int PixelsPerInch;
    std::int32_t Height;
};

class FontHeights : public ::testing::TestWithParam<FontHeightCase> {};

TEST_P(FontHeights, AreCharacterHeightsAtTheResolution)
{
    TEmfCanvas canvas(100, 100, 96);
    canvas.SetFont(test::Font("Arial", GetParam().Points), GetParam().PixelsPerInch);
    canvas.TextOut(0, 0, QStringLiteral("x"));
    const EmfDocument document(canvas.Finish());
    bool found = false;
    for (const auto& record : document.Records()) {
        if (const auto* font = std::get_if<FontRecord>(&record)) {
            EXPECT_EQ(font->Font.Height, GetParam().Height);
            EXPECT_EQ(font->Font.FaceName, u"Arial");
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FontHeights,
                         ::testing::Values(FontHeightCase{"Ten", 10, 96, -13}, FontHeightCase{"Eight", 8, 96, -11},
                                           FontHeightCase{"Twelve", 12, 96, -16},
                                           FontHeightCase{"Fourteen", 14, 96, -19},
                                           FontHeightCase{"TenAtPrinter", 10, 600, -83},
                                           // Held at the largest font instead of wrapping the 32-bit height.
                                           FontHeightCase{"LargestFont", 6000, 96, -8000},
                                           FontHeightCase{"BeyondAnyPage", 1610612736, 96, -8000},
                                           FontHeightCase{"BeyondAnyPageNegative", -1610612736, 96, -8000}),
                         RowName());

TEST(EmfWriterTest, TextCarriesItsAdvancesMeasuredWithTheFont)
{
    const QString caption = QStringLiteral("Вес квадрата 12,5 т.");
    TEmfCanvas canvas(300, 50, 96);
    canvas.SetFont(test::Font("Arial", 10), 96);
    const QSize extent = canvas.TextExtent(caption);
    canvas.TextOut(48, 20, caption);
    const EmfDocument document(canvas.Finish());
    std::optional<TextRecord> text;
    for (const auto& record : document.Records())
        if (const auto* t = std::get_if<TextRecord>(&record))
            text = *t;
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->Text, caption.toStdU16String());
    EXPECT_EQ(text->Reference, (PointL{48, 20}));
    const PlacedFont font(CanvasFontSpec(test::Font("Arial", 10), 96));
    EXPECT_EQ(text->Dx, font.Advances(caption));
    std::int32_t sum = 0;
    for (std::int32_t dx : text->Dx) sum += dx;
    EXPECT_EQ(sum, extent.width());
    EXPECT_EQ(text->Options, 0u);
}

// Every drawing record finds the objects it uses created and selected by
// the page itself; every object is deleted by the end, never while selected.
TEST(EmfWriterTest, ObjectsAreSelectedBeforeUseAndDeletedAtTheEnd)
{
    for (const Scene& scene : test::Scenes()) {
        SCOPED_TRACE(scene.Name);
        const auto bytes = Record(scene);
        std::map<std::uint32_t, std::uint32_t> kindOf;    // handle -> creating record type
        std::map<std::uint32_t, std::uint32_t> selected;  // creating record type -> handle
        bool textModeTransparent = false;
        WalkRecords(bytes, [&](const RecordView& r, std::size_t) {
            const std::uint32_t type = r.Type();
            auto requireSelected = [&](std::uint32_t kind) {
                const auto it = selected.find(kind);
                EXPECT_TRUE(it != selected.end() && kindOf.count(it->second) != 0)
                    << "record " << type << " without its own object of kind " << kind;
            };
            switch (type) {
                case kEmrCreatePen:
                case kEmrCreateBrushIndirect:
                case kEmrExtCreateFontIndirectW:
                    EXPECT_EQ(kindOf.count(r.U32(8)), 0u) << "index in use";
                    kindOf[r.U32(8)] = type;
                    break;
                case kEmrSelectObject: {
                    const std::uint32_t h = r.U32(8);
                    if ((h & kStockObjectFlag) != 0) {
                        const std::uint32_t kind = h <= kNullBrush ? kEmrCreateBrushIndirect
                                                   : h <= kNullPen ? kEmrCreatePen
                                                                   : kEmrExtCreateFontIndirectW;
                        selected.erase(kind);
                    } else {
                        ASSERT_EQ(kindOf.count(h), 1u);
                        selected[kindOf[h]] = h;
                    }
                    break;
                }
                case kEmrDeleteObject: {
                    const std::uint32_t h = r.U32(8);
                    ASSERT_EQ(kindOf.count(h), 1u);
                    EXPECT_NE(selected[kindOf[h]], h) << "deleted while selected";
                    kindOf.erase(h);
                    break;
                }
                case kEmrSetBkMode:
                    textModeTransparent = r.U32(8) == kTransparent;
                    break;
                case kEmrBitBlt:
                    EXPECT_EQ(r.U32(40), kPatCopy);
                    EXPECT_EQ(r.U32(88), 0u) << "fills carry no bitmap";
                    requireSelected(kEmrCreateBrushIndirect);
                    break;
                case kEmrRectangle:
                    requireSelected(kEmrCreatePen);
                    requireSelected(kEmrCreateBrushIndirect);
                    break;
                case kEmrLineTo:
                    requireSelected(kEmrCreatePen);
                    break;
                case kEmrExtTextOutW:
                    requireSelected(kEmrExtCreateFontIndirectW);
                    EXPECT_TRUE(textModeTransparent);
                    break;
                default:
                    break;
            }
        });
        EXPECT_TRUE(kindOf.empty()) << kindOf.size() << " objects left";
    }
}

TEST(EmfWriterTest, DrawingAfterFinishIsRefused)
{
    TEmfCanvas canvas(10, 10);
    canvas.Finish();
    EXPECT_THROW(canvas.FillRect({0, 0, 5, 5}), std::logic_error);
}

// --- the independent checks ------------------------------------------------

class IndependentChecks : public ::testing::TestWithParam<Scene> {
protected:
    QString WritePage()
    {
        const auto bytes = Record(GetParam());
        const QString path = m_dir.filePath(QString::fromLatin1(GetParam().Name) + QStringLiteral(".emf"));
        dw::test::WriteAll(
            path, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_P(IndependentChecks, StructureCheckPasses)
{
#ifndef DW_UEMFCHECK
    GTEST_SKIP() << "libuemf is not installed: the structure check was not built";
#else
    const QString path = WritePage();
    QProcess check;
    check.start(QStringLiteral(DW_UEMFCHECK), {path});
    ASSERT_TRUE(check.waitForFinished(60000));
    const QString output = QString::fromUtf8(check.readAllStandardOutput());
    EXPECT_EQ(check.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral(": OK"))) << output.toStdString();
#endif
}

TEST_P(IndependentChecks, ConvertsToSvg)
{
#ifndef DW_EMF2SVG_CONV
    GTEST_SKIP() << "emf2svg-conv is not installed";
#else
    const QString path = WritePage();
    const QString svg = path + QStringLiteral(".svg");
    QProcess convert;
    convert.start(QStringLiteral(DW_EMF2SVG_CONV), {QStringLiteral("-i"), path, QStringLiteral("-o"), svg});
    ASSERT_TRUE(convert.waitForFinished(60000));
    EXPECT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
    // The converter can succeed without output: the file is what counts.
    const QString content = QString::fromUtf8(dw::test::ReadAll(svg));
    EXPECT_TRUE(content.contains(QStringLiteral("<svg")));
    EXPECT_TRUE(content.contains(QStringLiteral("</svg>")));
    if (QString::fromLatin1(GetParam().Name) == QStringLiteral("ReportPage")) {
        EXPECT_TRUE(content.contains(QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА")));
        EXPECT_GE(content.count(QStringLiteral("<text")), 60);
    }
#endif
}

INSTANTIATE_TEST_SUITE_P(Pages, IndependentChecks, ::testing::ValuesIn(test::Scenes()), RowName());

}  // namespace
}  // namespace dw::emf
