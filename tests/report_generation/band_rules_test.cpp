// SPDX-License-Identifier: MIT
// The rules by which bands land on a page, each as a reader of the printed
// page sees it: where a band's text stands, on which page, and whether it is
// there at all. The sheet is A3 with 10 mm margins, in native units (tenths
// of a millimetre); the page records are in pixels at 96 per inch.

#include "report/elements/label.h"
#include "report/emf/emf_format.h"
#include "report/emf/emf_reader.h"
#include "tests/support/banded_report.h"
#include "tests/support/page_records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <vector>

namespace dw {
namespace {

constexpr int kLength = 4200;  // A3 portrait
constexpr int kWidth = 2970;
constexpr int kMargin = 100;

int Px(int native)
{
    return static_cast<int>(std::lround(native * 96.0 / 254.0));
}

struct Printed {
    std::vector<test::PageRecords> Pages;
    std::vector<QPoint> LinePoints;  // every MoveTo and LineTo, all pages

    // Where the texts with this caption stand: (page from 1, x, y).
    std::vector<std::tuple<int, int, int>> Find(const QString& text) const
    {
        std::vector<std::tuple<int, int, int>> found;
        for (std::size_t p = 0; p < Pages.size(); ++p)
            for (const test::PageText& t : Pages[p].Texts)
                if (t.Text == text)
                    found.emplace_back(static_cast<int>(p) + 1, t.X, t.Y);
        return found;
    }
    // The top of the one text with this caption on page 1, -1 if it is not
    // there exactly once.
    int TopOf(const char* text) const
    {
        const auto found = Find(QString::fromUtf8(text));
        return found.size() == 1 && std::get<0>(found[0]) == 1 ? std::get<2>(found[0]) : -1;
    }
};

struct Sheet {
    TVpReport Report{test::Screen()};
    test::Numbers Records{0};

