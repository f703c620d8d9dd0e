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

// Designed pixels a field's text may take: up to the next label standing in
// its row, a few pixels short of it, or to the printable edge of the A3
// sheet (277 mm wide within its margins).
int FieldRoom(int number)
{
    const TSheetLabel& own =
        *std::find_if(kSheet.begin(), kSheet.end(), [number](const TSheetLabel& row) { return row.Number == number; });
    constexpr int kGap = 4;
    int limit = 277 * 96 * 10 / 254;
    for (const TSheetLabel& other : kSheet) {
        const bool sameRow = other.Top < own.Top + own.Height && own.Top < other.Top + other.Height;
        if (sameRow && other.Left > own.Left)
            limit = std::min(limit, other.Left - kGap);
    }
    return limit - own.Left;
}

}  // namespace

void SetFieldCaption(TVpLabel& label, int number, const QString& text)
{
    label.SetCaption(label.TextWidth(text) <= FieldRoom(number) ? text : QString::fromUtf8(kSheetTooLongMark));
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

TVpReportNames SheetNames(const TVpReport& report, const QDateTime& moment)
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
    names.FileNameStem =
        (QStringLiteral("Вес инструмента ") + moment.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"))).toStdString();
    return names;
}

}  // namespace dw
