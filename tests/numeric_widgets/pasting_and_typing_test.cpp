// SPDX-License-Identifier: MIT
// Numbers as people bring them into a field: pasted from this program's own
// display, from a spreadsheet or a message; typed with the thousands mark the
// field itself shows; copied from a result to paste elsewhere. A refusal
// always says why.

#include "tests/numeric_widgets/num_edit_fixture.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace dw::testing {
namespace {

const char* const kNoBreakSpace = "\xC2\xA0";

const QString kMetres = QString::fromUtf8(",0.0 м'.';-,0.0 м'.'");

std::string S(const QString& text)
{
    return text.toStdString();
}

using CarefulInput = NumEditFixture;

TEST_F(CarefulInput, PastedTextIsReadAsTheNumberItShows)
{
    const struct {
        const char* name;
        const char* decimalMark;
        const char* thousandsMark;
        const QString& format;
        const char* clipboard;
        std::optional<Extended> value;  // none: refused
        const char* reason;             // part of the tooltip when refused
    } rows[] = {
        {"a length as this program shows it", ",", kNoBreakSpace, kMetres,
         "1\xC2\xA0"
         "200,5 м.",
         1200.5L, ""},
        {"thousands with ordinary spaces", ",", kNoBreakSpace, kMetres, "2 000,0", 2000, ""},
        {"thousands with narrow no-break spaces", ",", kNoBreakSpace, kMetres,
         "1\xE2\x80\xAF"
         "234,5",
         1234.5L, ""},
        {"the unit without its full stop", ",", kNoBreakSpace, kTonnes3, "1 200,5 т", 1200.5L, ""},
        {"a result copied with its unit", ",", kNoBreakSpace, kTonnes3, "62,580 т.", 62.58L, ""},
        {"blanks and a line end around it", ",", kNoBreakSpace, kKilograms, " \t62,58\n", 62.58L, ""},
        {"a Russian number under a point locale", ".", ",", kKilograms, "62,58", 62.58L, ""},
        {"a Russian grouped number under a point locale", ".", ",", kMetres, "1 200,5", 1200.5L, ""},
        {"tonnes pasted into a length", ",", kNoBreakSpace, kMetres, "1 200,5 т", std::nullopt, "unit"},
        {"a word", ",", kNoBreakSpace, kKilograms, "abc", std::nullopt, "is not a number"},
        {"thousands not in threes", ",", kNoBreakSpace, kKilograms, "1 23,5", std::nullopt, "groups of three"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScopedLocaleFormats marks(Marks(row.decimalMark, row.thousandsMark));
        first->SetDisplayFormat(row.format);
        first->SetValue(7);
        first->setFocus(Qt::TabFocusReason);
        QGuiApplication::clipboard()->setText(QString::fromUtf8(row.clipboard));
        const int beepsBefore = beeps;
        Press(Qt::Key_V, Qt::ControlModifier);
        if (row.value) {
            EXPECT_EQ(first->StoredValue(), *row.value);
            EXPECT_EQ(beeps, beepsBefore);
        } else {
            EXPECT_EQ(first->StoredValue(), 7);
            EXPECT_EQ(S(first->text()), "7");
            EXPECT_EQ(beeps, beepsBefore + 1);
            EXPECT_NE(S(first->LastRefusal()).find(row.reason), std::string::npos) << S(first->LastRefusal());
        }
        other->setFocus();
    }
}

TEST_F(CarefulInput, AThousandsMarkTypedWhereItStandsAsOneIsKeptAsOne)
{
    const struct {
        const char* name;
        const char* decimalMark;
        const char* thousandsMark;
        const char* typed;
        const char* editText;  // after typing
        Extended value;        // after leaving
        const char* reason;    // part of the tooltip of the last refused key, "" for none
    } rows[] = {
        {"1,234.5 under a point locale", ".", ",", "1,234.5", "1,234.5", 1234.5L, ""},
        {"1 234,5 with an ordinary space under a no-break-space locale", ",", kNoBreakSpace, "1 234,5",
         "1\xC2\xA0"
         "234,5",
         1234.5L, ""},
        {"a decimal mark after a short group", ".", ",", "1,23.4", "1,234", 1234, "groups of three"},
        {"a digit after a space in the decimals", ",", kNoBreakSpace, "1,5 2", "1,5 ", 1.5L,
         "A space separates thousands"},
        {"a letter", ",", kNoBreakSpace, "1x", "1", 1, "Only digits"},
        {"a third decimal", ",", kNoBreakSpace, "1,234", "1,23", 1.23L, "No more than 2 decimal places"},
        {"a minus after a digit", ",", kNoBreakSpace, "12-", "12", 12, "A minus sign stands only at the start"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScopedLocaleFormats marks(Marks(row.decimalMark, row.thousandsMark));
        first->SetValue(0);
        const QString before = first->LastRefusal();
        first->setFocus(Qt::TabFocusReason);
        Type(QString::fromUtf8(row.typed));
        EXPECT_EQ(S(first->text()), row.editText);
        if (*row.reason == '\0')
            EXPECT_EQ(first->LastRefusal(), before);
        else
            EXPECT_NE(S(first->LastRefusal()).find(row.reason), std::string::npos) << S(first->LastRefusal());
        other->setFocus();
        EXPECT_EQ(first->StoredValue(), row.value);
    }
}

// A thousands mark kept as one must not turn 1,5 into 15 on leaving: the
// field keeps the focus and says why until the group is whole.
TEST_F(CarefulInput, LeavingWithAShortGroupAfterAThousandsMarkKeepsTheField)
{
    const struct {
        const char* name;
        const char* decimalMark;
        const char* thousandsMark;
        const char* typed;
        bool leaves;
        Extended value;  // after leaving, or kept
    } rows[] = {
        {"1,5 under a point locale", ".", ",", "1,5", false, 0},
        {"1 5 with a space under a no-break-space locale", ",", kNoBreakSpace, "1 5", false, 0},
        {"1,500 under a point locale", ".", ",", "1,500", true, 1500},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScopedLocaleFormats marks(Marks(row.decimalMark, row.thousandsMark));
        first->SetValue(0);
        errors.clear();
        first->setFocus(Qt::TabFocusReason);
        Type(QString::fromUtf8(row.typed));
        Press(Qt::Key_Tab);
        Settle();
        EXPECT_EQ(QApplication::focusWidget() == first, !row.leaves);
        EXPECT_EQ(first->StoredValue(), row.value);
        EXPECT_EQ(errors.size(), row.leaves ? 0u : 1u);
        if (!row.leaves)
            EXPECT_NE(errors.front().find("groups of three"), std::string::npos) << errors.front();
        first->SetValue(0);
        other->setFocus();
    }
}

TEST_F(CarefulInput, CopyingANumberGivesItWithItsUnit)
{
    const struct {
        const char* name;
        bool readOnly;
        bool selectAll;
        const char* copied;
    } rows[] = {
        {"a result clicked and copied", true, false, "62,580 т."},
        {"a result selected whole", true, true, "62,580 т."},
        {"an input selected whole", false, true, "62,580 т."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        first->SetDisplayFormat(kTonnes3);
        first->setReadOnly(row.readOnly);
        first->SetValue(62.58L);
        Click(first);
        if (row.selectAll)
            Press(Qt::Key_A, Qt::ControlModifier);
        Press(Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(S(QGuiApplication::clipboard()->text()), row.copied);
        other->setFocus();
    }
}

}  // namespace
}  // namespace dw::testing
