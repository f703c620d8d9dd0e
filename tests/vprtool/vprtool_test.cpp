// SPDX-License-Identifier: MIT
// vprtool run as a process, as a crew member would run it. The pages it
// packs are recorded at set-up with the program's own metafile canvas, so the
// tests need nothing outside their temporary folder.

#include "report/core/file_limits.h"
#include "report/emf/canvas.h"
#include "report/emf/emf_canvas.h"
#include "report/emf/emf_player.h"
#include "report/emf/emf_reader.h"
#include "tests/support/costly_reports.h"
#include "tests/support/qt_files.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using dw::TBrushStyle;
using dw::TCanvasFont;
using dw::TEmfCanvas;
using dw::TPenStyle;
using dw::test::LargePage;
using dw::test::ReadAll;
using dw::test::WaitForOutputIn;
using dw::test::WriteAll;

const QString kTool = QStringLiteral(DW_VPRTOOL);
const QString kSamples = QStringLiteral(DW_EMF_SAMPLES_DIR);

constexpr int kPageWidth = 400;
constexpr int kPageHeight = 300;

QByteArray Bytes(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// A boat under sail in large filled shapes: ink over a fair part of the
// page, not a corner of it, and white left around it.
QByteArray DrawingPage()
{
    TEmfCanvas canvas(kPageWidth, kPageHeight, 96);
    canvas.SetBrush(TBrushStyle::bsSolid, QColor(30, 90, 160));
    canvas.FillRect({0, 210, kPageWidth, kPageHeight});  // the sea
    canvas.SetBrush(TBrushStyle::bsSolid, QColor(120, 60, 20));
    canvas.FillRect({80, 170, 320, 210});  // the hull
    canvas.SetBrush(TBrushStyle::bsSolid, QColor(240, 200, 60));
    canvas.FillRect({110, 40, 195, 160});  // the sails
    canvas.FillRect({205, 60, 290, 160});
    canvas.SetPen(Qt::black, 4, TPenStyle::psSolid);
    canvas.MoveTo(200, 20);  // the mast
    canvas.LineTo(200, 170);
    return Bytes(canvas.Finish());
}

// Lines of text in two scripts and two sizes, as a report's body would hold.
QByteArray TextPage()
{
    TEmfCanvas canvas(kPageWidth, kPageHeight, 96);
    TCanvasFont font;
    font.Size = 14;
    font.Style.Bold = true;
    canvas.SetFont(font, 96);
    canvas.TextOut(20, 16, QStringLiteral("Drilling report / Буровой журнал"));
    font.Size = 10;
    font.Style.Bold = false;
    canvas.SetFont(font, 96);
    const QStringList lines{
        QStringLiteral("Well 17, pad 4: depth 1250.5 m"),
        QStringLiteral("Скважина 17, куст 4: глубина 1250,5 м"),
        QStringLiteral("Нагрузка на долото 12,0 т, обороты 90 об/мин"),
        QStringLiteral("Weight on bit 12.0 t, rotary speed 90 rpm"),
        QStringLiteral("Бурильщик: Иванов И. И.   Смена: ночная"),
    };
    int y = 60;
    for (const QString& line : lines) {
        canvas.TextOut(20, y, line);
        y += canvas.TextExtent(line).height() + 6;
    }
    return Bytes(canvas.Finish());
}

// A form's frames and rules in several pens, with nothing filled.
QByteArray FramesPage()
{
    TEmfCanvas canvas(kPageWidth, kPageHeight, 96);
    canvas.SetBrush(TBrushStyle::bsClear, Qt::white);
    canvas.SetPen(Qt::black, 2, TPenStyle::psSolid);
    canvas.Rectangle({10, 10, 390, 290});
    canvas.SetPen(Qt::black, 1, TPenStyle::psSolid);
    canvas.Rectangle({20, 20, 380, 60});
    for (int y = 80; y < 280; y += 20) {
        canvas.MoveTo(20, y);
        canvas.LineTo(380, y);
    }
    canvas.SetPen(QColor(160, 0, 0), 1, TPenStyle::psDash);
    for (int x = 120; x < 380; x += 100) {
        canvas.MoveTo(x, 70);
        canvas.LineTo(x, 280);
    }
    return Bytes(canvas.Finish());
}

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun RunTool(const QStringList& arguments, int timeoutMs = 120000)
{
    const dw::test::CommandRun run = dw::test::RunCommand(kTool, arguments, timeoutMs);
    if (!run.Finished)
        return {-1, {}, QStringLiteral("(the tool did not finish normally)")};
    return {run.ExitCode, QString::fromUtf8(run.Out), QString::fromUtf8(run.Err)};
}

int Int32At(const QByteArray& bytes, int offset)
{
    return static_cast<int>(static_cast<quint8>(bytes[offset]) | static_cast<quint8>(bytes[offset + 1]) << 8 |
                            static_cast<quint8>(bytes[offset + 2]) << 16 |
                            static_cast<quint8>(bytes[offset + 3]) << 24);
}

// A metafile's header holds its bounds (device pixels) from offset 8 and
// its frame (.01 mm) from offset 24: left, top, right, bottom.
constexpr qsizetype kBounds = 8;
constexpr qsizetype kFrame = 24;

// Pixels that are not white, as a share of the picture.
double InkShare(const QImage& image)
{
    qint64 ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                ++ink;
            }
        }
    }
    return static_cast<double>(ink) / (static_cast<double>(image.width()) * image.height());
}

