// SPDX-License-Identifier: MIT
// The journal as a crew meets it from the main window: what each calculation
// and print leaves there, a record brought back, its sheet shown again, and a
// journal that cannot be written costing one message, never a result.

#include "app/form1.h"
#include "app/sheet_holder.h"
#include "common/error_display.h"
#include "decor/transparent_button.h"
#include "decor/window_frame.h"
#include "journal/widgets/crew_journal.h"
#include "journal/widgets/journal_model.h"
#include "journal/widgets/journal_plot.h"
#include "journal/widgets/journal_window.h"
#include "numeric/core/locale_formats.h"
#include "numeric/locale/load_locale_formats.h"
#include "numeric/widgets/currency_edit.h"
#include "report/preview/preview.h"
#include "report/preview/standard_preview.h"
#include "tests/app/program_windows.h"
#include "tests/support/file_bytes.h"
#include "tests/support/open_preview.h"
#include "tests/support/page_records.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace dw {
namespace {

QStringList PageTexts(TVpStandardPreview& preview)
{
    QStringList texts;
    if (const auto page = preview.VpPreview()->VpPrinter()->GetPage(1))
        for (const test::PageText& text : test::ReadPage(*page).Texts) texts << text.Text;
    return texts;
}

class JournalSituations : public test::ProgramWindows {
public:
    void SetUp() override
    {
        LoadLocaleFormats(QLocale(QLocale::Russian, QLocale::Russia));
        ProgramWindows::SetUp();
    }

    void Type(int field, const QString& text)
    {
        TCurrencyEdit* edit = form1->CurrencyEdit(field);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::KeyAction::Click, edit, Qt::Key_unknown, c, Qt::NoModifier);
        QTest::keyClick(edit, Qt::Key_Tab);
    }
    void TypeWorkedExample()
    {
        const std::pair<int, const char*> inputs[] = {
            {38, "2,5"}, {39, "4,2"}, {40, "1,8"},  {41, "1,3"}, {42, "1,1"},  {43, "0,2"}, {9, "1000"},
            {25, "29"},  {10, "150"}, {26, "97,6"}, {44, "1,2"}, {45, "7,85"}, {17, "127"},
        };
        for (const auto& [field, text] : inputs) Type(field, QString::fromUtf8(text));
    }
    void Calculate() { QTest::mouseClick(form1->BitBtn1(), Qt::LeftButton); }
    // The page's texts as the preview the action opens shows them; the
    // preview is closed then, so an action that waits for it returns.
    static QStringList PageTextsShownBy(const std::function<void()>& action)
    {
        QStringList texts;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            TVpStandardPreview* preview = test::OpenPreview();
            if (preview == nullptr || preview->Status()->text() != QStringLiteral("Page 1 of 1"))
                return;
            poll.stop();
            texts = PageTexts(*preview);
            preview->close();
        });
        poll.start();
        action();
        return texts;
    }
    // ПЕЧАТЬ, then the page's texts as the preview shows them.
    QStringList Print()
    {
        return PageTextsShownBy([this] { QTest::mouseClick(form1->TransparentButton1(), Qt::LeftButton); });
    }
    std::vector<JournalRecord> Records()
    {
        std::vector<JournalRecord> records;
        form1->Journal().Store().ForEachRecord([&](const JournalRecord& r) { records.push_back(r); });
        for (JournalRecord& r : records) r = *form1->Journal().Store().Read(r.Id);
        return records;
    }
    void Settle()
    {
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }

    ScopedLocaleFormats m_keep{LocaleFormats()};
};

