// SPDX-License-Identifier: MIT
#include "app/form1.h"

#include "common/error_display.h"
#include "decor/transparent_button.h"
#include "numeric/core/date_time.h"
#include "numeric/core/date_time_format.h"
#include "numeric/core/locale_formats.h"
#include "numeric/widgets/currency_edit.h"
#include "tests/support/number_marks.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using dw::Extended;

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = dw::SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
        form = std::make_unique<dw::TForm1>();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override
    {
        form.reset();
        dw::SetErrorDisplay(std::move(m_previous));
    }

    dw::TCurrencyEdit* Field(int number) const { return form->CurrencyEdit(number); }
    QString Shown(int number) const { return Field(number)->DisplayedText(); }
    void Calculate() { QTest::mouseClick(form->BitBtn1(), Qt::LeftButton); }

    // The worked example of the crew's handbook.
    void EnterWorkedExample()
    {
        const std::pair<int, Extended> inputs[] = {
            {38, 2.5L}, {39, 4.2L}, {40, 1.8L}, {41, 1.3L},  {42, 1.1L}, {43, 0.2L},
            {9, 1000},  {25, 29},   {10, 150},  {26, 97.6L}, {44, 1.2L}, {45, 7.85L},
        };
        for (const auto& [number, value] : inputs) Field(number)->SetValue(value);
    }

    dw::ScopedLocaleFormats marks{dw::test::CommaSpaceMarks()};
    std::unique_ptr<dw::TForm1> form;
    std::vector<std::string> errors;

private:
    dw::ErrorDisplayHandler m_previous;
};

TEST_F(MainWindow, StartsAtItsDesignedPlaceWithEmptyFieldsAndFocusOnCalculate)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"));
    EXPECT_EQ(QApplication::focusWidget(), form->BitBtn1());
    // Frame and caption bar are the program's own, so the outer size is exact.
    EXPECT_EQ(form->geometry(), QRect(192, 109, 445, 365));
    EXPECT_EQ(form->ClientArea()->size(), QSize(437, 338));
    EXPECT_TRUE(form->Label14()->text().isEmpty());
    for (int n = 9; n <= 45; ++n) {
        EXPECT_EQ(Field(n)->StoredValue(), 0) << n;
        EXPECT_TRUE(Field(n)->text().isEmpty()) << n;
    }
}

TEST_F(MainWindow, ControlsStandWhereTheyWereDesigned)
{
    const struct {
        int number;
        QWidget* parent;
        QRect geometry;
    } rows[] = {
        {9, form->GroupBox(1), {5, 15, 86, 21}},      {16, form->GroupBox(1), {5, 155, 86, 21}},
        {17, form->GroupBox(2), {4, 15, 80, 21}},     {24, form->GroupBox(2), {4, 155, 80, 21}},
        {25, form->GroupBox(3), {4, 15, 73, 21}},     {36, form->GroupBox(3), {4, 155, 73, 21}},
        {32, form->ClientArea(), {184, 205, 73, 21}}, {35, form->ClientArea(), {184, 284, 73, 21}},
        {37, form->ClientArea(), {184, 312, 73, 21}}, {38, form->Panel1(), {5, 8, 73, 21}},
        {43, form->Panel1(), {5, 108, 73, 21}},       {44, form->Panel1(), {5, 128, 73, 26}},
        {45, form->Panel1(), {5, 153, 73, 27}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Field(row.number)->parentWidget(), row.parent) << row.number;
        EXPECT_EQ(Field(row.number)->geometry(), row.geometry) << row.number;
    }
    EXPECT_EQ(form->BitBtn1()->geometry(), QRect(272, 204, 87, 49));
    EXPECT_EQ(form->TransparentButton1()->geometry(), QRect(272, 285, 89, 48));
    EXPECT_EQ(form->Panel1()->geometry(), QRect(81, 9, 83, 181));
    EXPECT_EQ(form->GroupBox(3)->geometry(), QRect(350, 3, 84, 187));
    EXPECT_EQ(form->Label(9)->pos(), QPoint(5, 204));
    // Inputs silver with black text, results green with yellow text: the
    // look of results that belong to the inputs shown.
    EnterWorkedExample();
    Calculate();
    const struct {
        int number;
        QColor face, text;
    } colours[] = {
        {9, QColor(192, 192, 192), QColor(0, 0, 0)},
        {24, QColor(192, 192, 192), QColor(0, 0, 0)},
        {36, QColor(192, 192, 192), QColor(0, 0, 0)},
        {45, QColor(192, 192, 192), form->palette().color(QPalette::WindowText)},
        {32, QColor(0, 128, 0), QColor(255, 255, 0)},
        {37, QColor(0, 128, 0), QColor(255, 255, 0)},
    };
    for (const auto& row : colours) {
        EXPECT_EQ(Field(row.number)->palette().color(QPalette::Base), row.face) << row.number;
        EXPECT_EQ(Field(row.number)->palette().color(QPalette::Text), row.text) << row.number;
    }
    // Labels size themselves to their captions.
    for (int n = 1; n <= 13; ++n) EXPECT_EQ(form->Label(n)->size(), form->Label(n)->sizeHint()) << "Label" << n;
}