struct KindRow;

class VprTool : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir->isValid());
        ASSERT_TRUE(pageDir.isValid());
        const QByteArray drawing = DrawingPage();
        const std::vector<std::pair<QString, QByteArray>> files{
            {QStringLiteral("drawing.emf"), drawing},
            {QStringLiteral("text.emf"), TextPage()},
            {QStringLiteral("frames.emf"), FramesPage()},
            // Its header promises more bytes than the file has.
            {QStringLiteral("damaged.emf"), drawing.left(drawing.size() - 40)},
        };
        for (const auto& [name, bytes] : files) {
            ASSERT_NO_FATAL_FAILURE(WriteAll(pageDir.filePath(name), bytes));
        }
        pages =
            QStringList{pageDir.filePath(QStringLiteral("drawing.emf")), pageDir.filePath(QStringLiteral("text.emf")),
                        pageDir.filePath(QStringLiteral("frames.emf"))};
        damagedPage = pageDir.filePath(QStringLiteral("damaged.emf"));
    }

    QString Path(const QString& name) const { return dir->filePath(name); }

    // A report file of the given metafiles.
    QString Pack(const QString& name, const QStringList& metafiles, bool compress = false)
    {
        QStringList arguments{QStringLiteral("pack")};
        if (compress) {
            arguments << QStringLiteral("--compress");
        }
        arguments << Path(name) << metafiles;
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return Path(name);
    }

    // Packs the metafiles plain and compressed and checks that the header,
    // info and every page taken back out match what went in.
    void ExpectPackedPagesComeBack(const QStringList& metafiles)
    {
        const int count = static_cast<int>(metafiles.size());
        for (const bool compress : {false, true}) {
            SCOPED_TRACE(compress ? "compressed" : "plain");
            const QString report =
                Pack(compress ? QStringLiteral("packed.VPR") : QStringLiteral("plain.VPR"), metafiles, compress);
            const QByteArray bytes = ReadAll(report);
            ASSERT_GE(bytes.size(), 124);
            EXPECT_EQ(Int32At(bytes, 0), 3 | 207 << 16);
            EXPECT_EQ(Int32At(bytes, 8), count);
            EXPECT_EQ(bytes[21], compress ? 1 : 0);
            // The last record's offset closes the file.
            EXPECT_EQ(Int32At(bytes, 124), 1);
            EXPECT_GT(Int32At(bytes, bytes.size() - 4), 124);

            const ToolRun info = RunTool({QStringLiteral("info"), report});
            EXPECT_EQ(info.exitCode, 0) << info.err.toStdString();
            EXPECT_TRUE(info.err.isEmpty()) << info.err.toStdString();
            EXPECT_TRUE(info.out.contains(QStringLiteral("Pages: %1\n").arg(count)));
            EXPECT_TRUE(info.out.contains(compress ? QStringLiteral("Compression: yes\n")
                                                   : QStringLiteral("Compression: no\n")));
            EXPECT_TRUE(info.out.contains(
                QRegularExpression(QStringLiteral("Written: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\n"))))
                << info.out.toStdString();

            for (int n = 1; n <= count; ++n) {
                const QByteArray original = ReadAll(metafiles[n - 1]);
                ASSERT_FALSE(original.isEmpty()) << metafiles[n - 1].toStdString();
                const QRegularExpression line(
                    QStringLiteral("Page %1: \\d+ x \\d+ pixels at \\d+ dpi, [0-9.]+ x [0-9.]+ mm, %2 bytes\n")
                        .arg(n)
                        .arg(original.size()));
                EXPECT_TRUE(info.out.contains(line)) << info.out.toStdString();

                const QString page = Path(QStringLiteral("page%1.emf").arg(n));
                const ToolRun emf = RunTool({QStringLiteral("emf"), report, QStringLiteral("--page"),
                                             QString::number(n), QStringLiteral("-o"), page});
                EXPECT_EQ(emf.exitCode, 0) << emf.err.toStdString();
                EXPECT_EQ(ReadAll(page), original) << "page " << n;
            }
        }
    }

    // A command line a row prepares in a fresh folder, what the tool must
    // answer, and the output it must not leave behind. In the complaint, %1
    // and %2 stand for the first and second file of the command line.
    struct AnswerRow {
        const char* name;
        std::function<QStringList(VprTool&)> prepare;
        int exitCode;
        QString complaint;
        QString output;  // must not exist afterwards ("" = none)
    };

    void ExpectAnswers(const std::vector<AnswerRow>& rows)
    {
        for (const AnswerRow& row : rows) {
            SCOPED_TRACE(row.name);
            dir = std::make_unique<QTemporaryDir>();
            const QStringList arguments = row.prepare(*this);
            const ToolRun run = RunTool(arguments);
            EXPECT_EQ(run.exitCode, row.exitCode) << run.err.toStdString();
            QString complaint = row.complaint;
            complaint.replace("%1", arguments.value(1)).replace("%2", arguments.value(2));
            EXPECT_TRUE(complaint.isEmpty() || run.err.startsWith("vprtool: " + complaint)) << run.err.toStdString();
            // Nothing half-written in place of the target or beside it.
            const QStringList left = QDir(dir->path()).entryList(QDir::Files | QDir::Hidden);
            EXPECT_TRUE(row.output.isEmpty() || left.filter(row.output).isEmpty()) << left.join(' ').toStdString();
        }
    }

    // The first recorded page, alone or in a report, with the bounds or the
    // frame of its header made `left` to `right` wide; a second call in the
    // same row reshapes it further.
    QString Reshaped(qsizetype rect, std::int32_t left, std::int32_t right, bool inReport = false)
    {
        const QString file = Path(inReport ? "framed.VPR" : "framed.emf");
        if (!QFile::exists(file)) {
            inReport ? void(Pack("framed.VPR", {pages[0]})) : WriteAll(file, ReadAll(pages[0]));
        }
        QByteArray bytes = ReadAll(file);
        const qsizetype at = (inReport ? 124 + 8 : 0) + rect;
        std::memcpy(bytes.data() + at, &left, 4);
        std::memcpy(bytes.data() + at + 8, &right, 4);
        WriteAll(file, bytes);
        return file;
    }

    void ExpectKind(const KindRow& row);

    std::unique_ptr<QTemporaryDir> dir = std::make_unique<QTemporaryDir>();
    // The recorded pages live apart from dir, which a test may replace.
    QTemporaryDir pageDir;
    QStringList pages;  // a drawing, lines of text, frames and rules
    QString damagedPage;
};