// What each thing the crew does leaves in the journal.
TEST_F(JournalSituations, EachSuccessfulCalculationIsKept)
{
    struct Row {
        const char* Name;
        std::function<void(JournalSituations&)> Steps;
        std::vector<bool> Printed;  // the records, oldest first
        const char* HookLoadShown;  // of the newest record
    };
    const std::vector<Row> rows{
        {"РАСЧЕТ", [](JournalSituations& t) { t.TypeWorkedExample(), t.Calculate(); }, {false}, "48,070 т."},
        {"РАСЧЕТ twice",
         [](JournalSituations& t) { t.TypeWorkedExample(), t.Calculate(), t.Calculate(); },
         {false, false},
         "48,070 т."},
        {"ПЕЧАТЬ with stale results",
         [](JournalSituations& t) { t.TypeWorkedExample(), t.Print(); },
         {true},
         "48,070 т."},
        {"ПЕЧАТЬ after РАСЧЕТ",
         [](JournalSituations& t) { t.TypeWorkedExample(), t.Calculate(), t.Print(); },
         {true},
         "48,070 т."},
        {"a fault keeps nothing",
         [](JournalSituations& t) { t.TypeWorkedExample(), t.Type(45, QStringLiteral("0")), t.Calculate(); },
         {},
         nullptr},
        {"a changed input, calculated again",
         [](JournalSituations& t) {
             t.TypeWorkedExample(), t.Calculate(), t.Type(39, QStringLiteral("50")), t.Print();
         },
         {false, true},
         "93,870 т."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TearDown();
        std::error_code error;
        std::filesystem::remove_all(std::filesystem::path(Journal::DefaultFileName()).parent_path(), error);
        SetUp();
        errors.clear();
        row.Steps(*this);
        const std::vector<JournalRecord> records = Records();
        std::vector<bool> printed;
        for (const JournalRecord& r : records) printed.push_back(r.Printed);
        EXPECT_EQ(printed, row.Printed);
        if (records.empty())
            continue;
        const JournalRecord& newest = records.back();
        EXPECT_EQ(newest.Shown[JournalIndex(WeightResult::HookLoad)], row.HookLoadShown);
        EXPECT_EQ(newest.Value(WeightInput::KellyWeight), form1->CurrencyEdit(38)->Value());
        EXPECT_EQ(newest.Values[JournalDiameterIndex(1)], 127);
        EXPECT_EQ(QString::fromStdString(newest.DateText), form1->Label14()->text());
        if (newest.Printed) {
            const std::string page(newest.Sheet.begin(), newest.Sheet.end());
            EXPECT_NE(page.find(row.HookLoadShown), std::string::npos);
        }
    }
}

// A record opened from the journal window stands in the main window as it
// was calculated, its results current: ПЕЧАТЬ prints it without a new record.
TEST_F(JournalSituations, AReopenedRecordPrintsAsItWas)
{
    TypeWorkedExample();
    Calculate();
    Type(38, QStringLiteral("5"));
    Calculate();
    ASSERT_EQ(Records().size(), 2u);
    QTest::keyClick(form1.get(), Qt::Key_J, Qt::ControlModifier);
    TJournalWindow* window = form1->JournalWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    // The older record is the second row (newest first); Enter opens it.
    window->Table()->setCurrentIndex(window->Model().index(1, 0));
    QApplication::setActiveWindow(window);
    window->Table()->setFocus();
    QTest::keyClick(window->Table(), Qt::Key_Return);
    EXPECT_EQ(form1->CurrencyEdit(38)->DisplayedText(), QStringLiteral("2,50 т."));
    EXPECT_EQ(form1->CurrencyEdit(35)->DisplayedText(), QStringLiteral("48,070 т."));
    EXPECT_TRUE(form1->ResultsCurrent());
    const QStringList texts = Print();
    EXPECT_TRUE(texts.contains(QStringLiteral("48,070 т.")));
    const std::vector<JournalRecord> records = Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[0].Printed);
    EXPECT_FALSE(records[1].Printed);
    EXPECT_TRUE(errors.empty());
}

// A printed record's sheet comes back exactly as printed; one never printed
// gets a sheet made from it, which says so.
TEST_F(JournalSituations, ARecordsSheetIsShownAgain)
{
    TypeWorkedExample();
    const QStringList printed = Print();
    Calculate();
    const std::vector<JournalRecord> records = Records();
    ASSERT_EQ(records.size(), 2u);
    struct Row {
        const char* Name;
        JournalRecord Record;
        std::function<void(const QStringList&)> Check;
    };
    const std::vector<Row> rows{
        {"printed", records[0], [&](const QStringList& texts) { EXPECT_EQ(texts, printed); }},
        {"never printed", records[1],
         [&](const QStringList& texts) {
             EXPECT_TRUE(texts.contains(QStringLiteral("48,070 т.")));
             EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                                     [](const QString& t) { return t.contains(QStringLiteral("по журналу")); }));
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const QStringList texts = PageTextsShownBy([&] { form1->ShowRecordSheet(row.Record); });
        ASSERT_FALSE(texts.isEmpty());
        row.Check(texts);
    }
}