TEST_F(MainWindow, TabVisitsEveryInputOnceAndWraps)
{
    std::vector<int> expected;
    for (int n = 9; n <= 31; ++n) expected.push_back(n);
    expected.push_back(36);
    for (int n = 38; n <= 45; ++n) expected.push_back(n);
    ASSERT_EQ(expected.size(), 32u);

    for (int n : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Field(n)) << "expected CurrencyEdit" << n;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->BitBtn1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), Field(45));
}

TEST_F(MainWindow, ResultsTakeAClickButOnlyTheLengthAcceptsTyping)
{
    for (int n : {32, 33, 34, 35}) {
        QTest::mouseClick(Field(n), Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), Field(n)) << n;
        QTest::keyClicks(Field(n), "12");
        EXPECT_TRUE(Field(n)->text().isEmpty()) << n;
    }
    QTest::mouseClick(Field(37), Qt::LeftButton);
    QTest::keyClicks(Field(37), "12");
    EXPECT_EQ(Field(37)->text(), QStringLiteral("12"));
}

TEST_F(MainWindow, ClickingPrintLeavesTheFocusWhereItWas)
{
    Field(40)->setFocus();
    QTest::mouseClick(form->TransparentButton1(), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), Field(40));
}

TEST_F(MainWindow, WorkedExampleGivesTheHandbookResults)
{
    EnterWorkedExample();
    Calculate();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(Shown(32), QStringLiteral("11,100 т."));
    EXPECT_EQ(Shown(33), QStringLiteral("43,640 т."));
    EXPECT_EQ(Shown(34), QStringLiteral("36,970 т."));  // computed 36.9689..., held rounded
    EXPECT_EQ(Shown(35), QStringLiteral("48,070 т."));
    EXPECT_EQ(Shown(37), QStringLiteral("1 150,0 м."));
    EXPECT_EQ(QApplication::focusWidget(), Field(38));
    EXPECT_EQ(form->Label14()->text().toStdString(), dw::DateToText(dw::CurrentDate()));
}

TEST_F(MainWindow, TwoRunsAndAChangedDiameterGiveIdenticalResults)
{
    EnterWorkedExample();
    Calculate();
    std::vector<Extended> first;
    for (int n : {32, 33, 34, 35, 37}) first.push_back(Field(n)->StoredValue());
    Field(17)->SetValue(127);
    Field(24)->SetValue(-5);
    Calculate();
    std::size_t i = 0;
    for (int n : {32, 33, 34, 35, 37}) EXPECT_EQ(Field(n)->StoredValue(), first[i++]) << n;
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindow, BuoyedWeightStartsFromTheRoundedNetWeight)
{
    Field(9)->SetValue(100);
    Field(25)->SetValue(123.46L);
    Field(44)->SetValue(1.2L);
    Field(45)->SetValue(7.85L);
    Calculate();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(Shown(33), QStringLiteral("12,350 т."));
    // f x 12.35 = 10.462..., f x 12.346 = 10.458...: the second decimal tells them apart.
    EXPECT_EQ(Shown(34), QStringLiteral("10,460 т."));
}

TEST_F(MainWindow, FreshStartEndsInAnInvalidOperationAfterWritingTwoResults)
{
    Field(37)->SetValue(5);
    Field(34)->SetValue(7);
    Calculate();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Invalid floating point operation: enter the specific gravity of the metal");
    EXPECT_EQ(Field(32)->StoredValue(), 0);
    EXPECT_EQ(Field(33)->StoredValue(), 0);
    EXPECT_EQ(Field(34)->StoredValue(), 7);  // unchanged
    EXPECT_EQ(Field(37)->StoredValue(), 5);  // unchanged
    EXPECT_FALSE(form->Label14()->text().isEmpty());
    // The fault is the metal's gravity of 0: the crew corrects it there.
    EXPECT_EQ(QApplication::focusWidget(), Field(45));
}