TEST(VprToolHelp, HelpNamesEveryCommand)
{
    const ToolRun run = RunTool({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Usage: vprtool"))) << run.out.toStdString();
    for (const char* command : {"info", "pdf", "png", "emf", "pack"}) {
        EXPECT_TRUE(run.out.contains(QStringLiteral("vprtool ") + QLatin1String(command))) << command;
    }
}

TEST(VprToolHelp, VersionIsTheReleaseAndHelpSaysHow)
{
    struct Row {
        const char* name;
        QStringList arguments;
        const char* said;  // the whole of standard output
    };
    const std::vector<Row> rows{
        {"alone", {"--version"}, "vprtool " DW_VERSION "\n"},
        {"after a command", {"info", "--version"}, "vprtool " DW_VERSION "\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ToolRun run = RunTool(row.arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, QString::fromUtf8(row.said));
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    }
    EXPECT_TRUE(RunTool({QStringLiteral("--help")}).out.contains(QStringLiteral("vprtool --version")));
}

TEST(VprToolHelp, BadCommandLinesAreRefused)
{
    struct Row {
        const char* name;
        QStringList arguments;
        const char* complaint;
    };
    const std::vector<Row> rows{
        {"nothing", {}, "no command given"},
        {"unknown command", {"print", "a.VPR"}, "unknown command \"print\""},
        {"unknown option", {"info", "--frobnicate", "a.VPR"}, "unknown option \"--frobnicate\""},
        {"no report file", {"info"}, "no report file given"},
        {"two report files", {"info", "a.VPR", "b.VPR"}, "one report file at a time"},
        {"png without output", {"png", "a.VPR"}, "png needs -o OUT"},
        {"output without its value", {"pdf", "a.VPR", "-o"}, "-o needs a value"},
        {"emf without page", {"emf", "a.VPR", "-o", "x.emf"}, "emf needs --page N"},
        {"page zero", {"png", "a.VPR", "--page", "0", "-o", "x.png"}, "--page counts from 1"},
        {"dpi not a number", {"png", "a.VPR", "--dpi", "9x", "-o", "x.png"}, "--dpi needs a whole number"},
        {"dpi too small", {"png", "a.VPR", "--dpi", "5", "-o", "x.png"}, "--dpi must lie between 10 and 2400"},
        {"compress outside pack", {"info", "a.VPR", "--compress"}, "--compress does not apply to \"info\""},
        {"dpi outside png", {"pdf", "a.VPR", "--dpi", "300", "-o", "x.pdf"}, "--dpi does not apply to \"pdf\""},
        {"pack without pages", {"pack", "out.VPR"}, "pack needs the report file to write and at least one metafile"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ToolRun run = RunTool(row.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("vprtool: "))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.complaint))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("vprtool --help")));
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST_F(VprTool, PackedPagesComeBackByteForByte)
{
    ExpectPackedPagesComeBack(pages);
}

// Metafiles written by other programs, when the shared samples are at hand.
TEST_F(VprTool, ForeignMetafilesComeBackByteForByte)
{
    const QStringList samples{kSamples + QStringLiteral("/windows_sailboat.emf"),
                              kSamples + QStringLiteral("/chromium_test4.emf")};
    for (const QString& sample : samples) {
        if (!QFileInfo(sample).isFile()) {
            GTEST_SKIP() << "sample metafile not found: " << sample.toStdString();
        }
    }
    ExpectPackedPagesComeBack(samples);
}

TEST_F(VprTool, PngDrawsThePageAtTheAskedResolution)
{
    const QString report = Pack(QStringLiteral("one.VPR"), {pages[0]});
    const QString small = Path(QStringLiteral("small.png"));
    const QString large = Path(QStringLiteral("large.png"));
    ASSERT_EQ(RunTool({QStringLiteral("png"), report, QStringLiteral("-o"), small}).exitCode, 0);
    ASSERT_EQ(RunTool({QStringLiteral("png"), report, QStringLiteral("--dpi"), QStringLiteral("192"),
                       QStringLiteral("--page"), QStringLiteral("1"), QStringLiteral("-o"), large})
                  .exitCode,
              0);
    const QImage a(small);
    const QImage b(large);
    ASSERT_FALSE(a.isNull());
    ASSERT_FALSE(b.isNull());
    EXPECT_NEAR(b.width(), 2 * a.width(), 1);
    EXPECT_NEAR(b.height(), 2 * a.height(), 1);
    // The drawing covers a fair part of its page, not a corner of it, so a
    // picture drawn small or off the page shows here.
    EXPECT_GT(InkShare(a), 0.15);
    EXPECT_LT(InkShare(a), 0.9);
}

// A picture of many strips is the picture of the page drawn whole: no seam
// where one strip ends, no row lost or doubled, the resolution recorded.
TEST_F(VprTool, PngDrawnInStripsIsThePageDrawnWhole)
{
    for (const QString& source : pages) {
        SCOPED_TRACE(source.toStdString());
        const QString report = Pack(QStringLiteral("strips.VPR"), {source});
        const QString png = Path(QStringLiteral("strips.png"));
        ASSERT_EQ(RunTool({QStringLiteral("png"), report, QStringLiteral("--dpi"), QStringLiteral("960"),
                           QStringLiteral("-o"), png})
                      .exitCode,
                  0);
        const QImage stripped = QImage(png).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(stripped.size(), QSize(4000, 3000));  // more rows than one strip holds
        EXPECT_EQ(stripped.dotsPerMeterX(), qRound(960 / 0.0254));

        const QByteArray bytes = ReadAll(source);
        const dw::emf::EmfDocument page(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        QImage whole(4000, 3000, QImage::Format_RGB32);
        whole.fill(Qt::white);
        QPainter painter(&whole);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        dw::PlayEmf(painter, page, QRectF(0, 0, 4000, 3000));
        painter.end();
        // A smoothed edge crossing a seam may come out a shade apart; no
        // pixel may be another colour.
        int apart = 0;
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x) {
                const QRgb a = stripped.pixel(x, y), b = whole.pixel(x, y);
                apart += std::abs(qRed(a) - qRed(b)) > 48 || std::abs(qGreen(a) - qGreen(b)) > 48 ||
                         std::abs(qBlue(a) - qBlue(b)) > 48;
            }
        EXPECT_EQ(apart, 0);
    }
}

TEST_F(VprTool, PngOfSeveralPagesNumbersTheFiles)
{
    const QString report = Pack(QStringLiteral("three.VPR"), pages);
    const ToolRun run =
        RunTool({QStringLiteral("png"), report, QStringLiteral("-o"), Path(QStringLiteral("page.png"))});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("page.png"))));
    for (int n = 1; n <= 3; ++n) {
        const QImage image(Path(QStringLiteral("page-%1.png").arg(n)));
        EXPECT_FALSE(image.isNull()) << "page " << n;
        EXPECT_GT(InkShare(image), 0.0) << "page " << n;
    }
}