// A record's sheet shown from the journal stands in the language it was
// printed in, or for one never printed in the crew's; the next ПЕЧАТЬ prints
// the crew's sheet again, whatever page was shown last.
TEST_F(JournalSituations, ARecordsSheetLeavesTheCrewsSheetAsChosen)
{
    TypeWorkedExample();
    const QStringList printedInRussian = Print();
    Calculate();
    const std::vector<JournalRecord> records = Records();
    ASSERT_EQ(records.size(), 2u);
    // The same numbers as a file's record typed in oilfield units.
    JournalRecord oilfield = records[1];
    oilfield.Units = units::TUnitSystem::Oilfield;
    for (std::string& shown : oilfield.Shown) shown.clear();
    struct Row {
        const char* Name;
        units::TLanguage Language;
        units::TUnitSystem Units;
        JournalRecord Record;
        QStringList Shown;    // among the record's page's texts
        QStringList Printed;  // among the next ПЕЧАТЬ's texts
        QString NotPrinted;   // in none of the next ПЕЧАТЬ's texts
    };
    const Row rows[] = {
        {"a record printed in Russian, English chosen",
         units::TLanguage::English,
         units::TUnitSystem::Oilfield,
         records[0],
         printedInRussian,
         {"DRILL STRING WEIGHT", "Kelly weight", "Weight per ft"},
         "Вес квадрата"},
        {"a record never printed, English chosen",
         units::TLanguage::English,
         units::TUnitSystem::Metric,
         records[1],
         {"DRILL STRING WEIGHT", "Kelly weight", "48,070 т."},
         {"DRILL STRING WEIGHT", "Weight per m"},
         "Вес квадрата"},
        {"a metric record never printed, Russian oilfield chosen: its sheet in metric",
         units::TLanguage::Russian,
         units::TUnitSystem::Oilfield,
         records[1],
         {"ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА", "Вес 1 метра", "48,070 т."},
         {"Вес квадрата", "Вес 1 фута"},
         "Вес 1 метра"},
        {"an oilfield record, Russian metric chosen: its sheet in oilfield units",
         units::TLanguage::Russian,
         units::TUnitSystem::Metric,
         oilfield,
         {"ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА", "Вес 1 фута"},
         {"Вес 1 метра"},
         "Вес 1 фута"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        form2->SetDisplay(row.Language, row.Units);
        const QStringList shown = PageTextsShownBy([&] { form1->ShowRecordSheet(row.Record); });
        for (const QString& text : row.Shown)
            EXPECT_TRUE(shown.contains(text)) << text.toStdString() << " not among " << shown.join(" | ").toStdString();
        if (row.Language == units::TLanguage::English && !row.Record.Printed) {
            EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const QString& t) {
                return t.contains(QStringLiteral("(sheet made from the journal"));
            })) << shown.join(" | ").toStdString();
        }
        const QStringList printed = Print();
        for (const QString& text : row.Printed) EXPECT_TRUE(printed.contains(text)) << text.toStdString();
        EXPECT_FALSE(printed.contains(row.NotPrinted)) << printed.join(" | ").toStdString();
    }
    EXPECT_TRUE(errors.empty());
}

// A journal that cannot be written costs the record and one message for the
// whole run; the results and the sheet are there as always.
TEST_F(JournalSituations, UnwritableJournalCostsOneMessage)
{
    const std::filesystem::path folder = std::filesystem::path(Journal::DefaultFileName()).parent_path();
    std::filesystem::create_directories(folder.parent_path());
    test::WriteBytes(folder, std::string("not a folder"));
    TypeWorkedExample();
    Calculate();
    Settle();
    EXPECT_EQ(form1->CurrencyEdit(35)->DisplayedText(), QStringLiteral("48,070 т."));
    Type(39, QStringLiteral("50"));
    const QStringList texts = Print();
    Settle();
    EXPECT_TRUE(texts.contains(QStringLiteral("93,870 т.")));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("not kept in the journal"), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find(folder.string()), std::string::npos) << errors[0];
}

