// SPDX-License-Identifier: MIT
#include "app/report_sheet.h"

#include "report/elements/label.h"
#include "report/generation/report.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <string>

namespace dw {

namespace {

// clang-format off
constexpr std::array<TSheetLabel, kSheetLabelCount> kSheet{{
    {1, TSheetSource::Caption, "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА", 128, 48, 376, 20, true},
    {2, TSheetSource::Caption, "Вес квадрата", 48, 95, 82, 17, false},
    {3, TSheetSource::Caption, "Вес талевого блока", 47, 118, 118, 17, false},
    {4, TSheetSource::Caption, "Вес каната", 48, 142, 67, 17, false},
    {5, TSheetSource::Caption, "Вес крюка", 48, 165, 64, 17, false},
    {6, TSheetSource::Caption, "Вес вертлюга", 48, 189, 83, 17, false},
    {7, TSheetSource::Caption, "Вес бурового рукава", 48, 214, 127, 17, false},
    {8, TSheetSource::Caption, "Удельный вес раствора", 48, 238, 144, 17, false},
    {9, TSheetSource::Caption, "Удельный вес металла", 48, 263, 139, 17, false},
    {10, TSheetSource::Field, nullptr, 208, 97, 65, 17, false},
    {11, TSheetSource::Field, nullptr, 208, 119, 65, 17, false},
    {12, TSheetSource::Field, nullptr, 208, 143, 65, 17, false},
    {13, TSheetSource::Field, nullptr, 208, 167, 65, 17, false},
    {14, TSheetSource::Field, nullptr, 208, 191, 65, 17, false},
    {15, TSheetSource::Field, nullptr, 208, 215, 65, 17, false},
    {16, TSheetSource::Field, nullptr, 208, 238, 65, 17, false},
    {17, TSheetSource::Field, nullptr, 208, 262, 65, 17, false},
    {18, TSheetSource::Caption, "L инстр.", 304, 75, 49, 17, false},
    {19, TSheetSource::Field, nullptr, 304, 97, 65, 17, false},
    {20, TSheetSource::Field, nullptr, 304, 119, 65, 17, false},
    {21, TSheetSource::Field, nullptr, 304, 143, 65, 17, false},
    {22, TSheetSource::Field, nullptr, 304, 167, 65, 17, false},
    {23, TSheetSource::Field, nullptr, 304, 191, 65, 17, false},
    {24, TSheetSource::Field, nullptr, 304, 215, 65, 17, false},
    {25, TSheetSource::Field, nullptr, 304, 238, 65, 17, false},
    {26, TSheetSource::Field, nullptr, 304, 262, 65, 17, false},
    {27, TSheetSource::Caption, "D инстр.", 400, 75, 51, 17, false},
    {28, TSheetSource::Field, nullptr, 400, 97, 65, 17, false},
    {29, TSheetSource::Field, nullptr, 400, 119, 65, 17, false},
    {30, TSheetSource::Field, nullptr, 400, 143, 65, 17, false},
    {31, TSheetSource::Field, nullptr, 400, 167, 65, 17, false},
    {32, TSheetSource::Field, nullptr, 400, 191, 65, 17, false},
    {33, TSheetSource::Field, nullptr, 400, 215, 65, 17, false},
    {34, TSheetSource::Field, nullptr, 400, 238, 65, 17, false},
    {35, TSheetSource::Field, nullptr, 400, 262, 65, 17, false},
    {36, TSheetSource::Caption, "Вес 1 метра", 495, 76, 74, 17, false},
    {37, TSheetSource::Field, nullptr, 496, 96, 65, 17, false},
    {38, TSheetSource::Field, nullptr, 496, 119, 65, 17, false},
    {39, TSheetSource::Field, nullptr, 496, 143, 65, 17, false},
    {40, TSheetSource::Field, nullptr, 496, 167, 65, 17, false},
    {41, TSheetSource::Field, nullptr, 496, 191, 65, 17, false},
    {42, TSheetSource::Field, nullptr, 496, 215, 65, 17, false},
    {43, TSheetSource::Field, nullptr, 496, 238, 65, 17, false},
    {44, TSheetSource::Field, nullptr, 496, 262, 65, 17, false},
    {45, TSheetSource::Caption, "Вес талевой системы", 48, 304, 130, 17, false},
    {46, TSheetSource::Caption, "Вес бурового инструмента", 48, 336, 161, 17, false},
    {47, TSheetSource::Caption, "чистый", 48, 352, 43, 17, false},
    {48, TSheetSource::Caption, "Вес бурового инструмента", 48, 376, 161, 17, false},
    {49, TSheetSource::Caption, "с учетом вытеснения", 49, 394, 128, 17, false},
    {50, TSheetSource::Caption, "Вес бурового инструмента", 48, 424, 161, 17, false},
    {51, TSheetSource::Caption, "с учетом талевой системы", 48, 440, 160, 17, false},
    {52, TSheetSource::Caption, "Длина инструмента", 48, 464, 117, 17, false},
    {53, TSheetSource::Field, nullptr, 248, 304, 65, 17, false},
    {54, TSheetSource::Field, nullptr, 248, 336, 65, 17, false},
    {55, TSheetSource::Field, nullptr, 248, 384, 65, 17, false},
    {56, TSheetSource::Field, nullptr, 248, 431, 65, 17, false},
    {57, TSheetSource::Field, nullptr, 248, 464, 65, 17, false},
    {58, TSheetSource::Date, nullptr, 48, 500, 65, 17, false},
    {59, TSheetSource::Time, nullptr, 163, 500, 65, 17, false},
}};
// clang-format on

// Where the labels stand on every sheet but the designed one: the rows as
// designed, the columns moved right so that the longest English caption of
// a row ("Travelling block weight") and the longest values in oilfield units
// ("120,00 кип", "10,50 фн/гал", "10 500,0 фт") have room before the next
// column, on the page and in its text export. A character there is 1/1.7 of
// ten points, some 7.8 pixels, and a text needs a space before the next
// column: on the designed layout the mud's "10,50 фн/гал" would run into the
// section length beside it ("10,50 фн/гал10 000,0 фт"). The title's left is
// where it is centred, kWideTitleCentre, less half its width.
struct TWidePlace {
    int Number;
    int Left, Top;
};
constexpr int kWideTitleCentre = 368;
// clang-format off
constexpr std::array<TWidePlace, kSheetLabelCount> kWideLayout{{
    {1, 0, 48},
    {2, 48, 95}, {3, 48, 118}, {4, 48, 142}, {5, 48, 165}, {6, 48, 189}, {7, 48, 214}, {8, 48, 238}, {9, 48, 263},
    {10, 240, 97}, {11, 240, 119}, {12, 240, 143}, {13, 240, 167}, {14, 240, 191}, {15, 240, 215}, {16, 240, 238},
    {17, 240, 262},
    {18, 392, 75},
    {19, 392, 97}, {20, 392, 119}, {21, 392, 143}, {22, 392, 167}, {23, 392, 191}, {24, 392, 215}, {25, 392, 238},
    {26, 392, 262},
    {27, 496, 75},
    {28, 496, 97}, {29, 496, 119}, {30, 496, 143}, {31, 496, 167}, {32, 496, 191}, {33, 496, 215}, {34, 496, 238},
    {35, 496, 262},
    {36, 592, 75},
    {37, 592, 97}, {38, 592, 119}, {39, 592, 143}, {40, 592, 167}, {41, 592, 191}, {42, 592, 215}, {43, 592, 238},
    {44, 592, 262},
    {45, 48, 304}, {46, 48, 336}, {47, 48, 352}, {48, 48, 376}, {49, 48, 394}, {50, 48, 424}, {51, 48, 440},
    {52, 48, 464},
    {53, 288, 304}, {54, 288, 336}, {55, 288, 384}, {56, 288, 431}, {57, 288, 464},
    {58, 48, 500}, {59, 163, 500},
}};
// clang-format on

// A caption of a sheet other than the designed one: in metric and, where the
// caption names a unit, in oilfield units (nullptr: the same).
struct TOtherCaption {
    int Number;
    const char* Metric;
    const char* Oilfield;
};

// The Russian sheet in oilfield units: the designed captions but this one.
constexpr std::array<TOtherCaption, 1> kRussianCaptions{{
    {36, "Вес 1 метра", "Вес 1 фута"},
}};

// The English sheet, written for a crew: the mud and the pipe steel as
// densities, which reads right both in g/cm3 and in ppg (the mud in ppg
// by the name a crew gives it, its weight, as the window has it); the hook load named
// as such, with what it holds below it as the designed sheet has it.
// clang-format off
constexpr std::array<TOtherCaption, 20> kEnglishCaptions{{
    {1, "DRILL STRING WEIGHT", nullptr},
    {2, "Kelly weight", nullptr},
    {3, "Travelling block weight", nullptr},
    {4, "Drilling line weight", nullptr},
    {5, "Hook weight", nullptr},
    {6, "Swivel weight", nullptr},
    {7, "Drilling hose weight", nullptr},
    {8, "Mud density", "Mud weight"},
    {9, "Pipe steel density", nullptr},
    {18, "Length", nullptr},
    {27, "OD", nullptr},
    {36, "Weight per m", "Weight per ft"},
    {45, "Travelling system weight", nullptr},
    {46, "String weight", nullptr},
    {47, "in air (net)", nullptr},
    {48, "String weight", nullptr},
    {49, "in mud (buoyed)", nullptr},
    {50, "Hook load", nullptr},
    {51, "string and travelling system", nullptr},
    {52, "String length", nullptr},
}};
// clang-format on

}  // namespace

QString SheetCaption(const TSheetLabel& row, units::TLanguage language, units::TUnitSystem system)
{
    const auto& others = language == units::TLanguage::English ? std::span<const TOtherCaption>(kEnglishCaptions)
                                                               : std::span<const TOtherCaption>(kRussianCaptions);
    for (const TOtherCaption& other : others) {
        if (other.Number == row.Number) {
            const bool oilfield = system == units::TUnitSystem::Oilfield && other.Oilfield != nullptr;
            return QString::fromUtf8(oilfield ? other.Oilfield : other.Metric);
        }
    }
    return QString::fromUtf8(row.Caption);
}

QString MadeFromJournalText(units::TLanguage language, const QString& time, const QString& dateMade)
{
    return (language == units::TLanguage::English ? QStringLiteral("%1  (sheet made from the journal %2)")
                                                  : QStringLiteral("%1  (лист составлен по журналу %2)"))
        .arg(time, dateMade);
}

namespace {

const TWidePlace& WidePlace(int number)
{
    return *std::find_if(kWideLayout.begin(), kWideLayout.end(),
                         [number](const TWidePlace& place) { return place.Number == number; });
}

// Stored geometry is tenths of a millimetre: the designed pixel at 96 per
// inch, times 254 / 96, kept exactly in extended precision.
Extended NativeOfPixel(int pixels)
{
    return static_cast<Extended>(pixels) * 254 / 96;
}

}  // namespace

std::span<const TSheetLabel> SheetLabels()
{
    return kSheet;
}

namespace {

// The sheet's printable right edge, in designed pixels: 277 mm within the
// A3 sheet's margins.
constexpr int kPrintableRight = 277 * 96 * 10 / 254;

// Pixels a field's text may take: up to the next label standing in its row,
// a few pixels short of it, or to the printable edge. Read off the labels as
// they stand, so it holds for every layout of the sheet.
int FieldRoom(const TVpLabel& own)
{
    constexpr int kGap = 4;
    const PixelRect bounds = own.PixelBounds();
    int limit = kPrintableRight;
    if (const auto* report = dynamic_cast<const TVpReport*>(own.ParentReport())) {
        for (const auto& element : report->Elements()) {
            const PixelRect other = element->PixelBounds();
            const bool sameRow = other.Top < bounds.Top + bounds.Height && bounds.Top < other.Top + other.Height;
            if (element.get() != &own && sameRow && other.Left > bounds.Left)
                limit = std::min(limit, other.Left - kGap);
        }
    }
    return limit - bounds.Left;
}

}  // namespace

void SetFieldCaption(TVpLabel& label, const QString& text)
{
    label.SetCaption(label.TextWidth(text) <= FieldRoom(label) ? text : QString::fromUtf8(kSheetTooLongMark));
}

TSheetLabels BuildReportSheet(TVpReport& report)
{
    TSheetLabels labels{};
    report.BeginLoading();
    TCanvasFont reportFont;
    reportFont.Name = QStringLiteral("Arial");
    reportFont.Size = 10;
    report.SetFont(reportFont);
    report.Options = TVpReportOptions{true, true, false};
    report.PrintIfEmpty = false;
    report.ShowProgress = true;
    report.SnapToGrid = true;
    report.PrinterSettings = TVpReportPrinterSettings{};
    report.Frame = TVpFrame{};
    TVpPage& page = report.Page();
    page.SetPaperSize(TVpPaperSize::A3);
    page.SetOrientation(TVpOrientation::poPortrait);
    page.SetColumns(1);
    const std::array<Extended, TVpPage::kValueCount> pageValues{100, 4200, 100, 2970, 100, 100, 0};
    page.ReadValues(pageValues);
    report.SetZoom(100);

    TCanvasFont titleFont = reportFont;
    titleFont.Size = 12;
    titleFont.Style.Bold = true;
    for (const TSheetLabel& row : kSheet) {
        auto& label = report.AddElement<TVpLabel>("VpLabel" + std::to_string(row.Number));
        if (row.TitleFont) {
            label.SetFont(titleFont);
            label.ReadFontSize(12);
        } else {
            label.ReadFontSize(10);
        }
        if (row.Source == TSheetSource::Caption)
            label.SetCaption(QString::fromUtf8(row.Caption));
        const std::array<Extended, TVpPrintableSize::kValueCount> values{
            NativeOfPixel(row.Height), NativeOfPixel(row.Left), NativeOfPixel(row.Top), NativeOfPixel(row.Width)};
        label.Size().ReadValues(values);
        labels[static_cast<std::size_t>(row.Number)] = &label;
    }
    report.Loaded();
    report.SetUnits(TVpUnit::MM);
    report.OnNames = [](const TVpReport& sheet) { return SheetNames(sheet, QDateTime::currentDateTime()); };
    return labels;
}

void SetSheetDisplay(TVpReport& report, const TSheetLabels& labels, units::TLanguage language, units::TUnitSystem units)
{
    const bool designed = language == units::TLanguage::Russian && units == units::TUnitSystem::Metric;
    // As loading the stored description does: the stored sizes stand and
    // no text is measured, so the designed sheet comes back exactly as it
    // was made, whatever was shown before.
    report.BeginLoading();
    for (const TSheetLabel& row : kSheet) {
        TVpLabel& label = *labels[static_cast<std::size_t>(row.Number)];
        if (row.Source == TSheetSource::Caption)
            label.SetCaption(SheetCaption(row, language, units));
        int left = row.Left;
        int top = row.Top;
        int width = row.Width;
        if (!designed) {
            left = WidePlace(row.Number).Left;
            top = WidePlace(row.Number).Top;
            if (row.TitleFont) {
                width = label.TextWidth(label.Caption());
                left = kWideTitleCentre - width / 2;
            }
        }
        const std::array<Extended, TVpPrintableSize::kValueCount> values{NativeOfPixel(row.Height), NativeOfPixel(left),
                                                                         NativeOfPixel(top), NativeOfPixel(width)};
        label.Size().ReadValues(values);
    }
    report.Loaded();
    if (!designed) {
        // Each caption as wide as its text in the sheet's font, so that what
        // is measured is what is printed.
        for (const TSheetLabel& row : kSheet) {
            if (row.Source == TSheetSource::Caption) {
                TVpLabel& label = *labels[static_cast<std::size_t>(row.Number)];
                label.SetCaption(label.Caption());
            }
        }
    }
    report.OnNames = [language](const TVpReport& sheet) {
        return SheetNames(sheet, QDateTime::currentDateTime(), language);
    };
}

TVpReportNames SheetNames(const TVpReport& report, const QDateTime& moment, units::TLanguage language)
{
    // The sheet's own title and the date and time printed on it, so that a
    // queue, a PDF reader and the window list tell one sheet from another.
    QString title;
    for (const TSheetLabel& row : kSheet) {
        const bool named = row.TitleFont || row.Source == TSheetSource::Date || row.Source == TSheetSource::Time;
        const auto* label =
            named ? dynamic_cast<const TVpLabel*>(report.FindElement("VpLabel" + std::to_string(row.Number))) : nullptr;
        if (label != nullptr && !label->Caption().trimmed().isEmpty()) {
            if (!title.isEmpty())
                title += QLatin1Char(' ');
            title += label->Caption().trimmed();
        }
    }
    TVpReportNames names;
    names.Title = title.toStdString();
    // The time too, so that the second sheet of a day is not offered the
    // first one's name; hyphens, as sticks and Windows shares refuse colons.
    const QString stem = language == units::TLanguage::English ? QStringLiteral("Drill string weight ")
                                                               : QStringLiteral("Вес инструмента ");
    names.FileNameStem = (stem + moment.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"))).toStdString();
    return names;
}

}  // namespace dw