TEST_F(VprTool, PdfHasOnePagePerStoredPage)
{
    const QString report = Pack(QStringLiteral("three.VPR"), pages, true);
    const QString pdf = Path(QStringLiteral("three.pdf"));
    const ToolRun run = RunTool({QStringLiteral("pdf"), report, QStringLiteral("-o"), pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(ReadAll(pdf).startsWith("%PDF-"));
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) {
        GTEST_SKIP() << "pdfinfo not installed (poppler-utils): the pages cannot be counted";
    }
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(pdfinfo.waitForFinished(60000));
    const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\n")))) << info.toStdString();
}

TEST_F(VprTool, InfoShowsTheStampAsTheNumberCoreDecodesIt)
{
    struct Row {
        const char* name;
        double stamp;
        const char* line;
    };
    const Row rows[] = {
        {"an afternoon", 46023.75, "Written: 2026-01-01 18:00:00\n"},
        {"a negative day, its fraction running forward", -1.25, "Written: 1899-12-29 06:00:00\n"},
        {"the last millisecond of 9999", 2958465.0 + 86399999.0 / 86400000.0, "Written: 9999-12-31 23:59:59\n"},
        {"past the calendar", 2958466.0, "Written: not recorded\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray header(124, '\0');
        header[0] = 3;
        header[2] = static_cast<char>(207);
        std::memcpy(header.data() + 12, &row.stamp, sizeof row.stamp);
        const QString report = Path(QStringLiteral("stamped.VPR"));
        WriteAll(report, header);
        const ToolRun info = RunTool({QStringLiteral("info"), report});
        EXPECT_EQ(info.exitCode, 0) << info.err.toStdString();
        EXPECT_TRUE(info.out.contains(QString::fromUtf8(row.line))) << info.out.toStdString();
    }
}

TEST_F(VprTool, ReportWithoutPagesHasNothingToDraw)
{
    QByteArray header(124, '\0');
    header[0] = 3;
    header[2] = static_cast<char>(207);
    const QString report = Path(QStringLiteral("empty.VPR"));
    WriteAll(report, header);

    const ToolRun info = RunTool({QStringLiteral("info"), report});
    EXPECT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains(QStringLiteral("Pages: 0\n")));
    EXPECT_TRUE(info.out.contains(QStringLiteral("Written: not recorded\n")));

    // A file that cannot be used, not a bad command line.
    const ToolRun pdf = RunTool({QStringLiteral("pdf"), report, QStringLiteral("-o"), Path(QStringLiteral("x.pdf"))});
    EXPECT_EQ(pdf.exitCode, 1);
    EXPECT_EQ(pdf.err, QStringLiteral("vprtool: %1 holds no pages\n").arg(report));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("x.pdf"))));
}

