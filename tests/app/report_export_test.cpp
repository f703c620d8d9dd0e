// SPDX-License-Identifier: MIT
#include "app/sheet_holder.h"
#include "app/report_sheet.h"
#include "app/weight_fields.h"
#include "report/elements/label.h"
#include "report/output/ascii_export_filter.h"
#include "report/generation/report.h"
#include "tests/support/page_records.h"
#include "tests/support/qt_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace dw {
namespace {

// The worked example of the calculation as the fields show it under a
// locale with "," and a no-break space: the inputs, then the five results.
const std::map<int, QString> kShown = {
    {38, "2,50 т."},   {39, "4,20 т."},         {40, "1,80 т."},     {41, "1,30 т."},        {42, "1,10 т."},
    {43, "0,20 т."},   {44, "1,20 г/см3."},     {45, "7,85 г/см3."}, {9, "1\u00A0000,0 м."}, {10, "150,0 м."},
    {25, "29,00 кг."}, {26, "97,60 кг."},       {32, "11,100 т."},   {33, "43,640 т."},      {34, "36,970 т."},
    {35, "48,070 т."}, {37, "1\u00A0150,0 м."},
};

// Where each label's line lands on the grid of the report's 10-point font:
// row = top / (10 × 254 / 72), column = left / (10 × 254 / 72) × 1.7, both
// in tenths of a millimetre and rounded half to even; worked out by hand
// from the designed pixels (× 254 / 96).
struct Cell {
    int Label;
    int Row;
    int Position;  // 1-based character position
};
constexpr Cell kCells[] = {
    {1, 4, 16},   {2, 7, 6},    {3, 9, 6},    {4, 11, 6},   {5, 12, 6},   {6, 14, 6},   {7, 16, 6},   {8, 18, 6},
    {9, 20, 6},   {10, 7, 27},  {11, 9, 27},  {12, 11, 27}, {13, 13, 27}, {14, 14, 27}, {15, 16, 27}, {16, 18, 27},
    {17, 20, 27}, {18, 6, 39},  {19, 7, 39},  {20, 9, 39},  {21, 11, 39}, {22, 13, 39}, {23, 14, 39}, {24, 16, 39},
    {25, 18, 39}, {26, 20, 39}, {27, 6, 51},  {28, 7, 51},  {29, 9, 51},  {30, 11, 51}, {31, 13, 51}, {32, 14, 51},
    {33, 16, 51}, {34, 18, 51}, {35, 20, 51}, {36, 6, 63},  {37, 7, 63},  {38, 9, 63},  {39, 11, 63}, {40, 13, 63},
    {41, 14, 63}, {42, 16, 63}, {43, 18, 63}, {44, 20, 63}, {45, 23, 6},  {46, 25, 6},  {47, 26, 6},  {48, 28, 6},
    {49, 30, 6},  {50, 32, 6},  {51, 33, 6},  {52, 35, 6},  {53, 23, 32}, {54, 25, 32}, {55, 29, 32}, {56, 32, 32},
    {57, 35, 32}, {58, 38, 6},  {59, 38, 21},
};

TEST(ReportExport, TheSheetExportsAsTextLinesAtTheirGridCells)
{
    TSheetHolder form;
    TVpReport& report = form.VpReport1();
    report.ShowProgress = false;
    test::UseBackend(report, test::A3Backend());
    for (const fields::TWeightField& row : fields::kWeightFields) {
        const auto shown = kShown.find(row.Number);
        form.VpLabel(row.SheetLabel).SetCaption(shown != kShown.end() ? shown->second : QStringLiteral("0"));
    }
    form.VpLabel(58).SetCaption(QStringLiteral("07.12.2026"));
    form.VpLabel(59).SetCaption(QStringLiteral("14:05:09"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.txt"));
    {
        TVpAsciiExportFilter filter(path.toStdString());
        report.ExportToFilter(filter);
    }
    const QString text = QString::fromUtf8(test::ReadAll(path));
    ASSERT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));

    // Only rows that hold text are written, in order, one block for the page.
    std::set<int> rows;
    for (const Cell& cell : kCells) rows.insert(cell.Row);
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(rows.size()));
    std::map<int, QString> lineOfRow;
    int i = 0;
    for (const int row : rows) lineOfRow[row] = lines[i++];
    for (const Cell& cell : kCells) {
        const QString caption = form.VpLabel(cell.Label).Caption();
        SCOPED_TRACE("VpLabel" + std::to_string(cell.Label));
        EXPECT_EQ(lineOfRow[cell.Row].mid(cell.Position - 1, caption.size()), caption);
    }
    // After an export the report previews as before.
    int texts = 0;
    test::PreviewAndInspect(report, [&texts](TVpPrinter& printer) {
        if (const auto page = printer.GetPage(1))
            texts = static_cast<int>(test::ReadPage(*page).Texts.size());
    });
    EXPECT_EQ(texts, 59);
}

}  // namespace
}  // namespace dw
