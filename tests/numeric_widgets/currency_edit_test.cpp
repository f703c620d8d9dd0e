// SPDX-License-Identifier: MIT
#include "num_edit_fixture.h"

#include "common/errors.h"
#include "numeric/core/number_parse.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QMenu>

namespace dw::testing {
namespace {

std::string S(const QString& text)
{
    return text.toStdString();
}

void SetClipboard(const char* text)
{
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
}

using TypingTest = NumEditFixture;

// --- the edge cases of typing, leaving and reading, one situation each ------------

TEST_F(TypingTest, NewFieldShowsZeroInItsPatternWithEmptyText)
{
    EXPECT_EQ(S(second->DisplayedText()), "0,00 кг.");
    EXPECT_EQ(S(second->text()), "");
    EXPECT_EQ(S(second->Text()), "");
}

TEST_F(TypingTest, FocusingAZeroFieldLeavesTheTextEmpty)
{
    Tab();
    ASSERT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(S(first->text()), "");
    EXPECT_TRUE(first->IsFocusedState());
}

TEST_F(TypingTest, ThirdDecimalIsRefusedWithABeep)
{
    Tab();
    Type("1234,567");
    EXPECT_EQ(S(first->text()), "1234,56");
    EXPECT_EQ(beeps, 1);
}

TEST_F(TypingTest, PointTypesTheDecimalMark)
{
    Tab();
    Type("1234.5");
    EXPECT_EQ(S(first->text()), "1234,5");
    EXPECT_EQ(beeps, 0);
}

TEST_F(TypingTest, GroupedNumberIsCommittedOnLeaving)
{
    Tab();
    Type("1 234,5");
    EXPECT_EQ(first->StoredValue(), 0);  // nothing committed while typing
    Tab();
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_EQ(first->StoredValue(), 1234.5L);
    EXPECT_EQ(S(first->text()), "1234,5");
    EXPECT_EQ(S(first->DisplayedText()), "1 234,50 кг.");
    EXPECT_EQ(first->cursorPosition(), 0);
}

TEST_F(TypingTest, LoneMinusLeavesAsZero)
{
    Tab();
    Type("-");
    EXPECT_EQ(S(first->text()), "-");
    Tab();
    EXPECT_EQ(first->StoredValue(), 0);
    EXPECT_EQ(S(first->DisplayedText()), "0,00 кг.");
    EXPECT_EQ(S(first->text()), "");
    EXPECT_TRUE(errors.empty());
}

TEST_F(TypingTest, LettersAreRefusedWithABeep)
{
    Tab();
    Type("1");
    Type("a");
    Type(QString::fromUtf8("Ж"));
    Type(QString::fromUtf8("€"));
    EXPECT_EQ(S(first->text()), "1");
    EXPECT_EQ(beeps, 3);
}

TEST_F(TypingTest, NoBeepWhenBeepOnErrorIsOff)
{
    first->SetBeepOnError(false);
    Tab();
    Type("x");
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(S(first->text()), "");
}

TEST_F(TypingTest, EscapeRevertsToTheCommittedValueAllSelected)
{
    first->SetValue(12);
    Tab();
    EXPECT_EQ(S(first->selectedText()), "12");  // keyboard entry selects all
    Type("5");
    EXPECT_EQ(S(first->text()), "5");
    Press(Qt::Key_Escape);
    EXPECT_EQ(S(first->text()), "12");
    EXPECT_EQ(S(first->selectedText()), "12");
    EXPECT_EQ(first->StoredValue(), 12);
    EXPECT_EQ(QApplication::focusWidget(), first);
}

TEST_F(TypingTest, EnterDoesNothing)
{
    Tab();
    Type("5");
    Press(Qt::Key_Return);
    Press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(S(first->text()), "5");
    EXPECT_EQ(first->StoredValue(), 0);
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(beeps, 0);
}

TEST_F(TypingTest, WrittenValueIsShownRoundedAndReadBackRounded)
{
    first->SetValue(12.3456L);
    EXPECT_EQ(S(first->DisplayedText()), "12,35 кг.");
    EXPECT_EQ(S(first->text()), "12,35");
    EXPECT_EQ(first->StoredValue(), 12.3456L);
    EXPECT_EQ(first->Value(), ParseNumber("12,35"));
    EXPECT_EQ(first->StoredValue(), ParseNumber("12,35"));
}

TEST_F(TypingTest, ThreeDecimalPatternShowsTheRoundingOfARead)
{
    first->SetDisplayFormat(kTonnes3);
    first->SetValue(12.3456L);
    EXPECT_EQ(S(first->DisplayedText()), "12,346 т.");
    first->Value();
    EXPECT_EQ(S(first->DisplayedText()), "12,350 т.");
}

TEST_F(TypingTest, ClickOnAControlWithoutFocusCommitsNothing)
{
    first->SetValue(3);
    Tab();
    Type("7");
    Click(noFocusButton);
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(S(first->DisplayedText()), "3,00 кг.");
    EXPECT_EQ(S(first->text()), "7");
}

TEST_F(TypingTest, ReadingValueOfATextWithoutMantissaGivesMinValue)
{
    Tab();
    Type("1E5");
    Press(Qt::Key_Home);
    Press(Qt::Key_Delete);
    ASSERT_EQ(S(first->text()), "E5");
    EXPECT_EQ(first->Value(), 0);
    first->SetMinValue(-5);
    first->SetMaxValue(5);
    first->setText(QStringLiteral("E5"));
    EXPECT_EQ(first->Value(), -5);
    EXPECT_EQ(first->StoredValue(), -5);
}

TEST_F(TypingTest, LeavingWithATextWithoutMantissaKeepsFocusAndShowsTheError)
{
    Tab();
    Type("1E5");
    Press(Qt::Key_Home);
    Press(Qt::Key_Delete);
    Tab();
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(S(first->text()), "E5");
    EXPECT_EQ(S(first->selectedText()), "E5");
    EXPECT_FALSE(second->IsFocusedState());
    Settle();
    EXPECT_EQ(errors, std::vector<std::string>{"'E5' is not a valid floating point value"});

    // Once put right, the field lets the focus go.
    Press(Qt::Key_Home);
    Type("2");
    Tab();
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_EQ(first->StoredValue(), 2e5L);
    EXPECT_EQ(S(first->DisplayedText()), "200 000,00 кг.");
}

TEST_F(TypingTest, ClickIntoAnotherFieldCannotLeaveABadText)
{
    second->SetValue(4);
    Tab();
    Type("1E5");
    Press(Qt::Key_Home);
    Press(Qt::Key_Delete);
    Click(second);
    Settle();
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_FALSE(second->IsFocusedState());
    EXPECT_EQ(S(second->text()), "4");
    EXPECT_EQ(errors.size(), 1u);
    Press(Qt::Key_Home);
    Type("3");
    EXPECT_EQ(S(first->text()), "3E5");  // the keys still go to the first field
}

TEST_F(TypingTest, EmptyDisplayFormatShowsTheGeneralText)
{
    first->SetDisplayFormat(QString());
    first->SetValue(1234.5L);
    EXPECT_EQ(S(first->DisplayedText()), "1234,5");
}

TEST_F(TypingTest, PositiveRangeAcceptsMinusButNotANegativeNumber)
{
    first->SetMinValue(0);
    first->SetMaxValue(100);
    Tab();
    Type("-");
    EXPECT_EQ(beeps, 0);
    Type("5");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(S(first->text()), "-");
}

TEST_F(TypingTest, CheckOnExitRefusesToLeaveOutsideTheRange)
{
    first->SetMinValue(0);
    first->SetMaxValue(100);
    first->SetCheckOnExit(true);
    Tab();
    Type("150");
    Tab();
    Settle();
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(errors, std::vector<std::string>{"Value must be between 0.00 and 100.00"});
    EXPECT_EQ(S(first->text()), "150");
    EXPECT_EQ(first->StoredValue(), 0);
}

TEST_F(TypingTest, WithoutCheckOnExitTheValueIsClampedSilently)
{
    first->SetMinValue(0);
    first->SetMaxValue(100);
    Tab();
    Type("150");
    Tab();
    Settle();
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(first->StoredValue(), 100);
    EXPECT_EQ(S(first->text()), "100");
}

TEST_F(TypingTest, PointAndCommaLocale)
{
    ScopedLocaleFormats marks(Marks(".", ","));
    Tab();
    Type("1234,5");
    EXPECT_EQ(S(first->text()), "1234.5");
    Tab();
    EXPECT_EQ(S(first->DisplayedText()), "1,234.50 кг.");
}

TEST_F(TypingTest, EnterAndEscapeBelongToADialog)
{
    QDialog dialog;
    auto* field = new TCurrencyEdit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    ok->move(0, 30);
    int accepted = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++accepted; });
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    field->setFocus(Qt::TabFocusReason);
    Type("5");
    Press(Qt::Key_Return);
    EXPECT_EQ(accepted, 1);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

// --- focus ---------------------------------------------------------------------------

using FocusTest = NumEditFixture;

TEST_F(FocusTest, EnterExitAndChangeBetweenTwoFields)
{
    int enters = 0, exits = 0, changes = 0, secondEnters = 0;
    QObject::connect(first, &TCustomNumEdit::OnEnter, [&] { ++enters; });
    QObject::connect(first, &TCustomNumEdit::OnExit, [&] { ++exits; });
    QObject::connect(first, &TCustomNumEdit::OnChange, [&] { ++changes; });
    QObject::connect(second, &TCustomNumEdit::OnEnter, [&] { ++secondEnters; });
    first->SetValue(7);
    EXPECT_EQ(changes, 1);  // a written value is a change
    Tab();
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(changes, 1);  // the entry rewrite is not
    Type("12,50");
    EXPECT_EQ(changes, 6);
    Tab();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(secondEnters, 1);
    EXPECT_EQ(S(first->text()), "12,5");
    EXPECT_EQ(changes, 6);  // nor the exit rewrite
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(enters, 2);
}

TEST_F(FocusTest, KeyboardEntrySelectsAllMouseEntryDoesNot)
{
    first->SetValue(12);
    Click(first);
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(S(first->text()), "12");
    EXPECT_FALSE(first->hasSelectedText());
    Tab();
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(S(first->selectedText()), "12");
    first->SetAutoSelect(false);
    Tab();
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_FALSE(first->hasSelectedText());
}

TEST_F(FocusTest, EntryRewritesTheTextFromTheStoredValue)
{
    first->SetValue(12.3456L);
    first->setText(QStringLiteral("99"));  // not committed
    Tab();
    EXPECT_EQ(S(first->text()), "12,35");
}

// --- clipboard ---------------------------------------------------------------------

using ClipboardTest = NumEditFixture;

TEST_F(ClipboardTest, PastedNumberIsCommittedAtOnce)
{
    Tab();
    SetClipboard("1 234,5");
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(S(first->text()), "1234,5");  // the plain number it stands for
    EXPECT_EQ(first->StoredValue(), 1234.5L);
    EXPECT_EQ(S(first->DisplayedText()), "1 234,50 кг.");
}

TEST_F(ClipboardTest, PasteOfTextIsRefusedAndTheTextRestored)
{
    first->SetValue(5);
    Tab();
    Press(Qt::Key_End);
    SetClipboard("abc");
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(S(first->text()), "5");
    EXPECT_EQ(S(first->selectedText()), "5");
    EXPECT_EQ(first->StoredValue(), 5);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(QApplication::focusWidget(), first);
    Settle();
    EXPECT_TRUE(errors.empty());
}

TEST_F(ClipboardTest, ShiftInsertPastesToo)
{
    Tab();
    SetClipboard("12,5");
    Press(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(first->StoredValue(), 12.5L);
}

TEST_F(ClipboardTest, ContextMenuPasteGoesThroughTheField)
{
    Tab();
    SetClipboard("abc");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), first->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(first, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* paste = nullptr;
    for (QAction* action : menu->actions())
        if (action->objectName() == QLatin1String("edit-paste"))
            paste = action;
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    menu->close();
    EXPECT_EQ(S(first->text()), "");
    EXPECT_EQ(beeps, 1);
}

TEST_F(ClipboardTest, CutTakesTheSelection)
{
    first->SetValue(12);
    Tab();
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(S(first->text()), "");
    EXPECT_EQ(S(QGuiApplication::clipboard()->text()), "12");
}

TEST_F(ClipboardTest, ReadOnlyFieldKeepsItsTextButAPasteCommitsIt)
{
    first->setReadOnly(true);
    first->SetDisplayFormat(kTonnes3);
    first->SetValue(12.3456L);
    Click(first);
    ASSERT_EQ(QApplication::focusWidget(), first);
    Type("5");
    EXPECT_EQ(S(first->text()), "12,35");
    Type("x");
    EXPECT_EQ(beeps, 1);  // a refused key still beeps

    first->selectAll();
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(S(first->text()), "12,35");

    SetClipboard("7");
    EXPECT_EQ(first->StoredValue(), 12.3456L);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(S(first->text()), "12,35");
    EXPECT_EQ(first->StoredValue(), ParseNumber("12,35"));
    EXPECT_EQ(S(first->DisplayedText()), "12,350 т.");

    first->setText(QStringLiteral("1"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(S(first->text()), "12,35");
}

// --- the properties --------------------------------------------------------------------

using PropertyTest = NumEditFixture;

TEST_F(PropertyTest, Defaults)
{
    TCurrencyEdit field;
    EXPECT_EQ(field.StoredValue(), 0);
    EXPECT_EQ(field.DecimalPlaces(), 2u);
    EXPECT_TRUE(field.ZeroEmpty());
    EXPECT_TRUE(field.BeepOnError());
    EXPECT_FALSE(field.CheckOnExit());
    EXPECT_FALSE(field.FormatOnEditing());
    EXPECT_TRUE(field.AutoSelect());
    EXPECT_EQ(field.Alignment(), Qt::AlignRight);
    EXPECT_EQ(field.DisplayFormat(), field.BaseDisplayFormat());
    EXPECT_EQ(field.MinValue(), 0);
    EXPECT_EQ(field.MaxValue(), 0);
    EXPECT_EQ(S(field.text()), "");
    EXPECT_EQ(field.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST_F(PropertyTest, TextWriteParsesAndRefreshes)
{
    first->SetText(QStringLiteral("1 234,5"));
    EXPECT_EQ(first->StoredValue(), 1234.5L);
    EXPECT_EQ(S(first->Text()), "1234,5");
    EXPECT_THROW(first->SetText(QStringLiteral("abc")), EConvertError);
    EXPECT_EQ(first->StoredValue(), 1234.5L);
    EXPECT_EQ(S(first->Text()), "1234,5");
}

TEST_F(PropertyTest, SettersRefreshTheEditText)
{
    first->SetValue(12.3456L);
    first->SetDecimalPlaces(0);
    EXPECT_EQ(S(first->text()), "12");
    first->SetDecimalPlaces(3);
    EXPECT_EQ(S(first->text()), "12,346");
    first->SetValue(0);
    EXPECT_EQ(S(first->text()), "");
    first->SetZeroEmpty(false);
    EXPECT_EQ(S(first->text()), "0");
    first->SetValue(150);
    first->SetMaxValue(100);
    EXPECT_EQ(first->StoredValue(), 100);
    EXPECT_EQ(S(first->text()), "100");
    first->SetMaxValue(0);  // equal bounds: no range
    EXPECT_EQ(first->StoredValue(), 100);
    first->SetMinValue(120);  // only the minimum is in use now
    EXPECT_EQ(first->StoredValue(), 120);
}

TEST_F(PropertyTest, ValueThroughTheQtPropertySystem)
{
    const Extended third = 1.0L / 3;
    ASSERT_TRUE(first->setProperty("Value", QVariant::fromValue<Extended>(third)));
    EXPECT_EQ(first->StoredValue(), third);  // all 64 bits arrive
    const QVariant read = first->property("Value");
    ASSERT_EQ(read.metaType(), QMetaType::fromType<Extended>());
    EXPECT_EQ(read.value<Extended>(), ParseNumber("0,33"));  // a read commits, like Value()
    ASSERT_TRUE(first->setProperty("Value", 2.5));
    EXPECT_EQ(first->StoredValue(), 2.5L);
    EXPECT_EQ(first->property("DisplayFormat").toString(), kKilograms);
}

TEST_F(PropertyTest, FormatOnEditingGroupsWhileTyping)
{
    first->SetFormatOnEditing(true);
    EXPECT_EQ(first->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    Tab();
    Type("1234567");
    EXPECT_EQ(S(first->text()), "1 234 567");
    EXPECT_EQ(first->cursorPosition(), first->text().size());
    Type(",5");
    EXPECT_EQ(S(first->text()), "1 234 567,5");
    Tab();
    EXPECT_EQ(first->StoredValue(), 1234567.5L);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(S(first->text()), "1 234 567,5");  // regrouped on entry too
    first->SetFormatOnEditing(false);
    EXPECT_EQ(S(first->text()), "1234567,5");
    EXPECT_EQ(first->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST_F(PropertyTest, FormatOnEditingWithoutGroupingInThePattern)
{
    first->SetDisplayFormat(QStringLiteral("0.00"));
    first->SetFormatOnEditing(true);
    Tab();
    Type("1234");
    EXPECT_EQ(S(first->text()), "1234");
}

struct BaseFormatRow {
    const char* name;
    const char* symbol;
    int placement;
    int digits;
    const char* format;
};

class BaseDisplayFormatTest : public ::testing::TestWithParam<BaseFormatRow> {};

TEST_P(BaseDisplayFormatTest, FollowsTheLocaleCurrency)
{
    const BaseFormatRow& row = GetParam();
    LocaleFormatSettings settings;
    settings.CurrencySymbol = row.symbol;
    settings.CurrencyPlacement = static_cast<std::uint8_t>(row.placement);
    settings.CurrencyDigits = static_cast<std::uint8_t>(row.digits);
    ScopedLocaleFormats locale(settings);
    TCurrencyEdit field;
    EXPECT_EQ(S(field.BaseDisplayFormat()), row.format);
    EXPECT_EQ(S(field.DisplayFormat()), row.format);
}

INSTANTIATE_TEST_SUITE_P(Table, BaseDisplayFormatTest,
                         ::testing::Values(BaseFormatRow{"NoSymbol", "", 1, 2, ",0.00;-,0.00"},
                                           BaseFormatRow{"NoDigits", "", 0, 0, ",0.;-,0."},
                                           BaseFormatRow{"Before", "$", 0, 2, "$,0.00;-$,0.00"},
                                           BaseFormatRow{"AfterWithPoint", "р.", 1, 2, ",0.00р'.';-,0.00р'.'"},
                                           BaseFormatRow{"BeforeSpaced", "€", 2, 2, "€ ,0.00;-€ ,0.00"},
                                           BaseFormatRow{"AfterSpaced", "кг.", 3, 2, ",0.00 кг'.';-,0.00 кг'.'"},
                                           BaseFormatRow{"CommaQuoted", "a,b", 1, 1, ",0.0a','b;-,0.0a','b"},
                                           BaseFormatRow{"UnknownPlacement", "$", 7, 2, ",0.00;-,0.00"}),
                         [](const ::testing::TestParamInfo<BaseFormatRow>& row) {
                             return std::string(row.param.name);
                         });

TEST(CustomNumEdit, BaseDisplayFormatIsPlain)
{
    TCustomNumEdit field;
    EXPECT_EQ(S(field.DisplayFormat()), ",0.##");
}

}  // namespace
}  // namespace dw::testing