// What each failure says, with the file and the page, and its exit status:
// 1 for a file that cannot be used, 2 for a command line asking for a page
// the report does not have.
TEST_F(VprTool, DamagedInputEndsInAnErrorNamingFileAndPage)
{
    const auto damagedReport = [](VprTool& t, int which) {
        const QString report = t.Pack(QStringLiteral("damaged.VPR"), t.pages);
        QByteArray bytes = ReadAll(report);
        qsizetype at = 124;
        for (int n = 1; n < which; ++n) {
            at = Int32At(bytes, static_cast<int>(at + 4));
        }
        bytes[at + 8 + 40] = 'X';  // the page's " EMF" signature
        WriteAll(report, bytes);
        return report;
    };
    const std::vector<AnswerRow> rows{
        {"missing report file",
         [](VprTool& t) {
             return QStringList{"info", t.Path("missing.VPR")};
         },
         1, "Cannot open file %1\n", ""},
        {"not a report file",
         [](VprTool& t) {
             WriteAll(t.Path("notes.VPR"), "a few words, not a report");
             return QStringList{"pdf", t.Path("notes.VPR"), "-o", t.Path("out.pdf")};
         },
         1, "File %1 is not a valid report file\n", "out.pdf"},
        {"report cut short",
         [](VprTool& t) {
             const QString report = t.Pack("cut.VPR", t.pages);
             QByteArray bytes = ReadAll(report);
             WriteAll(report, bytes.left(bytes.size() - 10));
             return QStringList{"png", report, "-o", t.Path("out.png")};
         },
         1, "File %1 is not a valid report file\n", "out.png"},
        {"page data not a metafile, png",
         [&](VprTool& t) {
             return QStringList{"png", damagedReport(t, 1), "-o", t.Path("out.png")};
         },
         1, "%1: page 1: Metafile is not valid\n", "out.png"},
        {"third page not a metafile, pdf",
         [&](VprTool& t) {
             return QStringList{"pdf", damagedReport(t, 3), "-o", t.Path("out.pdf")};
         },
         1, "%1: page 3: Metafile is not valid\n", "out.pdf"},
        {"second page not a metafile, info",
         [&](VprTool& t) {
             return QStringList{"info", damagedReport(t, 2)};
         },
         1, "%1: page 2: Metafile is not valid\n", ""},
        {"compressed code bits damaged",
         [](VprTool& t) {
             const QString report = t.Pack("bits.VPR", {t.pages[1]}, true);
             QByteArray bytes = ReadAll(report);
             for (int i = 140; i < 240; ++i) {
                 bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
             }
             WriteAll(report, bytes);
             return QStringList{"emf", report, "--page", "1", "-o", t.Path("out.emf")};
         },
         1, "%1: page 1: Metafile is not valid\n", "out.emf"},
        {"page too large to render",
         [](VprTool& t) {
             return QStringList{"png", t.Reshaped(kFrame, 0, 400000, true), "--dpi", "2400", "-o", t.Path("out.png")};
         },
         1, "%1: page 1 would be 377953 x ", "out.png"},
        {"damaged metafile to pack",
         [](VprTool& t) {
             return QStringList{"pack", t.Path("out.VPR"), t.damagedPage, t.pages[0]};
         },
         1, "%2: Metafile is not valid\n", "out.VPR"},
        {"metafile to pack missing",
         [](VprTool& t) {
             return QStringList{"pack", t.Path("out.VPR"), t.Path("nowhere.emf")};
         },
         1, "Cannot open file %2\n", "out.VPR"},
        // Every entry of one poly-text record reads the one string behind
        // them: refused, not spelled out thousands of times.
        {"page whose text entries all read one string, info",
         [](VprTool& t) {
             const dw::test::CostlyBytes report =
                 dw::test::CostlyReport({dw::test::SharedStringPage(256 * 1024)}, false);
             WriteAll(t.Path("shared.VPR"),
                      QByteArray(reinterpret_cast<const char*>(report.data()), static_cast<qsizetype>(report.size())));
             return QStringList{"info", t.Path("shared.VPR")};
         },
         1, "%1: page 1: Metafile is not valid\n", ""},
        {"page beyond the report",
         [](VprTool& t) {
             return QStringList{"emf", t.Pack("two.VPR", t.pages.mid(0, 2)), "--page", "9", "-o", t.Path("out.emf")};
         },
         2, "%1 has no page 9: it holds 2 pages\n", "out.emf"},
    };
    ExpectAnswers(rows);
}

