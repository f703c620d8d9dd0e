// SPDX-License-Identifier: MIT
// A tired operator's slips, caught before they reach paper: each row is what
// the crew types into the main window, and what the window then says.

#include "app/form1.h"
#include "app/sheet_holder.h"
#include "app/report_sheet.h"
#include "decor/transparent_button.h"
#include "numeric/core/locale_formats.h"
#include "numeric/widgets/currency_edit.h"
#include "report/output/vp_printer.h"
#include "report/preview/preview.h"
#include "report/preview/standard_preview.h"
#include "tests/app/program_windows.h"
#include "tests/support/number_marks.h"
#include "tests/support/open_preview.h"
#include "tests/support/page_records.h"
#include "tests/support/profile_sandbox.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace dw {
namespace {

using test::OpenPreview;

class Slips : public test::ProgramWindows {
protected:
    // Each row starts from a profile of its own: what the last row typed is
    // saved when its window closes and would be restored into the next.
    void SetUp() override
    {
        m_profile.emplace();
        ProgramWindows::SetUp();
        EnterWorkedExample();
    }
    void TearDown() override
    {
        ProgramWindows::TearDown();
        m_profile.reset();
    }

    void EnterWorkedExample()
    {
        const std::pair<int, Extended> inputs[] = {
            {38, 2.5L}, {39, 4.2L}, {40, 1.8L}, {41, 1.3L},  {42, 1.1L}, {43, 0.2L},
            {9, 1000},  {25, 29},   {10, 150},  {26, 97.6L}, {44, 1.2L}, {45, 7.85L},
        };
        for (const auto& [number, value] : inputs) form1->CurrencyEdit(number)->SetValue(value);
    }

    // Clicks a field, selects its text and types over it key by key (an
    // empty text deletes it); leaves with Tab.
    void Type(int field, const QString& text)
    {
        TCurrencyEdit* edit = form1->CurrencyEdit(field);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::KeyAction::Click, edit, Qt::Key_unknown, c, Qt::NoModifier);
        QTest::keyClick(edit, Qt::Key_Tab);
    }

    // Clicks ПЕЧАТЬ and answers the question, if one comes, with the button
    // of that caption; gives back the question's list and whether a preview
    // opened (it is closed again).
    std::pair<std::optional<QString>, bool> Print(const QString& answer)
    {
        std::optional<QString> asked;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            asked = box->informativeText();
            for (QAbstractButton* button : box->buttons())
                if (button->text() == answer)
                    button->click();
        });
        poll.start();
        bool opened =
            test::PreviewOpenedDuring([this] { QTest::mouseClick(form1->TransparentButton1(), Qt::LeftButton); });
        return {asked, opened};
    }

    ScopedLocaleFormats m_keep{test::CommaSpaceMarks()};
    std::optional<test::ProfileSandbox> m_profile;
};

bool Marked(TCurrencyEdit* field)
{
    // The face of the box the field stands in, unless the field is marked.
    return field->palette().color(QPalette::Base) != field->parentWidget()->palette().color(QPalette::Base);
}

