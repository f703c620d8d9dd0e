// SPDX-License-Identifier: MIT
#include "tools/vprtool/vpr_commands.h"

#include "common/errors.h"
#include "common/input_file.h"
#include "common/replace_file.h"
#include "numeric/core/date_time.h"
#include "report/core/file_limits.h"
#include "report/core/page_errors.h"
#include "report/core/page_list.h"
#include "report/core/page_stream.h"
#include "report/emf/emf_player.h"
#include "report/emf/emf_reader.h"
#include "report/emf/pdf_pages.h"
#include "tools/vprtool/png_strips.h"

#include <QBuffer>
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw::vprtool {

namespace {

// A picture larger than this is refused: it is drawn in strips, so memory
// is not what it costs, but its time and the size of the file are.
constexpr double kMaxPixels = 400.0 * 1000 * 1000;
constexpr int kMaxSide = 60000;
// Pixels of one strip of a PNG picture being drawn (16 MB at 32 bits).
constexpr double kStripPixels = 4.0 * 1024 * 1024;

std::string Utf8(const QString& text)
{
    return text.toStdString();
}

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// A saved report file opened for reading, its links checked.
class ReportFile {
public:
    explicit ReportFile(const QString& path) : m_path(path) { m_list.OpenFromFile(Utf8(path)); }

    int PageCount() const { return m_list.PageCount(); }
    bool Compressed() const { return m_list.Compressed(); }

    // The date and time of writing, when the header holds a usable one.
    std::optional<QDateTime> Written() const
    {
        const std::optional<DateTimeValue> written = m_list.Written();
        if (!written) {
            return std::nullopt;
        }
        const CalendarDate date = DecodeDateValue(*written);
        const ClockTime time = DecodeTimeValue(*written);
        return QDateTime(QDate(date.Year, date.Month, date.Day),
                         QTime(time.Hour, time.Minute, time.Second, time.Millisecond));
    }

    void RequirePage(int n) const
    {
        // A file without pages cannot be used; a page number it does not
        // have is a mistake of the command line.
        if (PageCount() == 0) {
            throw EFileError(MessageText::Verbatim(Utf8(m_path) + " holds no pages"));
        }
        if (n < 1 || n > PageCount()) {
            throw UsageError(QStringLiteral("%1 has no page %2: it holds %3 page%4")
                                 .arg(m_path)
                                 .arg(n)
                                 .arg(PageCount())
                                 .arg(PageCount() == 1 ? QString() : QStringLiteral("s")));
        }
    }

    // Page n, read and checked as the preview would show it: its metafile
    // valid and its size one that paper can have. What is wrong with it is
    // said with the file and the page: "FILE.VPR: page 3: Metafile is not valid".
    emf::EmfDocument Page(int n)
    {
        RequirePage(n);
        std::optional<TVpPageBytes> bytes;
        try {
            bytes = m_list.FetchPage(n);
        } catch (const EInvalidGraphic& e) {
            PageFailed(n, e);
        }
        if (!bytes) {
            throw EFileError(MessageText::Verbatim("File " + Utf8(m_path) + " is not a valid report file"));
        }
        try {
            emf::EmfDocument page(std::move(*bytes));
            emf::RequirePageFits(page);
            return page;
        } catch (const EInvalidGraphic& e) {
            PageFailed(n, e);
        } catch (const emf::EPageTooLarge& e) {
            PageFailed(n, e);
        }
    }

    const QString& Path() const { return m_path; }

private:
    [[noreturn]] void PageFailed(int n, const Exception& e) const
    {
        throw Exception(MessageText::Verbatim(Utf8(m_path) + ": page " + std::to_string(n) + ": " + e.Message()));
    }

    QString m_path;
    TVpPageList m_list;
};

// A page's picture frame in pixels of its reference device, and that
// device's pixels per inch: what decides its size on paper.
struct PageExtent {
    double Width = 0;
    double Height = 0;
    double DpiX = 96;
    double DpiY = 96;

    double WidthMm() const { return Width / DpiX * 25.4; }
    double HeightMm() const { return Height / DpiY * 25.4; }
};

PageExtent ExtentOf(const emf::EmfDocument& page)
{
    PageExtent extent;
    const auto frame = page.FramePixels();
    extent.Width = frame.Width;
    extent.Height = frame.Height;
    const emf::EmfHeader& header = page.Header();
    if (header.Device.Cx > 0 && header.Millimeters.Cx > 0) {
        extent.DpiX = header.Device.Cx * 25.4 / header.Millimeters.Cx;
    }
    if (header.Device.Cy > 0 && header.Millimeters.Cy > 0) {
        extent.DpiY = header.Device.Cy * 25.4 / header.Millimeters.Cy;
    }
    return extent;
}

QString Fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// Every file the tool writes goes through the program's one writer: beside
// the target, on disk, then renamed over it; a link is followed and stays a
// link, and a folder, device or pipe named as output is refused, not
// replaced. Its failures are said with the file's name.
class OutputFile {
public:
    explicit OutputFile(const QString& path) : m_path(Utf8(path))
    {
        try {
            m_writer.emplace(m_path);
        } catch (const ENotAFile&) {
            throw;  // "Cannot create file <name>: it is a folder, not a file"
        } catch (const EInOutError& e) {
            // The reason in words, as pack gives it ("the folder is
            // read-only", "the name is too long"), not the short error text.
            throw EInOutError(MessageText::Verbatim("Cannot create file " + m_path + ": " + ReasonOf(e).English()));
        } catch (const Exception& e) {
            throw EInOutError(MessageText::Verbatim("Cannot create file " + m_path + ": " + e.Message()));
        }
    }

    void Write(const QByteArray& bytes)
    {
        try {
            m_writer->Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        } catch (const Exception& e) {
            Failed(e);
        }
    }

    void Commit()
    {
        try {
            m_writer->Commit();
        } catch (const Exception& e) {
            Failed(e);
        }
    }

    [[noreturn]] void Failed(const Exception& e) const
    {
        const auto* inOut = dynamic_cast<const EInOutError*>(&e);
        throw EInOutError(MessageText::Verbatim("Cannot write file " + m_path + ": " +
                                                (inOut ? ReasonOf(*inOut).English() : e.Message())));
    }

    const std::string& Name() const { return m_path; }

private:
    std::string m_path;
    std::optional<ReplaceFileWriter> m_writer;
};

// OUT.png for one page; OUT-1.png, OUT-2.png... for several.
QString NumberedName(const QString& output, int page)
{
    const QFileInfo info(output);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? info.fileName() : info.completeBaseName();
    const QString name =
        base + QLatin1Char('-') + QString::number(page) + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    return info.path() == QLatin1String(".") && !output.startsWith(QLatin1String("./"))
               ? name
               : info.path() + QLatin1Char('/') + name;
}

int Info(const ToolArguments& arguments, QTextStream& out, QTextStream& err)
{
    ReportFile file(arguments.Input);
    out << "File: " << arguments.Input << '\n';
    out << "Pages: " << file.PageCount() << '\n';
    out << "Compression: " << (file.Compressed() ? "yes" : "no") << '\n';
    const std::optional<QDateTime> written = file.Written();
    out << "Written: "
        << (written ? written->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QStringLiteral("not recorded"))
        << '\n';
    int status = 0;
    for (int n = 1; n <= file.PageCount(); ++n) {
        try {
            const emf::EmfDocument page = file.Page(n);
            const PageExtent extent = ExtentOf(page);
            out << "Page " << n << ": " << qRound64(extent.Width) << " x " << qRound64(extent.Height) << " pixels at "
                << qRound64(extent.DpiX) << " dpi, " << Fixed(extent.WidthMm(), 1) << " x "
                << Fixed(extent.HeightMm(), 1) << " mm, " << page.Bytes().size() << " bytes\n";
        } catch (const EFileError& e) {
            // The links between the records are broken: the pages after
            // this one cannot be found either, and looking for each anew
            // would only say so once a page.
            out.flush();
            err << "vprtool: " << FromUtf8(e.Message()) << '\n';
            return 1;
        } catch (const Exception& e) {
            out.flush();
            err << "vprtool: " << FromUtf8(e.Message()) << '\n';
            err.flush();
            status = 1;
        }
    }
    return status;
}

int Emf(const ToolArguments& arguments)
{
    ReportFile file(arguments.Input);
    // A page is handed out only when it would show: damaged code bits of a
    // compressed page can expand to bytes that merely look like a metafile.
    const emf::EmfDocument page = file.Page(*arguments.Page);
    OutputFile output(arguments.Output);
    output.Write(QByteArray::fromRawData(reinterpret_cast<const char*>(page.Bytes().data()),
                                         static_cast<qsizetype>(page.Bytes().size())));
    output.Commit();
    return 0;
}

// The picture's size in pixels for page n at dpi; refused when too small to
// see or too large to draw in reasonable time.
QSize PictureSize(const ReportFile& file, const emf::EmfDocument& page, int dpi, int n)
{
    const PageExtent extent = ExtentOf(page);
    const double width = std::round(extent.Width * dpi / extent.DpiX);
    const double height = std::round(extent.Height * dpi / extent.DpiY);
    const bool tooSmall = !(width >= 1 && height >= 1);
    if (tooSmall || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) {
        throw Exception(
            MessageText::Verbatim(Utf8(QStringLiteral("%1: page %2 would be %3 x %4 pixels at %5 dpi: too %6 to render")
                                           .arg(file.Path())
                                           .arg(n)
                                           .arg(width, 0, 'f', 0)
                                           .arg(height, 0, 'f', 0)
                                           .arg(dpi)
                                           .arg(tooSmall ? QStringLiteral("small") : QStringLiteral("large")))));
    }
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

// The page as a PNG picture, drawn a strip of rows at a time: memory stays
// that of one strip (about kStripPixels) and the compressed picture, whatever
// the resolution asked for; each strip plays the page anew, clipped to it.
QByteArray RenderPng(const ReportFile& file, const emf::EmfDocument& page, int dpi, int n)
{
    const QSize size = PictureSize(file, page, dpi, n);
    const int w = size.width();
    const int h = size.height();
    const int stripRows = std::clamp(static_cast<int>(kStripPixels / w), 1, h);
    PngStripWriter png(w, h, dpi);
    QImage strip(w, stripRows, QImage::Format_RGB32);
    if (strip.isNull()) {
        throw std::bad_alloc();
    }
    for (int top = 0; top < h; top += stripRows) {
        strip.fill(Qt::white);
        QPainter painter(&strip);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        painter.setClipRect(0, 0, w, stripRows);
        painter.translate(0, -top);
        PlayEmf(painter, page, QRectF(0, 0, w, h));
        painter.end();
        png.AddRows(top + stripRows <= h ? strip : strip.copy(0, 0, w, h - top));
    }
    return png.Finish();
}

int Png(const ToolArguments& arguments)
{
    ReportFile file(arguments.Input);
    std::vector<int> pages;
    if (arguments.Page) {
        pages.push_back(*arguments.Page);
    } else {
        file.RequirePage(1);
        for (int n = 1; n <= file.PageCount(); ++n) {
            pages.push_back(n);
        }
    }
    // Every page is read and its picture's size checked before any picture
    // is written, so a damaged page leaves no partial set of files behind.
    // Then the pictures are drawn and written one at a time: a report of
    // thousands of pages needs the memory of one picture and one open file.
    for (const int n : pages) {
        (void)PictureSize(file, file.Page(n), arguments.Dpi, n);
    }
    for (const int n : pages) {
        const QByteArray picture = RenderPng(file, file.Page(n), arguments.Dpi, n);
        OutputFile output(pages.size() == 1 ? arguments.Output : NumberedName(arguments.Output, n));
        output.Write(picture);
        output.Commit();
    }
    return 0;
}

int Pdf(const ToolArguments& arguments)
{
    ReportFile file(arguments.Input);
    file.RequirePage(1);
    std::vector<emf::EmfDocument> pages;
    for (int n = 1; n <= file.PageCount(); ++n) {
        pages.push_back(file.Page(n));
    }

    OutputFile output(arguments.Output);
    // The document is made in memory and written through the program's
    // writer as a whole.
    QByteArray document;
    QBuffer buffer(&document);
    buffer.open(QIODevice::WriteOnly);
    emf::PdfPagesInfo info;
    info.Title = QFileInfo(arguments.Input).completeBaseName();
    info.Creator = QStringLiteral("vprtool");
    const int failed = emf::WritePdfPages(buffer, info, static_cast<int>(pages.size()), [&](int n) {
        // Borrowed, not owned: the pages outlive the writing.
        return std::shared_ptr<const emf::EmfDocument>(std::shared_ptr<void>(),
                                                       &pages[static_cast<std::size_t>(n - 1)]);
    });
    if (failed != 0) {
        throw EInOutError(MessageText::Verbatim("Cannot write file " + output.Name() + ": page " +
                                                std::to_string(failed) + " cannot be laid out"));
    }
    output.Write(document);
    output.Commit();
    return 0;
}

int Pack(const ToolArguments& arguments, QTextStream& out)
{
    TVpStream stream;
    TVpPageList list;
    list.SetStream(&stream);
    list.SetCompressed(arguments.Compress);
    for (const QString& path : arguments.Pages) {
        // Only a regular file, and one no larger than a page can be, is
        // read: a pipe would wait for a writer, and a huge file cost its
        // size in memory before it was found not valid.
        InputFile input(Utf8(path));
        std::vector<std::uint8_t> bytes = input.ReadAll(kMaxMetafileSize, MessageText::Verbatim("a page's metafile"));
        try {
            // The whole metafile is read here, so that a page that would not
            // show in the preview never gets into a report file.
            const emf::EmfDocument page(std::move(bytes));
            emf::RequirePageFits(page);
            list.AppendPage(page.Bytes());
        } catch (const Exception& e) {
            throw Exception(MessageText::Verbatim(Utf8(path) + ": " + e.Message()));
        }
    }
    list.WriteStreamHeader();
    list.CopyToFile(Utf8(arguments.Output));
    out << "Wrote " << arguments.Output << ": " << list.PageCount() << " page" << (list.PageCount() == 1 ? "" : "s")
        << (arguments.Compress ? ", compressed" : "") << ", " << stream.Size() << " bytes\n";
    return 0;
}

}  // namespace

bool NeedsGui(Command command)
{
    return command == Command::Png || command == Command::Pdf;
}

int RunCommand(const ToolArguments& arguments, QTextStream& out, QTextStream& err)
{
    switch (arguments.Action) {
        case Command::Info:
            return Info(arguments, out, err);
        case Command::Pdf:
            return Pdf(arguments);
        case Command::Png:
            return Png(arguments);
        case Command::Emf:
            return Emf(arguments);
        case Command::Pack:
            return Pack(arguments, out);
        case Command::Help:
        case Command::Version:
            break;
    }
    return 0;
}

}  // namespace dw::vprtool
