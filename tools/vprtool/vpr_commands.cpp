#include "tools/vprtool/vpr_commands.h"

#include "common/errors.h"
#include "numeric/core/date_time.h"
#include "report/core/page_list.h"
#include "report/core/page_stream.h"
#include "report/emf/emf_player.h"
#include "report/emf/emf_reader.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace dw::vprtool {

namespace {

// A picture larger than this is refused rather than left to run the
// machine out of memory (a 32-bit pixel each: 1.6 GB).
constexpr double kMaxPixels = 400.0 * 1000 * 1000;
constexpr int kMaxSide = 60000;

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
        if (PageCount() == 0) {
            throw UsageError(QStringLiteral("%1 holds no pages").arg(m_path));
        }
        if (n < 1 || n > PageCount()) {
            throw UsageError(QStringLiteral("%1 has no page %2: it holds %3 page%4")
                                 .arg(m_path)
                                 .arg(n)
                                 .arg(PageCount())
                                 .arg(PageCount() == 1 ? QString() : QStringLiteral("s")));
        }
    }

    TVpPageBytes PageBytes(int n)
    {
        RequirePage(n);
        std::optional<TVpPageBytes> bytes = m_list.FetchPage(n);
        if (!bytes) {
            throw EFileError("File " + Utf8(m_path) + " is not a valid report file");
        }
        return std::move(*bytes);
    }

    emf::EmfDocument Page(int n) { return emf::EmfDocument(PageBytes(n)); }

private:
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

// Written beside the target and renamed over it only once complete.
class OutputFile {
public:
    explicit OutputFile(const QString& path) : m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly)) {
            throw EFileError("Cannot create file " + Utf8(path));
        }
    }
    QSaveFile& Device() { return m_file; }
    void Write(const std::vector<std::uint8_t>& bytes)
    {
        const auto size = static_cast<qint64>(bytes.size());
        if (m_file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
            Fail();
        }
    }
    void Commit()
    {
        if (!m_file.commit()) {
            Fail();
        }
    }
    [[noreturn]] void Fail() { throw EInOutError("Cannot write file " + Utf8(m_file.fileName())); }

private:
    QSaveFile m_file;
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
            const TVpPageBytes bytes = file.PageBytes(n);
            const std::size_t size = bytes.size();
            const PageExtent extent = ExtentOf(emf::EmfDocument(bytes));
            out << "Page " << n << ": " << qRound(extent.Width) << " x " << qRound(extent.Height) << " pixels at "
                << qRound(extent.DpiX) << " dpi, " << Fixed(extent.WidthMm(), 1) << " x " << Fixed(extent.HeightMm(), 1)
                << " mm, " << size << " bytes\n";
        } catch (const Exception& e) {
            out.flush();
            err << "vprtool: page " << n << ": " << FromUtf8(e.Message()) << '\n';
            err.flush();
            status = 1;
        }
    }
    return status;
}

int Emf(const ToolArguments& arguments)
{
    ReportFile file(arguments.Input);
    const TVpPageBytes bytes = file.PageBytes(*arguments.Page);
    // A page is handed out only when it would show: damaged code bits of a
    // compressed page can expand to bytes that merely look like a metafile.
    const emf::EmfDocument check(bytes);
    OutputFile output(arguments.Output);
    output.Write(bytes);
    output.Commit();
    return 0;
}

QImage Render(const emf::EmfDocument& page, int dpi, int n)
{
    const PageExtent extent = ExtentOf(page);
    const double width = std::round(extent.Width * dpi / extent.DpiX);
    const double height = std::round(extent.Height * dpi / extent.DpiY);
    if (!(width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels)) {
        throw UsageError(QStringLiteral("page %1 would be %2 x %3 pixels at %4 dpi: too large to render")
                             .arg(n)
                             .arg(width, 0, 'f', 0)
                             .arg(height, 0, 'f', 0)
                             .arg(dpi));
    }
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    PlayEmf(painter, page, QRectF(0, 0, width, height));
    painter.end();
    return image;
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
    // Every picture is drawn before any is written, so a damaged page
    // leaves no partial set of files behind.
    std::vector<QImage> images;
    for (const int n : pages) {
        images.push_back(Render(file.Page(n), arguments.Dpi, n));
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const QString name = pages.size() == 1 ? arguments.Output : NumberedName(arguments.Output, pages[i]);
        OutputFile output(name);
        QImageWriter writer(&output.Device(), "png");
        if (!writer.write(images[i])) {
            output.Fail();
        }
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
    QPdfWriter writer(&output.Device());
    writer.setCreator(QStringLiteral("vprtool"));
    writer.setTitle(QFileInfo(arguments.Input).completeBaseName());
    // Pages are played at their own resolution, one page pixel to one
    // device pixel, so that their text stays text in the document.
    const int resolution = std::clamp(qRound(ExtentOf(pages.front()).DpiX), kMinDpi, kMaxDpi);
    writer.setResolution(resolution);

    QPainter painter;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const PageExtent extent = ExtentOf(pages[i]);
        const double widthMm = extent.WidthMm();
        const double heightMm = extent.HeightMm();
        const bool landscape = widthMm > heightMm;
        const QPageSize paper(QSizeF(std::min(widthMm, heightMm), std::max(widthMm, heightMm)), QPageSize::Millimeter,
                              QString(), QPageSize::ExactMatch);
        const QPageLayout layout(paper, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
        if (!writer.setPageLayout(layout)) {
            throw EInOutError("Cannot write file " + Utf8(arguments.Output));
        }
        if (i == 0) {
            if (!painter.begin(&writer)) {
                output.Fail();
            }
        } else if (!writer.newPage()) {
            output.Fail();
        }
        const QRectF target(0, 0, extent.Width * resolution / extent.DpiX, extent.Height * resolution / extent.DpiY);
        PlayEmf(painter, pages[i], target);
    }
    painter.end();
    output.Commit();
    return 0;
}

std::vector<std::uint8_t> ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EFileError("Cannot open file " + Utf8(path));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw EInOutError("Cannot read file " + Utf8(path));
    }
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

int Pack(const ToolArguments& arguments, QTextStream& out)
{
    TVpStream stream;
    TVpPageList list;
    list.SetStream(&stream);
    list.SetCompressed(arguments.Compress);
    for (const QString& path : arguments.Pages) {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
        try {
            // The whole metafile is read here, so that a page that would not
            // show in the preview never gets into a report file.
            const emf::EmfDocument check(bytes);
            list.AppendPage(bytes);
        } catch (const Exception& e) {
            throw Exception(Utf8(path) + ": " + e.Message());
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
            break;
    }
    return 0;
}

}  // namespace dw::vprtool