TEST_F(Slips, ASlipIsMarkedAtTheFieldAsSoonAsItIsTyped)
{
    const struct {
        const char* name;
        int field;
        const char* typed;
        int marked;  // 0: none
        const char* tooltip;
    } rows[] = {
        {"the worked example as it is", 38, "2,5", 0, ""},
        {"a length of -150", 10, "-150", 10, "Section 2 length is below zero"},
        {"500 m and no weight of a metre", 11, "500", 27, "Section 3: a length but no weight of one metre"},
        {"a weight of a metre and no length", 31, "29", 15, "Section 7: a weight of one metre but no length"},
        {"an empty mud gravity", 44, "", 44, "The mud specific gravity is not given (0)"},
        {"mud as heavy as the steel", 44, "7,85", 44, "The mud specific gravity is not below the steel's"},
        {"a length of 1e9", 9, "1e9", 9, "Section 1 length: the number does not fit the field"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        Type(row.field, QString::fromUtf8(row.typed));
        for (const fields::TWeightField& field : fields::kWeightFields) {
            if (fields::IsResult(field))
                continue;
            TCurrencyEdit* edit = form1->CurrencyEdit(field.Number);
            EXPECT_EQ(Marked(edit), field.Number == row.marked) << field.Number;
            if (field.Number == row.marked)
                EXPECT_TRUE(edit->toolTip().contains(QString::fromUtf8(row.tooltip))) << edit->toolTip().toStdString();
        }
    }
}

TEST_F(Slips, AFieldTooNarrowForItsNumberSaysSoInsteadOfCuttingIt)
{
    Type(9, QStringLiteral("1e9"));
    TCurrencyEdit* length = form1->CurrencyEdit(9);
    EXPECT_FALSE(length->FitsDisplay(length->StoredValue()));
    EXPECT_TRUE(form1->CurrencyEdit(10)->FitsDisplay(form1->CurrencyEdit(10)->StoredValue()));
    // What the field paints: the mark, not the right end of the number.
    const QImage shown = length->grab().toImage();
    length->SetDisplayFormat(QStringLiteral("'###'"));
    length->SetValue(0);
    EXPECT_EQ(shown, length->grab().toImage());
}

TEST_F(Slips, ПЕЧАТЬAsksOnceAndИсправитьGoesToTheFirstFieldAtFault)
{
    const struct {
        const char* name;
        std::vector<std::pair<int, const char*>> typed;
        const char* answer;
        std::vector<const char*> listed;  // empty: no question
        bool printed;
        int focusAfter;  // 0: not checked
    } rows[] = {
        {"nothing to question", {}, "Print as it is", {}, true, 0},
        {"a length of -150, Исправить", {{10, "-150"}}, "Correct", {"Section 2 length is below zero"}, false, 10},
        {"two slips, the first in the keyboard order",
         {{44, ""}, {11, "500"}},
         "Correct",
         {"Section 3: a length but no weight of one metre", "The mud specific gravity is not given (0)"},
         false,
         27},
        {"a length of -150, Печатать", {{10, "-150"}}, "Print as it is", {"Section 2 length is below zero"}, true, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        for (const auto& [field, text] : row.typed) Type(field, QString::fromUtf8(text));
        const auto [asked, opened] = Print(QString::fromUtf8(row.answer));
        EXPECT_EQ(asked.has_value(), !row.listed.empty());
        if (asked) {
            QStringList expected;
            for (const char* line : row.listed) expected << QStringLiteral("• ") + QString::fromUtf8(line);
            EXPECT_EQ(*asked, expected.join(QLatin1Char('\n')));
        }
        EXPECT_EQ(opened, row.printed);
        if (row.focusAfter != 0)
            EXPECT_EQ(form1->focusWidget(), form1->CurrencyEdit(row.focusAfter));
    }
}

TEST_F(Slips, ALengthTooLongForTheSheetPrintsAsTooLongNotIntoTheNextColumn)
{
    Type(9, QStringLiteral("1e9"));
    Type(10, QStringLiteral("1234,5"));
    QStringList texts;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            for (QAbstractButton* button : box->buttons())
                if (button->text() == QStringLiteral("Print as it is"))
                    button->click();
            return;
        }
        TVpStandardPreview* preview = OpenPreview();
        if (preview == nullptr || preview->Status()->text() != QStringLiteral("Page 1 of 1"))
            return;
        if (const auto page = preview->VpPreview()->VpPrinter()->GetPage(1))
            for (const test::PageText& text : test::ReadPage(*page).Texts) texts << text.Text;
        QTest::mouseClick(preview->Exit(), Qt::LeftButton);
    });
    poll.start();
    QTest::mouseClick(form1->TransparentButton1(), Qt::LeftButton);
    poll.stop();
    EXPECT_TRUE(texts.contains(QString::fromUtf8(kSheetTooLongMark)));
    EXPECT_TRUE(texts.contains(QStringLiteral("1 234,5 м.")));
    for (const QString& text : texts) EXPECT_FALSE(text.contains(QStringLiteral("000 000"))) << text.toStdString();
}

// A reader speaks the description of the object it is on: after РАСЧЕТ that
// is the field the calculation leaves the focus in, and it carries the
// results until the crew moves on.
TEST_F(Slips, AfterРАСЧЕТAReaderIsToldTheResultsHookLoadFirst)
{
    form1->BitBtn1()->setFocus();
    QTest::keyClick(form1->BitBtn1(), Qt::Key_Space);
    QWidget* focused = form1->focusWidget();
    ASSERT_NE(focused, nullptr);
    const QString told = QAccessible::queryAccessibleInterface(focused)->text(QAccessible::Description);
    EXPECT_TRUE(told.startsWith(
        QStringLiteral("Results of the calculation. Hook load: 48,070 т.; Travelling system weight: 11,100 т.")))
        << told.toStdString();
    EXPECT_TRUE(told.endsWith(QStringLiteral("Total string length: 1 150,0 м."))) << told.toStdString();
    QTest::keyClick(focused, Qt::Key_Tab);
    EXPECT_TRUE(focused->accessibleDescription().isEmpty());
}

}  // namespace
}  // namespace dw