TEST_F(MainWindow, ZeroMetalGravityWithMudIsADivisionByZero)
{
    EnterWorkedExample();
    Field(45)->SetValue(0);
    Field(35)->SetValue(3);
    Calculate();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Floating point division by zero: enter the specific gravity of the metal");
    EXPECT_EQ(Shown(33), QStringLiteral("43,640 т."));
    // W1 is written but never read back, so it keeps its unrounded sum.
    EXPECT_NE(Field(32)->StoredValue(), 0);
    EXPECT_EQ(Field(35)->StoredValue(), 3);
}

// The message of a fault names an input; the focus goes where the crew
// corrects it, whichever field it was in when РАСЧЕТ was pressed.
TEST_F(MainWindow, AFaultPutsTheFocusOnTheFieldItNames)
{
    const struct {
        const char* name;
        std::vector<std::pair<int, Extended>> values;
        int focusBefore;
        int focusAfter;
    } rows[] = {
        {"a fresh start: 0 / 0 in the buoyancy factor", {}, 9, 45},
        {"a metal gravity of 0 under mud", {{45, 0}}, 38, 45},
        {"a drilling line weight too large", {{40, 2e38L}}, 30, 40},
        {"a section length too large", {{11, 1e39L}}, 38, 11},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        errors.clear();
        if (!row.values.empty())
            EnterWorkedExample();
        for (const auto& [number, value] : row.values) Field(number)->SetValue(value);
        Field(row.focusBefore)->setFocus();
        Calculate();
        EXPECT_EQ(errors.size(), 1u);
        EXPECT_EQ(QApplication::focusWidget(), Field(row.focusAfter));
        EXPECT_EQ(Field(row.focusAfter)->selectedText(), Field(row.focusAfter)->text());
    }
}

TEST_F(MainWindow, AnInputBeyondTheRealRangeOverflowsBeforeAnythingIsWritten)
{
    Field(40)->SetValue(2e38L);
    Field(37)->SetValue(5);
    Field(30)->setFocus();
    Calculate();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Floating point overflow");
    EXPECT_EQ(Field(32)->StoredValue(), 0);
    EXPECT_EQ(Field(37)->StoredValue(), 5);
    EXPECT_TRUE(form->Label14()->text().isEmpty());
    EXPECT_NE(QApplication::focusWidget(), Field(38));
}

// РАСЧЕТ shows what it calculated in one pass: results that stay what they
// were never flicker dimmed and back, and results that come anew change
// colour once. Counted as the fields' palette changes.
TEST_F(MainWindow, CalculateRecoloursTheResultsOnce)
{
    struct PaletteChanges : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::PaletteChange;
            return false;
        }
    };
    const struct {
        const char* name;
        bool calculatedBefore;
        int changesPerField;
    } rows[] = {
        {"results that were dimmed", false, 1},
        {"results that were current", true, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        EnterWorkedExample();
        if (row.calculatedBefore)
            Calculate();
        PaletteChanges changes;
        for (int n : {32, 33, 34, 35, 37}) Field(n)->installEventFilter(&changes);
        Calculate();
        EXPECT_TRUE(errors.empty());
        EXPECT_EQ(changes.count, 5 * row.changesPerField);
        for (int n : {32, 33, 34, 35, 37}) Field(n)->removeEventFilter(&changes);
    }
}

// A metal gravity of 0 is a division by zero whenever the mud has weight,
// with a string or without one (the product of the infinite buoyancy and a
// net weight of 0 must not turn it into an invalid operation).
TEST_F(MainWindow, ZeroMetalGravityWithMudIsADivisionByZeroWithOrWithoutAString)
{
    const struct {
        const char* name;
        Extended length;
        const char* error;
    } rows[] = {
        {"with a string", 1000, "Floating point division by zero: enter the specific gravity of the metal"},
        {"without a string", 0, "Floating point division by zero: enter the specific gravity of the metal"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        errors.clear();
        Field(9)->SetValue(row.length);
        Field(25)->SetValue(29);
        Field(44)->SetValue(1.2L);
        Field(45)->SetValue(0);
        Calculate();
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0], row.error);
    }
}

}  // namespace