    Sheet()
    {
        Report.SetUnits(TVpUnit::Native);
        Report.Page().SetPaperSize(TVpPaperSize::A3);
        Report.ShowProgress = false;
        test::UseBackend(Report, test::A3Backend());
    }
    TVpCustomBand& Band(TVpBandType type, int height, const char* text)
    {
        TVpCustomBand& band = Report.AddBand(type);
        band.Size().SetHeight(height);
        // At the band's top-left corner, so the text stands where the band does.
        TVpLabel& label = test::AddText(band, [caption = QString::fromUtf8(text)] { return caption; });
        label.Size().SetLeft(0);
        label.Size().SetTop(0);
        return band;
    }
    TVpCustomBand& Child(TVpCustomBand& parent, int height, const char* text)
    {
        TVpCustomBand& child = Band(TVpBandType::rbChild, height, text);
        parent.SetChildBand(&child);
        Report.OrderBands();
        return child;
    }
    void UseRecords(int count)
    {
        Records = test::Numbers(count);
        Report.DataSet = &Records;
    }
    Printed Run()
    {
        Printed printed;
        test::PreviewAndInspect(Report, [&printed](TVpPrinter& printer) {
            for (int n = 1; n <= printer.PageCount(); ++n) {
                const auto page = printer.GetPage(n);
                if (!page)
                    continue;
                printed.Pages.push_back(test::ReadPage(*page));
                for (const emf::EmfRecord& record : page->Records())
                    if (const auto* point = std::get_if<emf::PointRecord>(&record))
                        if (point->Type == emf::kEmrMoveToEx || point->Type == emf::kEmrLineTo)
                            printed.LinePoints.emplace_back(point->Point.X, point->Point.Y);
            }
        });
        return printed;
    }
};

TEST(BandRules, EachRuleAsThePrintedPageShowsIt)
{
    struct Row {
        const char* name;
        std::function<void(Sheet&)> build;
        std::function<void(const Printed&)> check;
    };
    bool vetoedBandReportedPrinted = true;
    const Row rows[] = {
        {"a column header heads every column, on every page",
         [](Sheet& s) {
             s.Report.Page().SetColumns(3);
             s.Band(TVpBandType::rbColumnHeader, 100, "Column");
             TVpCustomBand& detail = s.Report.AddBand(TVpBandType::rbDetail);
             detail.Size().SetHeight(500);
             test::AddText(detail, [&s] { return QStringLiteral("Row %1").arg(s.Records.RecordNumber()); })
                 .Size()
                 .SetLeft(0);
             s.UseRecords(30);
         },
         [](const Printed& p) {
             ASSERT_EQ(p.Pages.size(), 2U);
             for (std::size_t page = 0; page < p.Pages.size(); ++page) {
                 std::set<int> headers, columns;
                 int headerCount = 0;
                 for (const test::PageText& t : p.Pages[page].Texts) {
                     if (t.Text == QStringLiteral("Column")) {
                         headers.insert(t.X);
                         ++headerCount;
                         EXPECT_EQ(t.Y, Px(kMargin)) << "page " << page + 1;
                     } else if (t.Text.startsWith(QStringLiteral("Row "))) {
                         columns.insert(t.X);
                     }
                 }
                 EXPECT_EQ(headers, columns) << "page " << page + 1;
                 EXPECT_EQ(headerCount, static_cast<int>(columns.size())) << "page " << page + 1;
             }
             EXPECT_EQ(p.Find(QStringLiteral("Row 30")).size(), 1U);
         }},
        {"the page footer stands at the foot of the page, above the margin",
         [](Sheet& s) { s.Band(TVpBandType::rbPageFooter, 200, "Footer"); },
         [](const Printed& p) { EXPECT_EQ(p.TopOf("Footer"), Px(kLength - kMargin - 200)); }},
        {"a page footer's child prints below it and lifts it by its height",
         [](Sheet& s) { s.Child(s.Band(TVpBandType::rbPageFooter, 200, "Footer"), 100, "Below footer"); },
         [](const Printed& p) {
             EXPECT_EQ(p.TopOf("Footer"), Px(kLength - kMargin - 300));
             EXPECT_EQ(p.TopOf("Below footer"), Px(kLength - kMargin - 100));
         }},
        {"a child follows its band directly",
         [](Sheet& s) {
             s.Report.PrintIfEmpty = true;
             s.Child(s.Band(TVpBandType::rbDetail, 150, "Detail"), 70, "Below detail");
             s.Band(TVpBandType::rbSummary, 50, "Summary");
         },
         [](const Printed& p) {
             EXPECT_EQ(p.TopOf("Detail"), Px(kMargin));
             EXPECT_EQ(p.TopOf("Below detail"), Px(kMargin + 150));
             EXPECT_EQ(p.TopOf("Summary"), Px(kMargin + 220));
         }},
        {"a bottom-aligned band sits on the page footer",
         [](Sheet& s) {
             s.Report.PrintIfEmpty = true;
             s.Band(TVpBandType::rbDetail, 100, "Detail");
             s.Band(TVpBandType::rbSummary, 150, "Summary").AlignToBottom = true;
             s.Band(TVpBandType::rbPageFooter, 200, "Footer");
         },
         [](const Printed& p) {
             EXPECT_EQ(p.TopOf("Detail"), Px(kMargin));
             EXPECT_EQ(p.TopOf("Summary"), Px(kLength - kMargin - 200 - 150));
             EXPECT_EQ(p.TopOf("Footer"), Px(kLength - kMargin - 200));
         }},
        {"a band switched off prints nothing and takes no room",
         [](Sheet& s) {
             s.Report.PrintIfEmpty = true;
             s.Band(TVpBandType::rbTitle, 300, "Title").Enabled = false;
             s.Band(TVpBandType::rbDetail, 100, "Detail");
         },
         [](const Printed& p) {
             EXPECT_TRUE(p.Find(QStringLiteral("Title")).empty());
             EXPECT_EQ(p.TopOf("Detail"), Px(kMargin));
         }},
        {"a band its handler vetoes prints nothing, takes no room and is told so",
         [&vetoedBandReportedPrinted](Sheet& s) {
             s.Report.PrintIfEmpty = true;
             TVpCustomBand& title = s.Band(TVpBandType::rbTitle, 300, "Title");
             title.BeforePrint = [](TVpCustomBand&, bool& printIt) { printIt = false; };
             title.AfterPrint = [&vetoedBandReportedPrinted](TVpCustomBand&, bool printed) {
                 vetoedBandReportedPrinted = printed;
             };
             s.Band(TVpBandType::rbDetail, 100, "Detail");
         },
         [&vetoedBandReportedPrinted](const Printed& p) {
             EXPECT_TRUE(p.Find(QStringLiteral("Title")).empty());
             EXPECT_EQ(p.TopOf("Detail"), Px(kMargin));
             EXPECT_FALSE(vetoedBandReportedPrinted);
         }},
        {"bands print in their kind's order, whatever order they were added in",
         [](Sheet& s) {
             s.Report.PrintIfEmpty = true;
             s.Band(TVpBandType::rbSummary, 90, "Summary");
             s.Band(TVpBandType::rbDetail, 80, "Detail");
             s.Band(TVpBandType::rbTitle, 70, "Title");
             s.Band(TVpBandType::rbPageHeader, 60, "Header");
         },
         [](const Printed& p) {
             EXPECT_EQ(p.TopOf("Header"), Px(kMargin));
             EXPECT_EQ(p.TopOf("Title"), Px(kMargin + 60));
             EXPECT_EQ(p.TopOf("Detail"), Px(kMargin + 130));
             EXPECT_EQ(p.TopOf("Summary"), Px(kMargin + 210));
         }},
        {"the report's frame runs along the margins",
         [](Sheet& s) {
             TVpFrame& frame = s.Report.Frame;
             frame.DrawTop = frame.DrawBottom = frame.DrawLeft = frame.DrawRight = true;
         },
         [](const Printed& p) {
             ASSERT_EQ(p.Pages.size(), 1U);
             EXPECT_EQ(p.Pages[0].Lines, 4);
             ASSERT_FALSE(p.LinePoints.empty());
             int left = p.LinePoints[0].x(), right = left, top = p.LinePoints[0].y(), bottom = top;
             for (const QPoint& point : p.LinePoints) {
                 left = std::min(left, point.x());
                 right = std::max(right, point.x());
                 top = std::min(top, point.y());
                 bottom = std::max(bottom, point.y());
             }
             // A one-pixel line lies on the rectangle's inner pixel row.
             EXPECT_NEAR(left, Px(kMargin), 1);
             EXPECT_NEAR(top, Px(kMargin), 1);
             EXPECT_NEAR(right, Px(kWidth - kMargin), 1);
             EXPECT_NEAR(bottom, Px(kLength - kMargin), 1);
         }},
        {"a frame with no side draws no line", [](Sheet&) {},
         [](const Printed& p) {
             ASSERT_EQ(p.Pages.size(), 1U);
             EXPECT_EQ(p.Pages[0].Lines, 0);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Sheet sheet;
        row.build(sheet);
        const Printed printed = sheet.Run();
        row.check(printed);
    }
}

}  // namespace
}  // namespace dw
