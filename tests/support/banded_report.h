// SPDX-License-Identifier: MIT
#pragma once

// A data-bound report that uses every kind of band: a thousand numbered
// records in three columns on A4, a group every hundred records, page
// header and footer, title, column header and summary. Each band prints
// one text saying what it is ("Header", "Row 17", "Group 3"...).

#include "report/elements/label.h"
#include "report/generation/record_source.h"
#include "report/generation/report.h"

#include <QString>

#include <functional>
#include <string>

namespace dw::test {

class Numbers : public IVpRecordSource {
public:
    explicit Numbers(int count) : m_count(count) {}
    void First() override { m_current = 1; }
    bool Eof() const override { return m_current > m_count; }
    void Next() override { ++m_current; }
    int RecordCount() const override { return m_count; }
    int RecordNumber() const override { return m_current; }

private:
    int m_count;
    int m_current = 1;
};

// A label on a band whose text is worked out when it prints.
inline TVpLabel& AddText(TVpCustomBand& band, const std::function<QString()>& text)
{
    TVpLabel& label = band.AddElement<TVpLabel>();
    label.SetCaption(QStringLiteral("x"));
    label.OnPrint = [text](TVpCustomLabel&, QString& caption) { caption = text(); };
    return label;
}

struct BandedReport {
    TVpReport Report{VpEnvironment{96, false}};
    Numbers Records{1000};
    TVpCustomBand* Detail = nullptr;

    BandedReport()
    {
        Report.SetUnits(TVpUnit::Native);
        Report.Page().SetPaperSize(TVpPaperSize::A4);
        Report.Page().SetColumns(3);
        Report.Page().SetColumnSpace(20);
        const auto band = [this](TVpBandType type, Extended height, const QString& text) -> TVpCustomBand& {
            TVpCustomBand& b = Report.AddBand(type);
            b.Size().SetHeight(height);
            if (!text.isEmpty())
                AddText(b, [text] { return text; });
            return b;
        };
        band(TVpBandType::rbPageHeader, 100, QStringLiteral("Header"));
        band(TVpBandType::rbPageFooter, 80, QStringLiteral("Footer"));
        band(TVpBandType::rbTitle, 100, QStringLiteral("Title"));
        band(TVpBandType::rbColumnHeader, 50, QStringLiteral("Column"));
        TVpCustomBand& group = band(TVpBandType::rbGroupHeader, 60, {});
        AddText(group, [this] { return QStringLiteral("Group %1").arg((Records.RecordNumber() - 1) / 100); });
        group.GroupKey = [this] { return std::to_string((Records.RecordNumber() - 1) / 100); };
        Detail = &band(TVpBandType::rbDetail, 50, {});
        AddText(*Detail, [this] { return QStringLiteral("Row %1").arg(Records.RecordNumber()); });
        group.GroupFooter = &band(TVpBandType::rbGroupFooter, 40, QStringLiteral("End"));
        band(TVpBandType::rbSummary, 60, QStringLiteral("Summary"));
        Report.OrderBands();
        Report.DataSet = &Records;
        Report.ShowProgress = false;
    }
};

}  // namespace dw::test