// The journal is in the main window's window menu, below the usual entries.
TEST_F(JournalSituations, TheWindowMenuOpensTheJournal)
{
    TWindowFrame* frame = TWindowFrame::Of(form1.get());
    ASSERT_NE(frame, nullptr);
    frame->ShowSystemMenu(form1->mapToGlobal(QPoint(0, 0)));
    QMenu* menu = frame->SystemMenu();
    ASSERT_NE(menu, nullptr);
    QAction* journal = nullptr;
    for (QAction* action : menu->actions())
        if (action->objectName() == QStringLiteral("JournalAction"))
            journal = action;
    ASSERT_NE(journal, nullptr);
    // After the usual entries, which end with closing the window.
    const QList<QAction*> actions = menu->actions();
    const auto close = std::find_if(actions.begin(), actions.end(), [](QAction* action) {
        return action->text().startsWith(QStringLiteral("Закрыть"));
    });
    ASSERT_NE(close, actions.end());
    EXPECT_GT(actions.indexOf(journal), actions.indexOf(*close));
    menu->close();
    journal->trigger();
    ASSERT_NE(form1->JournalWindow(), nullptr);
    EXPECT_TRUE(form1->JournalWindow()->isVisible());
}

}  // namespace
}  // namespace dw

namespace dw {
namespace {

// The worked example as an oilfield crew typed it, as its record came
// from a file: numbers only, in its own units.
JournalRecord OilfieldRecord()
{
    JournalRecord record;
    record.DateTime = "2026-12-07T14:20:00";
    record.Units = units::TUnitSystem::Oilfield;
    const Extended inputs[] = {8.00L, 35.00L, 6.50L, 4.50L, 3.20L, 0.80L, 10.50L, 65.50L};
    for (std::size_t i = 0; i < 8; ++i) record.Values[i] = inputs[i];
    record.Values[kJournalFirstLength] = 10000.0L;
    record.Values[kJournalFirstLength + 1] = 500.0L;
    record.Values[kJournalFirstDiameter] = 6.625L;
    record.Values[kJournalFirstMetreWeight] = 19.50L;
    record.Values[kJournalFirstMetreWeight + 1] = 91.00L;
    const Extended results[] = {58.000L, 240.500L, 201.950L, 259.950L, 10500.0L};
    for (std::size_t i = 0; i < 5; ++i) record.Values[kJournalFirstResult + i] = results[i];
    return record;
}

// An oilfield record opened in the metric window stands in metres, tonnes
// and g/cm3, each value as its field holds it, never its feet as metres;
// its converted results wait for РАСЧЕТ, and the journal window says so.
TEST_F(JournalSituations, ARecordInTheOtherSystemOpensConverted)
{
    const std::int64_t id = *form1->Journal().Keep(OilfieldRecord());
    form1->ShowJournal();
    TJournalWindow* window = form1->JournalWindow();
    window->SelectRecord(id);
    QApplication::setActiveWindow(window);
    window->Table()->setFocus();
    QTest::keyClick(window->Table(), Qt::Key_Return);
    struct Row {
        const char* Name;
        int Field;
        const char* Shown;
    };
    const std::vector<Row> rows{
        {"500.0 ft of section 2", 10, "152,4 м."},
        {"6.625 in of diameter", 17, "168 мм."},
        {"19.50 lb/ft", 25, "29,02 кг."},
        {"8.00 klb of kelly", 38, "3,63 т."},
        {"10.50 ppg of mud", 44, "1,26 г/см3."},
        {"65.50 ppg of steel", 45, "7,85 г/см3."},
        {"a hook load of 259.950 klb", 35, "117,911 т."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(form1->CurrencyEdit(row.Field)->DisplayedText(), QString::fromUtf8(row.Shown));
    }
    EXPECT_EQ(form1->CurrencyEdit(9)->EditTextValue(), 3048.0L);
    EXPECT_FALSE(form1->ResultsCurrent());
    EXPECT_TRUE(window->Status()->text().contains(QStringLiteral("oilfield units")))
        << window->Status()->text().toStdString();
    EXPECT_FALSE(form1->RecordShown());
}

// A record never printed gets its sheet made from its numbers, each with
// its own unit: an oilfield record's in ft, in, lb/ft, klb and ppg.
TEST_F(JournalSituations, AnOilfieldRecordsSheetShowsItsUnits)
{
    const auto word = [](units::TFieldKind kind) {
        return QString::fromStdString(Localized(MessageText(units::UnitOf(kind, units::TUnitSystem::Oilfield).Word)));
    };
    const QStringList texts = PageTextsShownBy([&] { form1->ShowRecordSheet(OilfieldRecord()); });
    struct Row {
        const char* Name;
        QString Text;
    };
    const std::vector<Row> rows{
        {"diameter", QStringLiteral("6,625 ") + word(units::TFieldKind::Diameter)},
        {"weight of a foot", QStringLiteral("19,50 ") + word(units::TFieldKind::MetreWeight)},
        {"mud", QStringLiteral("10,50 ") + word(units::TFieldKind::Gravity)},
        {"hook load", QStringLiteral("259,950 ") + word(units::TFieldKind::ResultWeight)},
        {"block", QStringLiteral("35,00 ") + word(units::TFieldKind::EquipmentWeight)},
        {"section 2 length", QStringLiteral("500,0 ") + word(units::TFieldKind::Length)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_TRUE(texts.contains(row.Text))
            << row.Text.toStdString() << " not among " << texts.join(QStringLiteral(" | ")).toStdString();
    }
}

}  // namespace
}  // namespace dw

namespace dw {
namespace {

// A crew working in oilfield units calculates: the journal keeps the record
// in their units, the journal window shows it in them beside a metric one,
// and the plot draws both in the window's units.
TEST_F(JournalSituations, AnOilfieldCalculationIsKeptInItsUnits)
{
    TypeWorkedExample();
    Calculate();  // a metric record first
    units::TDisplaySettings oilfield;
    oilfield.Units = units::TUnitSystem::Oilfield;
    form1->ChangeDisplay(oilfield);
    const std::pair<int, const char*> inputs[] = {
        {38, "8"},    {39, "35"},  {40, "6,5"}, {41, "4,5"},  {42, "3,2"},  {43, "0,8"},   {9, "10000"},
        {25, "19,5"}, {10, "500"}, {26, "91"},  {44, "10,5"}, {45, "65,5"}, {17, "6,625"},
    };
    for (const auto& [field, text] : inputs) Type(field, QString::fromUtf8(text));
    Calculate();
    const std::vector<JournalRecord> records = Records();
    ASSERT_EQ(records.size(), 2u);
    const JournalRecord& kept = records[1];
    const auto word = [](units::TFieldKind kind, units::TUnitSystem system) {
        return QString::fromStdString(Localized(MessageText(units::UnitOf(kind, system).Word)));
    };
    struct Row {
        const char* Name;
        std::size_t Index;
        Extended Value;
    };
    const std::vector<Row> rows{
        {"section 1 length, ft", JournalIndex(WeightInput::SectionLength1), 10000},
        {"diameter, in", JournalDiameterIndex(1), 6.625L},
        {"hook load, klb", JournalIndex(WeightResult::HookLoad), 259.95L},
        {"total length, ft", JournalIndex(WeightResult::TotalLength), 10500},
    };
    EXPECT_EQ(kept.Units, units::TUnitSystem::Oilfield);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(kept.Values[row.Index], row.Value);
    }
    form1->ShowJournal();
    TJournalModel& model = form1->JournalWindow()->Model();
    const QLocale locale;
    const int newest = model.RowOf(kept.Id), older = model.RowOf(records[0].Id);
    EXPECT_EQ(model.data(model.index(newest, TJournalModel::HookLoad)).toString(),
              locale.toString(259.95, 'f', 3) + QLatin1Char(' ') +
                  word(units::TFieldKind::ResultWeight, units::TUnitSystem::Oilfield));
    EXPECT_EQ(model.data(model.index(older, TJournalModel::HookLoad)).toString(),
              locale.toString(48.07, 'f', 3) + QLatin1Char(' ') +
                  word(units::TFieldKind::ResultWeight, units::TUnitSystem::Metric));
    EXPECT_EQ(
        form1->JournalWindow()->Plot()->Captions().back(),
        TJournalPlot::tr("Total length, %1").arg(word(units::TFieldKind::ResultLength, units::TUnitSystem::Oilfield)));
}

}  // namespace
}  // namespace dw
