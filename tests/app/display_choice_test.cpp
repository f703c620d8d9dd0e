// SPDX-License-Identifier: MIT
// The crew's language and units: what the main window shows for each choice
// kept in the profile, what switching units does to numbers already typed,
// and the choice made with the keyboard in the window menu's dialog.

#include "app/form1.h"
#include "app/language_units_dialog.h"
#include "app/translations.h"
#include "common/error_display.h"
#include "decor/window_frame.h"
#include "journal/widgets/journal_window.h"
#include "numeric/core/locale_formats.h"
#include "numeric/widgets/currency_edit.h"
#include "storage/core/ini_file.h"
#include "storage/core/profile_location.h"
#include "tests/support/number_marks.h"
#include "tests/support/profile_sandbox.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dw {
namespace {

// The inputs of a worked example in the profile's own form: field number,
// value as stored (a point, no unit).
using StoredInputs = std::vector<std::pair<int, const char*>>;

// The crew handbook's example in metric units, a diameter added.
const StoredInputs kMetricExample{
    {9, "1000"}, {10, "150"}, {17, "168"}, {25, "29"},  {26, "97.6"}, {38, "2.5"},  {39, "4.2"},
    {40, "1.8"}, {41, "1.3"}, {42, "1.1"}, {43, "0.2"}, {44, "1.2"},  {45, "7.85"},
};
// The same digits' counterpart typed in oilfield units: 10,000 ft of 19.50
// lb/ft and 500 ft of 91.00 lb/ft, 6 5/8 in pipe, equipment in klb, mud and
// steel in ppg.
const StoredInputs kOilfieldExample{
    {9, "10000"}, {10, "500"}, {17, "6.625"}, {25, "19.5"}, {26, "91"},   {38, "8"},    {39, "35"},
    {40, "6.5"},  {41, "4.5"}, {42, "3.2"},   {43, "0.8"},  {44, "10.5"}, {45, "65.5"},
};

std::string ProfileText(const char* display, const StoredInputs& inputs)
{
    std::string text = display;
    text += "\n[TForm1]\n";
    for (const auto& [number, value] : inputs)
        text += "CurrencyEdit" + std::to_string(number) + "_Value=" + value + "\n";
    return text;
}

QString Shown(TForm1& form, int number)
{
    return form.CurrencyEdit(number)->DisplayedText();
}

class DisplayChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
    }
    void TearDown() override
    {
        form.reset();
        SetErrorDisplay(std::move(m_previous));
    }
    void Start(const std::string& profile)
    {
        form.reset();
        test::WriteBytes(ProfilePath("davov"), profile);
        form = std::make_unique<TForm1>();
        form->show();
    }
    std::string Stored(const char* section, const char* key) const
    {
        return TIniFile(ProfilePath("davov").string()).ReadString(section, key, "<none>");
    }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;

private:
    test::ProfileSandbox m_profile;
    ErrorDisplayHandler m_previous;
};