// A file that cannot be written is said with its reason, in the words pack
// uses, by every command that writes: not the short error text.
TEST_F(VprTool, AnOutputThatCannotBeWrittenIsSaidWithItsReason)
{
    const auto output = [](const char* command, const QString& name) {
        return [=](VprTool& t) {
            const QString report = t.Pack(QStringLiteral("one.VPR"), {t.pages[2]});
            QStringList arguments{command, "-o", t.Path(name), report};
            if (QString::fromLatin1(command) == QLatin1String("emf")) {
                arguments << "--page"
                          << "1";
            }
            return arguments;
        };
    };
    const QString longName = QString(300, u'x');
    const std::vector<AnswerRow> rows{
        {"pdf, name too long", output("pdf", longName + ".pdf"), 1, "Cannot create file %2: the name is too long\n",
         ""},
        {"png, name too long", output("png", longName + ".png"), 1, "Cannot create file %2: the name is too long\n",
         ""},
        {"emf, name too long", output("emf", longName + ".emf"), 1, "Cannot create file %2: the name is too long\n",
         ""},
        {"pdf, folder missing", output("pdf", "nowhere/out.pdf"), 1,
         "Cannot create file %2: the folder does not exist\n", ""},
        {"png, folder missing", output("png", "nowhere/out.png"), 1,
         "Cannot create file %2: the folder does not exist\n", ""},
        {"emf, folder missing", output("emf", "nowhere/out.emf"), 1,
         "Cannot create file %2: the folder does not exist\n", ""},
    };
    ExpectAnswers(rows);
}

// A disk that fills up while the output is written is said as pack says
// it, by every command that writes, and the half-written output does not
// stay: the folder holds what it held before. The full disk is a small file
// system of the tool's own, in a mount namespace that ends with it, so the
// test needs neither root nor a disk of the machine's; where such
// namespaces are not allowed, it is skipped.
TEST_F(VprTool, AnOutputOntoAFullDiskIsSaidWithItsReason)
{
    // unshare FOLDER COMMAND...: FOLDER becomes a 64 KiB file system, filled
    // to the last byte; the command runs, then what the folder holds is
    // listed on standard output, and the command's status is the answer.
    const QString fullDisk = QStringLiteral(
        "dir=$1; shift; mount -t tmpfs -o size=64k tmpfs \"$dir\" || exit 97; "
        "dd if=/dev/zero of=\"$dir/filler\" bs=1024 2>/dev/null; "
        "\"$@\"; status=$?; ls -A \"$dir\"; exit $status");
    const auto onFullDisk = [&](const QString& folder, const QStringList& command) {
        return dw::test::RunCommand(
            QStringLiteral("unshare"),
            QStringList{"--user", "--map-root-user", "--mount", "sh", "-c", fullDisk, "sh", folder} + command);
    };
    const QString folder = Path(QStringLiteral("full"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const dw::test::CommandRun probe = onFullDisk(folder, {QStringLiteral("true")});
    if (!probe.Finished || probe.ExitCode != 0)
        GTEST_SKIP() << "no mount namespace of one's own here (unshare --user --mount): " << probe.Err.toStdString();

    const QString report = Pack(QStringLiteral("one.VPR"), {pages[2]});
    struct Row {
        const char* Name;
        QStringList Command;  // OUT stands for the output in the full folder
        const char* Output;
    };
    const Row rows[] = {
        {"pdf", {"pdf", report, "-o", "OUT"}, "out.pdf"},
        {"png", {"png", report, "-o", "OUT"}, "out.png"},
        {"emf", {"emf", report, "--page", "1", "-o", "OUT"}, "out.emf"},
        {"pack", {"pack", "OUT", pages[2]}, "out.VPR"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const QString output = folder + QLatin1Char('/') + QLatin1String(row.Output);
        const dw::test::CommandRun run =
            onFullDisk(folder, QStringList{kTool} + QStringList(row.Command).replaceInStrings("OUT", output));
        ASSERT_TRUE(run.Finished);
        EXPECT_EQ(run.ExitCode, 1);
        EXPECT_EQ(run.Err.toStdString(), "vprtool: Cannot write file " + output.toStdString() + ": the disk is full\n");
        EXPECT_EQ(run.Out.toStdString(), "filler\n");
    }
}

// Pictures of a report of many pages are written one after another, so the
// files a process may have open do not limit how many pages it has.
TEST_F(VprTool, PngOfMorePagesThanFilesMayBeOpenWritesThemAll)
{
    constexpr int kPages = 40;
    const QString report = Pack(QStringLiteral("many.VPR"), QStringList(kPages, pages[2]));
    const dw::test::CommandRun run = dw::test::RunCommand(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("ulimit -n 24 && exec \"$0\" \"$@\""), kTool, QStringLiteral("png"),
         report, QStringLiteral("--dpi"), QStringLiteral("10"), QStringLiteral("-o"), Path(QStringLiteral("p.png"))},
        120000);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    for (int n = 1; n <= kPages; ++n) {
        EXPECT_FALSE(QImage(Path(QStringLiteral("p-%1.png").arg(n))).isNull()) << "page " << n;
    }
}

// Nothing larger than the program can have written is read: a file from its
// size alone (made sparse, so the test costs no disk), a page from its frame.
TEST_F(VprTool, FilesAndPagesBeyondTheLimitsAreRefused)
{
    const auto pack = [](qsizetype rect, std::int32_t left, std::int32_t right) {
        return [=](VprTool& t) { return QStringList{"pack", t.Path("out.VPR"), t.Reshaped(rect, left, right)}; };
    };
    // The command line with the sparse file last.
    const auto sparse = [](const char* name, qint64 size, QStringList command) {
        return [=](VprTool& t) {
            WriteAll(t.Path(name), {});
            EXPECT_TRUE(QFile::resize(t.Path(name), size));
            return QStringList(command).replaceInStrings("out.VPR", t.Path("out.VPR")) << t.Path(name);
        };
    };
    const std::vector<AnswerRow> rows{
        {"metafile one byte over", sparse("huge.emf", dw::kMaxMetafileSize + 1, {"pack", "out.VPR"}), 1,
         "File %2 is too large: a page's metafile holds at most 268435456 bytes\n", "out.VPR"},
        {"report one byte over", sparse("huge.VPR", dw::kMaxReportFileSize + 1, {"info"}), 1,
         "File %1 is too large: a report file holds at most 2147483647 bytes\n", ""},
        {"page 5 m wide", pack(kFrame, 1000, 501000), 0, "", ""},
        {"page 5 m and 0.01 mm wide", pack(kFrame, 1000, 501001), 1, "%2: Page is too large: 5000.01 x ", "out.VPR"},
        {"frame across the coordinate range", pack(kFrame, INT32_MIN, INT32_MAX), 1,
         "%2: Page is too large: 42949672.95 x ", "out.VPR"},
        {"no frame, bounds across the range",
         [](VprTool& t) {
             t.Reshaped(kFrame, 0, 0);
             return QStringList{"pack", t.Path("out.VPR"), t.Reshaped(kBounds, INT32_MIN, INT32_MAX)};
         },
         1, "%2: Page is too large: ", "out.VPR"},
        {"such a page in a report",
         [](VprTool& t) {
             return QStringList{"pdf", t.Reshaped(kFrame, INT32_MIN, INT32_MAX, true), "-o", t.Path("out.pdf")};
         },
         1, "%1: page 1: Page is too large: 42949672.95 x ", "out.pdf"},
    };
    ExpectAnswers(rows);
}

// What a name given to the tool is: only a regular file is read or replaced,
// a link is followed (and stays a link), and nothing waits on a pipe.
struct KindRow {
    const char* name;
    // Makes the kind at path; a link points to target. False when it cannot.
    std::function<bool(const QString& path, const QString& target)> make;
    bool targetExists;  // for a link: whether what it points to is there
    // After "Cannot open file <path>" and "Cannot create file <path>"; none
    // when the file is read, or written.
    const char* asInput;
    const char* asOutput;
};

const auto kMakeLink = [](const QString& p, const QString& t) { return QFile::link(t, p); };
const KindRow kKinds[] = {
    {"pipe", [](const QString& p, const QString&) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; }, false,
     ": it is a pipe, not a file\n", ": it is a pipe, not a file\n"},
    {"folder", [](const QString& p, const QString&) { return QDir().mkdir(p); }, false,
     ": it is a folder, not a file\n", ": it is a folder, not a file\n"},
    {"link to a file", kMakeLink, true, nullptr, nullptr},
    {"dangling link", kMakeLink, false, "\n", nullptr},
};
// A device node of its own, as /dev/null is: only root may make one.
const KindRow kDevice{
    "device",
    [](const QString& p, const QString&) { return ::mknod(QFile::encodeName(p), S_IFCHR | 0600, makedev(1, 3)) == 0; },
    false, ": it is a device, not a file\n", ": it is a device, not a file\n"};

void VprTool::ExpectKind(const KindRow& row)
{
    SCOPED_TRACE(row.name);
    dir = std::make_unique<QTemporaryDir>();
    const QString report = Pack("good.VPR", {pages[0]});
    const QString input = Path("in.emf");
    if (!row.make(input, row.targetExists ? pages[0] : Path("gone"))) {
        GTEST_SKIP() << row.name << " cannot be made here";
    }
    ToolRun run = RunTool({"pack", Path("packed.VPR"), input}, 20000);
    EXPECT_EQ(run.exitCode, row.asInput ? 1 : 0) << run.err.toStdString();
    EXPECT_EQ(run.err, row.asInput ? "vprtool: Cannot open file " + input + row.asInput : QString());

    // The link's target is written and the link stays; anything else that is
    // not a file stays as it was.
    const QString output = Path("out.pdf");
    const QString target = Path("target.pdf");
    if (row.targetExists) {
        WriteAll(target, "the report sent yesterday");
    }
    ASSERT_TRUE(row.make(output, target));
    const auto mode = [&] {
        struct stat info {};
        return ::lstat(QFile::encodeName(output), &info) == 0 ? info.st_mode : mode_t{0};
    };
    const mode_t before = mode();
    run = RunTool({"pdf", report, "-o", output}, 20000);
    EXPECT_EQ(mode(), before);
    EXPECT_EQ(run.exitCode, row.asOutput ? 1 : 0) << run.err.toStdString();
    EXPECT_EQ(run.err, row.asOutput ? "vprtool: Cannot create file " + output + row.asOutput : QString());
    EXPECT_EQ(ReadAll(target).startsWith("%PDF-"), row.asOutput == nullptr);
    EXPECT_EQ(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).filter(".tmp"), QStringList());
}