// Each choice kept in the profile, started under a locale without a
// catalogue (so a Russian name proves the choice, not the machine), the
// example calculated: every number with the chosen unit in the chosen
// language, the marks the locale's, the reader's names the language's.
TEST_F(DisplayChoice, TheWindowShowsEveryNumberInTheChosenLanguageAndUnits)
{
    const struct {
        const char* name;
        const char* display;  // the profile's [Display] section
        const StoredInputs& inputs;
        bool pointMarks;  // en_US marks, else ru_RU's
        const char* kelly;
        const char* diameter;
        const char* metreWeight;
        const char* mud;
        const char* hookLoad;
        const char* totalLength;
        const char* readerName;       // of the first section's length
        const char* metreWeightName;  // of its weight of a metre (a foot)
        unsigned diameterDecimals;
        bool english;  // the English design: its title and commands
    } rows[] = {
        {"nothing chosen: the designed window", "", kMetricExample, false, "2,50 т.", "168 мм.", "29,00 кг.",
         "1,20 г/см3.", "48,070 т.", "1 150,0 м.", "Section 1 length, m", "Section 1 weight of one metre, kg/m", 2,
         false},
        {"Russian and metric chosen", "[Display]\nLanguage=ru\nUnits=metric\n", kMetricExample, false, "2,50 т.",
         "168 мм.", "29,00 кг.", "1,20 г/см3.", "48,070 т.", "1 150,0 м.", "Длина секции 1, м",
         "Вес 1 метра секции 1, кг/м", 2, false},
        {"English and metric", "[Display]\nLanguage=en\nUnits=metric\n", kMetricExample, true, "2.50 t", "168 mm",
         "29.00 kg/m", "1.20 g/cm3", "48.070 t", "1,150.0 m", "Section 1 length, m",
         "Section 1 weight of one metre, kg/m", 2, true},
        {"English and oilfield", "[Display]\nLanguage=en\nUnits=oilfield\n", kOilfieldExample, true, "8.00 klb",
         "6.625 in", "19.50 lb/ft", "10.50 ppg", "259.950 klb", "10,500.0 ft", "Section 1 length, ft",
         "Section 1 weight of one foot, lb/ft", 3, true},
        {"Russian and oilfield", "[Display]\nLanguage=ru\nUnits=oilfield\n", kOilfieldExample, false, "8,00 кип",
         "6,625 дюйм", "19,50 фн/фт", "10,50 фн/гал", "259,950 кип", "10 500,0 фт", "Длина секции 1, фт",
         "Вес 1 фута секции 1, фн/фт", 3, false},
        {"oilfield chosen, the language not: the designed Russian words", "[Display]\nUnits=oilfield\n",
         kOilfieldExample, false, "8,00 кип", "6,625 дюйм", "19,50 фн/фт", "10,50 фн/гал", "259,950 кип", "10 500,0 фт",
         "Section 1 length, ft", "Section 1 weight of one foot, lb/ft", 3, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Translations language(QLocale::c(), {QStringLiteral(DW_TRANSLATIONS_DIR)});
        const ScopedLocaleFormats marks(row.pointMarks ? test::Marks(".", ",") : test::CommaSpaceMarks());
        Start(ProfileText(row.display, row.inputs));
        form->BitBtn1Click(nullptr);
        EXPECT_EQ(Shown(*form, 38).toStdString(), row.kelly);
        EXPECT_EQ(Shown(*form, 17).toStdString(), row.diameter);
        EXPECT_EQ(Shown(*form, 25).toStdString(), row.metreWeight);
        EXPECT_EQ(Shown(*form, 44).toStdString(), row.mud);
        EXPECT_EQ(Shown(*form, 35).toStdString(), row.hookLoad);
        EXPECT_EQ(Shown(*form, 37).toStdString(), row.totalLength);
        EXPECT_EQ(form->CurrencyEdit(9)->accessibleName().toStdString(), row.readerName);
        EXPECT_EQ(form->CurrencyEdit(25)->accessibleName().toStdString(), row.metreWeightName);
        EXPECT_EQ(form->CurrencyEdit(17)->DecimalPlaces(), row.diameterDecimals);
        EXPECT_EQ(form->windowTitle(), row.english ? QStringLiteral("DRILL STRING WEIGHT")
                                                   : QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"));
        // A result typed over names the command to press as its button reads.
        form->CurrencyEdit(37)->SetValue(1);
        EXPECT_TRUE(form->CurrencyEdit(35)->toolTip().endsWith(row.english ? QStringLiteral("press CALCULATE")
                                                                           : QStringLiteral("РАСЧЕТ")))
            << form->CurrencyEdit(35)->toolTip().toStdString();
        // Nothing of the choice is written before the crew makes one.
        form.reset();
        EXPECT_EQ(Stored("Display", "Language") == "<none>",
                  std::string(row.display).find("Language") == std::string::npos);
        EXPECT_TRUE(errors.empty());
    }
}

// Switching units converts every number typed with the defined factors,
// rounded to the decimals of the field's new unit; the results count as
// not calculated; the choice and the converted numbers are kept together.
TEST_F(DisplayChoice, SwitchingUnitsConvertsWhatIsTyped)
{
    const Translations language(QLocale::c(), {QStringLiteral(DW_TRANSLATIONS_DIR)});
    const struct {
        const char* name;
        const char* from;  // [Display] at the start
        units::TUnitSystem to;
        int field;
        const char* typed;  // as stored
        Extended converted;
        const char* shown;
        const char* stored;
    } rows[] = {
        {"tonnes to klb", "", units::TUnitSystem::Oilfield, 38, "50", 110.23L, "110,23 кип", "110.23"},
        {"metres to feet", "", units::TUnitSystem::Oilfield, 9, "1000", 3280.8L, "3 280,8 фт", "3280.8"},
        {"millimetres to inches, three decimals", "", units::TUnitSystem::Oilfield, 17, "168", 6.614L, "6,614 дюйм",
         "6.614"},
        {"kg/m to lb/ft", "", units::TUnitSystem::Oilfield, 25, "29", 19.49L, "19,49 фн/фт", "19.49"},
        {"g/cm3 to ppg", "", units::TUnitSystem::Oilfield, 44, "1.2", 10.01L, "10,01 фн/гал", "10.01"},
        {"inches to whole millimetres", "[Display]\nUnits=oilfield\n", units::TUnitSystem::Metric, 17, "6.625", 168,
         "168 мм.", "168"},
        {"ppg to g/cm3", "[Display]\nUnits=oilfield\n", units::TUnitSystem::Metric, 45, "65.5", 7.85L, "7,85 г/см3.",
         "7.85"},
        {"lb/ft to kg/m", "[Display]\nUnits=oilfield\n", units::TUnitSystem::Metric, 26, "91", 135.42L, "135,42 кг.",
         "135.42"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ScopedLocaleFormats russianMarks(test::CommaSpaceMarks());
        StoredInputs typed{{row.field, row.typed}};
        if (row.field != 45)
            typed.emplace_back(45, "7.85");
        Start(ProfileText(row.from, typed));
        form->BitBtn1Click(nullptr);
        ASSERT_TRUE(form->ResultsCurrent());
        units::TDisplaySettings choice;
        choice.Units = row.to;
        // The steel gravity is a second number typed, whatever its units.
        EXPECT_EQ(form->ChangeDisplay(choice), row.field == 45 ? 1 : 2);
        EXPECT_EQ(form->CurrencyEdit(row.field)->Value(), row.converted);
        EXPECT_EQ(Shown(*form, row.field).toStdString(), row.shown);
        EXPECT_FALSE(form->ResultsCurrent());
        EXPECT_EQ(Stored("Display", "Units"), row.to == units::TUnitSystem::Oilfield ? "oilfield" : "metric");
        const std::string key = "CurrencyEdit" + std::to_string(row.field) + "_Value";
        EXPECT_EQ(Stored("TForm1", key.c_str()), row.stored);
    }
    // A change of language alone converts nothing; an open journal window
    // comes back in the new language.
    Start(ProfileText("[Display]\nLanguage=ru\n", {{38, "50"}}));
    form->ShowJournal();
    const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    EXPECT_TRUE(form->JournalWindow()->windowTitle().contains(cyrillic));
    units::TDisplaySettings english;
    english.Language = units::TLanguage::English;
    EXPECT_EQ(form->ChangeDisplay(english), 0);
    EXPECT_EQ(form->CurrencyEdit(38)->Value(), 50);
    ASSERT_NE(form->JournalWindow(), nullptr);
    EXPECT_TRUE(form->JournalWindow()->isVisible());
    EXPECT_FALSE(form->JournalWindow()->windowTitle().contains(cyrillic))
        << form->JournalWindow()->windowTitle().toStdString();
    EXPECT_EQ(Stored("Display", "Language"), "en");
    EXPECT_EQ(Stored("Display", "Units"), "<none>");
    EXPECT_TRUE(errors.empty());
}

// What a field takes follows its unit: a number pasted with the field's own
// unit is read, one with the other system's unit is refused and says why;
// an inch field takes thousandths.
TEST_F(DisplayChoice, WhatAFieldTakesFollowsItsUnit)
{
    const Translations language(QLocale::c(), {QStringLiteral(DW_TRANSLATIONS_DIR)});
    const ScopedLocaleFormats marks(test::Marks(".", ","));
    const struct {
        const char* name;
        const char* display;
        int field;
        const char* pasted;
        std::optional<Extended> taken;  // none: refused
    } rows[] = {
        {"lb/ft into a weight of a foot", "[Display]\nLanguage=en\nUnits=oilfield\n", 25, "19.50 lb/ft", 19.5L},
        {"kg/m into a weight of a foot", "[Display]\nLanguage=en\nUnits=oilfield\n", 25, "29.00 kg/m", std::nullopt},
        {"feet into a metric length", "[Display]\nLanguage=en\nUnits=metric\n", 9, "10,000.0 ft", std::nullopt},
        {"metres into a metric length", "[Display]\nLanguage=en\nUnits=metric\n", 9, "3,048.0 m", 3048},
        {"thousandths of an inch", "[Display]\nLanguage=en\nUnits=oilfield\n", 17, "6.625 in", 6.625L},
        {"Russian oilfield words", "[Display]\nLanguage=ru\nUnits=oilfield\n", 44, "10.50 фн/гал", 10.5L},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Start(ProfileText(row.display, {{row.field, "7"}}));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        TCurrencyEdit* field = form->CurrencyEdit(row.field);
        field->setFocus(Qt::TabFocusReason);
        QGuiApplication::clipboard()->setText(QString::fromUtf8(row.pasted));
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        form->BitBtn1()->setFocus();
        EXPECT_EQ(field->Value(), row.taken.value_or(7));
        EXPECT_EQ(field->LastRefusal().isEmpty(), row.taken.has_value()) << field->LastRefusal().toStdString();
    }
}

// With the keyboard alone: Alt+Space opens the window menu, its entry the
// dialog; English and oilfield chosen there and accepted, the window says
// what it converted and the profile keeps the choice.
TEST_F(DisplayChoice, TheWindowMenuChoosesWithTheKeyboard)
{
    const Translations language(QLocale::c(), {QStringLiteral(DW_TRANSLATIONS_DIR)});
    const ScopedLocaleFormats marks(test::Marks(".", ","));
    Start(ProfileText("", {{38, "50"}}));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    QString said;
    bool dialogSeen = false;
    // What happens in the modal loops, step by step, as a person would.
    // The looks' timers go with it, before what the looks use.
    QObject lookOut;
    std::function<void()> step = [&] {
        if (!said.isEmpty())
            return;
        // The next look is due before a key that may open a modal loop.
        QTimer::singleShot(20, &lookOut, step);
        QWidget* modal = QApplication::activeModalWidget();
        QWidget* popup = QApplication::activePopupWidget();
        if (auto* menu = qobject_cast<QMenu*>(popup)) {
            QAction* entry = nullptr;
            for (QAction* action : menu->actions())
                if (action->objectName() == QStringLiteral("LanguageUnitsAction"))
                    entry = action;
            if (entry != nullptr) {
                menu->setActiveAction(entry);
                QTest::keyClick(menu, Qt::Key_Return);
            }
        } else if (auto* dialog = qobject_cast<TLanguageUnitsDialog*>(modal)) {
            dialogSeen = true;
            // The focus starts on the language chosen now (Russian); the
            // arrow moves the choice, Tab goes to the units.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            dialog->Oilfield()->setFocus();
            QTest::keyClick(dialog->Oilfield(), Qt::Key_Space);
            QTest::keyClick(dialog, Qt::Key_Return);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            said = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        }
    };
    QTimer::singleShot(20, &lookOut, step);
    QTest::keyClick(form.get(), Qt::Key_Space, Qt::AltModifier);
    for (int wait = 0; wait < 250 && said.isEmpty(); ++wait) QTest::qWait(20);

    EXPECT_TRUE(dialogSeen);
    EXPECT_TRUE(said.contains(QStringLiteral("oilfield units"))) << said.toStdString();
    EXPECT_EQ(form->Display().Language, units::TLanguage::English);
    EXPECT_EQ(form->Units(), units::TUnitSystem::Oilfield);
    EXPECT_EQ(Shown(*form, 38).toStdString(), "110.23 klb");
    EXPECT_EQ(Stored("Display", "Language"), "en");
    EXPECT_EQ(Stored("Display", "Units"), "oilfield");
    // The window menu's own entries speak the window's language now.
    TWindowFrame* frame = TWindowFrame::Of(form.get());
    ASSERT_NE(frame, nullptr);
    frame->ShowSystemMenu(form->mapToGlobal(QPoint(0, 0)));
    QStringList entries;
    for (QAction* action : frame->SystemMenu()->actions()) entries << action->text();
    frame->SystemMenu()->close();
    EXPECT_TRUE(entries.contains(QStringLiteral("Close\tAlt+F4"))) << entries.join(" | ").toStdString();
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace dw