TEST_F(VprTool, OnlyRegularFilesAreReadOrReplaced)
{
    for (const KindRow& row : kKinds) {
        ExpectKind(row);
    }
}

TEST_F(VprTool, DeviceIsNeitherReadNorReplaced)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "a device node can only be made as root";
    }
    ExpectKind(kDevice);
}

TEST_F(VprTool, FailedRunKeepsTheFileItWouldHaveReplaced)
{
    const QString report = Pack(QStringLiteral("damaged.VPR"), {pages[0]});
    QByteArray bytes = ReadAll(report);
    bytes[124 + 8 + 40] = 'X';
    WriteAll(report, bytes);
    const QString previous = Path(QStringLiteral("report.pdf"));
    WriteAll(previous, "the report sent yesterday");
    const ToolRun run = RunTool({QStringLiteral("pdf"), report, QStringLiteral("-o"), previous});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ReadAll(previous), QByteArray("the report sent yesterday"));
}

// --- a write cut short ------------------------------------------------------

struct InterruptRow {
    const char* Name;
    int Signal;
};

void PrintTo(const InterruptRow& row, std::ostream* out)
{
    *out << row.Name;
}

class VprToolInterrupted : public VprTool, public ::testing::WithParamInterface<InterruptRow> {};

TEST_P(VprToolInterrupted, PackStoppedWhileWritingLeavesTheFolderAsItWas)
{
    const QString page = Path(QStringLiteral("large.emf"));
    ASSERT_NO_FATAL_FAILURE(WriteAll(page, LargePage(2'000'000)));
    const QString report = Path(QStringLiteral("report.VPR"));
    ASSERT_NO_FATAL_FAILURE(WriteAll(report, QByteArray("the report sent yesterday")));
    const QStringList before = QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    QStringList arguments{QStringLiteral("pack"), report};
    for (int i = 0; i < 12; ++i) arguments << page;
    QProcess process;
    process.start(kTool, arguments);
    ASSERT_TRUE(process.waitForStarted());
    const bool caught = WaitForOutputIn(process.processId(), dir->path(), page);
    if (caught)
        ::kill(static_cast<pid_t>(process.processId()), GetParam().Signal);
    ASSERT_TRUE(process.waitForFinished(120000));
    if (!caught)
        GTEST_SKIP() << "the tool finished before it could be stopped";
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(ReadAll(report), QByteArray("the report sent yesterday"));
    EXPECT_EQ(QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

INSTANTIATE_TEST_SUITE_P(Table, VprToolInterrupted,
                         ::testing::Values(InterruptRow{"Killed", SIGKILL}, InterruptRow{"Terminated", SIGTERM},
                                           InterruptRow{"Interrupted", SIGINT}),
                         [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
