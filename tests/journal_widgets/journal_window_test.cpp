// SPDX-License-Identifier: MIT
#include "journal/widgets/journal_window.h"
#include "common/error_display.h"
#include "journal/widgets/crew_journal.h"
#include "journal/widgets/journal_model.h"
#include "journal/widgets/journal_plot.h"
#include "tests/support/profile_sandbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace dw {
namespace {

JournalRecord Measurement(const char* dateTime, double length, double hookLoad, const char* note)
{
    JournalRecord record;
    record.DateTime = dateTime;
    for (std::size_t i = 0; i < kJournalValueCount; ++i) record.Values[i] = 1;
    record.Values[JournalIndex(WeightResult::TotalLength)] = length;
    record.Values[JournalIndex(WeightResult::HookLoad)] = hookLoad;
    record.Note = note;
    return record;
}

// Types text as a person would, Cyrillic letters included.
void Type(QWidget* widget, const QString& text)
{
    for (QChar ch : text) QTest::sendKeyEvent(QTest::KeyAction::Click, widget, Qt::Key_unknown, QString(ch), {});
}

struct JournalWindowTest : ::testing::Test {
    test::ProfileSandbox sandbox;
    std::vector<std::string> errors;
    ErrorDisplayHandler previous;
    std::unique_ptr<TCrewJournal> journal;
    std::unique_ptr<TJournalWindow> window;

    void SetUp() override
    {
        previous = SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
        journal = std::make_unique<TCrewJournal>();
        for (const JournalRecord& record : {Measurement("2026-12-01T08:00:00", 1000, 40.5, "скважина 7, смена А"),
                                            Measurement("2026-12-02T09:00:00", 1500, 55.25, "well 8"),
                                            Measurement("2026-12-03T10:00:00", 2000, 70.125, "скважина 7, смена Б"),
                                            Measurement("2026-12-05T11:00:00", 2500, 84.75, "")})
            journal->Keep(record);
        window = std::make_unique<TJournalWindow>(*journal);
        window->show();
        window->Reload();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        window.reset();
        journal.reset();
        SetErrorDisplay(previous);
    }
    std::vector<std::string> ShownDates() const
    {
        std::vector<std::string> dates;
        for (int r = 0; r < window->Model().rowCount(); ++r)
            dates.push_back(window->Model().Summary(r).DateTime.substr(0, 10));
        return dates;
    }
};

// The crew narrows the journal down by typing a date range and words of the
// note; newest first always.
TEST_F(JournalWindowTest, FilterByDatesAndNoteText)
{
    struct Row {
        const char* Name;
        QDate From, To;
        QString Note;
        std::vector<std::string> Shown;
    };
    const std::vector<Row> rows{
        {"everything, newest first", {}, {}, {}, {"2026-12-05", "2026-12-03", "2026-12-02", "2026-12-01"}},
        {"note words in any case", {}, {}, QStringLiteral("СКВАЖИНА 7"), {"2026-12-03", "2026-12-01"}},
        {"from a date on", QDate(2026, 12, 2), {}, {}, {"2026-12-05", "2026-12-03", "2026-12-02"}},
        {"up to a date", {}, QDate(2026, 12, 2), {}, {"2026-12-02", "2026-12-01"}},
        {"range and words", QDate(2026, 12, 2), QDate(2026, 12, 4), QStringLiteral("смена"), {"2026-12-03"}},
        {"nothing matches", {}, {}, QStringLiteral("куст"), {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        window->NoteFilter()->clear();
        window->FromDate()->setDate(row.From.isValid() ? row.From : window->FromDate()->minimumDate());
        window->ToDate()->setDate(row.To.isValid() ? row.To : window->ToDate()->minimumDate());
        window->NoteFilter()->setFocus();
        Type(window->NoteFilter(), row.Note);
        EXPECT_EQ(ShownDates(), row.Shown);
        EXPECT_TRUE(window->Status()->text().contains(QString::number(row.Shown.size())));
    }
}

TEST_F(JournalWindowTest, ColumnsSortByAClickOnTheirHeader)
{
    struct Row {
        const char* Name;
        int Column;
        int Clicks;
        std::vector<std::string> Shown;
    };
    const std::vector<Row> rows{
        {"hook load, smallest first",
         TJournalModel::HookLoad,
         1,
         {"2026-12-01", "2026-12-02", "2026-12-03", "2026-12-05"}},
        {"hook load again, largest first",
         TJournalModel::HookLoad,
         1,
         {"2026-12-05", "2026-12-03", "2026-12-02", "2026-12-01"}},
        {"note", TJournalModel::Note, 1, {"2026-12-05", "2026-12-02", "2026-12-01", "2026-12-03"}},
    };
    QHeaderView* header = window->Table()->horizontalHeader();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        for (int i = 0; i < row.Clicks; ++i) {
            const QPoint at(header->sectionViewportPosition(row.Column) + header->sectionSize(row.Column) / 2,
                            header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        }
        EXPECT_EQ(ShownDates(), row.Shown);
    }
}

// The indicator's reading is typed beside the record; the difference from
// the expected hook load follows. What is no reading is refused with why.
TEST_F(JournalWindowTest, IndicatorReadingTypedShowsTheDifference)
{
    struct Row {
        const char* Name;
        QString Typed;
        QString Indicator;  // the table's cells after Enter
        QString Difference;
        const char* Error;  // nullptr for none
    };
    const QLocale locale;
    const QString t = QStringLiteral(" t");
    const std::vector<Row> rows{
        {"a reading", QStringLiteral("84"), locale.toString(84.0, 'f', 2) + t, locale.toString(0.75, 'f', 3) + t,
         nullptr},
        {"letters", QStringLiteral("abc"), locale.toString(84.0, 'f', 2) + t, locale.toString(0.75, 'f', 3) + t,
         "not an indicator reading"},
        {"below zero", QStringLiteral("-5"), locale.toString(84.0, 'f', 2) + t, locale.toString(0.75, 'f', 3) + t,
         "from 0 to 10000 t"},
        {"erased", QString(), QString(), QString(), nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        errors.clear();
        window->Table()->setCurrentIndex(window->Model().index(0, 0));  // the newest
        QLineEdit* edit = window->IndicatorEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, row.Typed);
        QTest::keyClick(edit, Qt::Key_Return);
        const int newest = window->Model().RowOf(window->CurrentId());
        ASSERT_EQ(newest, 0);
        EXPECT_EQ(window->Model().data(window->Model().index(0, TJournalModel::Indicator)).toString(), row.Indicator);
        EXPECT_EQ(window->Model().data(window->Model().index(0, TJournalModel::Difference)).toString(), row.Difference);
        if (row.Error) {
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_NE(errors[0].find(row.Error), std::string::npos) << errors[0];
        } else {
            EXPECT_TRUE(errors.empty());
        }
        // Kept in the file, not only on the screen.
        const std::optional<JournalRecord> kept = journal->Store().Read(window->CurrentId());
        EXPECT_EQ(kept->Indicator.has_value(), !row.Indicator.isEmpty());
    }
}

TEST_F(JournalWindowTest, NoteTypedIsKept)
{
    window->Table()->setCurrentIndex(window->Model().index(1, 0));
    const std::int64_t id = window->CurrentId();
    window->NoteEdit()->setFocus();
    window->NoteEdit()->selectAll();
    Type(window->NoteEdit(), QStringLiteral("куст 4, глубина 2000"));
    QTest::keyClick(window->NoteEdit(), Qt::Key_Return);
    EXPECT_EQ(journal->Store().Read(id)->Note, "куст 4, глубина 2000");
}

// Delete asks first; only a yes deletes.
TEST_F(JournalWindowTest, DeleteAsksFirst)
{
    struct Row {
        const char* Name;
        QMessageBox::StandardButton Answer;
        std::size_t Left;
    };
    const std::vector<Row> rows{{"no", QMessageBox::No, 4}, {"yes", QMessageBox::Yes, 3}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        QApplication::setActiveWindow(window.get());
        window->Table()->setFocus();
        window->Table()->setCurrentIndex(window->Model().index(0, 0));
        bool asked = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            asked = true;
            box->button(row.Answer)->click();
        });
        QTest::keyClick(window->Table(), Qt::Key_Delete);
        EXPECT_TRUE(asked);
        EXPECT_EQ(journal->Store().Count(), row.Left);
        EXPECT_EQ(static_cast<std::size_t>(window->Model().rowCount()), row.Left);
    }
}

// The point under the pointer names its record, and a click opens it.
TEST_F(JournalWindowTest, PlotPointNamesAndOpensItsRecord)
{
    window->resize(900, 700);
    QApplication::processEvents();
    struct Row {
        const char* Name;
        int Axis;
        const char* DateTime;
    };
    const std::vector<Row> rows{{"against length, oldest", 0, "2026-12-01T08:00:00"},
                                {"against length, newest", 0, "2026-12-05T11:00:00"},
                                {"against date", 1, "2026-12-02T09:00:00"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        window->PlotAxis()->setCurrentIndex(row.Axis);
        std::int64_t id = -1;
        for (int r = 0; r < window->Model().rowCount(); ++r)
            if (window->Model().Summary(r).DateTime == row.DateTime)
                id = window->Model().IdAt(r);
        TJournalPlot* plot = window->Plot();
        const QPoint at = plot->PointOf(id);
        EXPECT_EQ(plot->RecordAt(at + QPoint(2, -1)), id);
        QSignalSpy opened(window.get(), &TJournalWindow::OpenRecordRequested);
        QTest::mouseClick(plot, Qt::LeftButton, {}, at);
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(opened[0][0].value<JournalRecord>().DateTime, row.DateTime);
    }
}

// Tab goes round every control of the window and comes back, the table
// included, without getting caught in it.
TEST_F(JournalWindowTest, TabVisitsEveryControl)
{
    QApplication::setActiveWindow(window.get());
    window->FromDate()->setFocus();
    std::vector<QString> visited;
    for (int i = 0; i < 40; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        visited.push_back(focus->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
        if (QApplication::focusWidget() == window->FromDate())
            break;
    }
    for (const char* name :
         {"FromDate", "ToDate", "NoteFilter", "JournalTable", "PlotAxis", "IndicatorReading", "RecordNote",
          "OpenRecord", "ShowSheet", "DeleteRecord", "ExportJournal", "ImportJournal", "CloseJournal"})
        EXPECT_NE(std::find(visited.begin(), visited.end(), QString::fromLatin1(name)), visited.end())
            << name << " not among "
            << QStringList(visited.begin(), visited.end()).join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(QApplication::focusWidget(), window->FromDate());
}

TEST_F(JournalWindowTest, EveryControlIsNamedForScreenReaders)
{
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(window.get()) ||
            widget->parentWidget() == nullptr || qobject_cast<QAbstractButton*>(widget) != nullptr)
            continue;
        if (widget->inherits("QScrollBar") || widget->inherits("QHeaderView") || widget->inherits("QToolButton"))
            continue;
        const bool named = !widget->accessibleName().isEmpty() || !widget->property("text").toString().isEmpty();
        EXPECT_TRUE(named) << widget->metaObject()->className() << " " << widget->objectName().toStdString();
    }
}

}  // namespace
}  // namespace dw

namespace dw {
namespace {

// A journal plainly damaged is said at the start of a run and set aside
// unchanged; a sound one, or none yet, says nothing and is not touched.
TEST(CrewJournal, DamagedFileIsSaidAtStart)
{
    struct Row {
        const char* Name;
        std::optional<std::string> Bytes;  // none: no file
        bool Said;
    };
    const std::vector<Row> rows{
        {"no journal yet", std::nullopt, false},
        {"an empty file", std::string(), false},
        {"a text file", std::string("well 7; depth 1500\n"), true},
        {"a short file", std::string("SQLite"), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        test::ProfileSandbox sandbox;
        std::vector<std::string> errors;
        const ErrorDisplayHandler previous =
            SetErrorDisplay([&](const std::string& message) { errors.push_back(message); });
        const std::filesystem::path file = sandbox.JournalFile();
        if (row.Bytes) {
            std::filesystem::create_directories(file.parent_path());
            test::WriteBytes(file, *row.Bytes);
        }
        {
            TCrewJournal journal;
            journal.CheckAtStart();
            QApplication::processEvents();
        }
        SetErrorDisplay(previous);
        ASSERT_EQ(errors.size(), row.Said ? 1u : 0u);
        if (row.Said) {
            EXPECT_NE(errors[0].find("was damaged"), std::string::npos) << errors[0];
            EXPECT_FALSE(std::filesystem::exists(file));
        } else {
            EXPECT_EQ(std::filesystem::exists(file), row.Bytes.has_value());
        }
    }
}

}  // namespace
}  // namespace dw

namespace dw {
namespace {

// A journal a crew kept in both systems: a metric measurement and the same
// string measured in oilfield units (3,048.0 m is 10,000.0 ft; 100.000 t
// is 220.462 klb, to the third decimal).
struct MixedJournalTest : ::testing::Test {
    test::ProfileSandbox sandbox;
    std::unique_ptr<TCrewJournal> journal;
    std::unique_ptr<TJournalWindow> window;
    std::int64_t metricId = 0, oilfieldId = 0;

    void SetUp() override
    {
        journal = std::make_unique<TCrewJournal>();
        JournalRecord metric = Measurement("2026-12-01T08:00:00", 3048.0, 100.0, "metric crew");
        metric.Indicator = 99.5L;
        JournalRecord oilfield = Measurement("2026-12-02T08:00:00", 10000.0, 220.462, "oilfield crew");
        oilfield.Units = units::TUnitSystem::Oilfield;
        oilfield.Indicator = 219.35L;
        metricId = *journal->Keep(metric);
        oilfieldId = *journal->Keep(oilfield);
        window = std::make_unique<TJournalWindow>(*journal);
        window->resize(900, 700);
        window->show();
        window->Reload();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        window.reset();
        journal.reset();
    }
    QString Cell(std::int64_t id, int column) const
    {
        return window->Model().data(window->Model().index(window->Model().RowOf(id), column)).toString();
    }
};

// Each record reads in the units it was typed in: every number with its
// unit word, and the units said.
TEST_F(MixedJournalTest, EachRecordShowsItsOwnUnits)
{
    const QLocale locale;
    struct Row {
        const char* Name;
        int Column;
        QString Metric, Oilfield;
    };
    const std::vector<Row> rows{
        {"units", TJournalModel::Units, QStringLiteral("metric"), QStringLiteral("oilfield")},
        {"total length", TJournalModel::TotalLength, locale.toString(3048.0, 'f', 1) + QStringLiteral(" m"),
         locale.toString(10000.0, 'f', 1) + QStringLiteral(" ft")},
        {"hook load", TJournalModel::HookLoad, locale.toString(100.0, 'f', 3) + QStringLiteral(" t"),
         locale.toString(220.462, 'f', 3) + QStringLiteral(" klb")},
        {"indicator", TJournalModel::Indicator, locale.toString(99.5, 'f', 2) + QStringLiteral(" t"),
         locale.toString(219.35, 'f', 2) + QStringLiteral(" klb")},
        {"difference", TJournalModel::Difference, locale.toString(0.5, 'f', 3) + QStringLiteral(" t"),
         locale.toString(1.112, 'f', 3) + QStringLiteral(" klb")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(Cell(metricId, row.Column), row.Metric);
        EXPECT_EQ(Cell(oilfieldId, row.Column), row.Oilfield);
    }
    // The reading is typed in the units of the record it belongs to.
    for (const auto& [id, label] : {std::pair{metricId, QStringLiteral("&Indicator reading, t:")},
                                    std::pair{oilfieldId, QStringLiteral("&Indicator reading, klb:")}}) {
        window->SelectRecord(id);
        EXPECT_EQ(window->IndicatorLabel()->text(), label);
    }
}

// The plot draws every record in the window's units: the same string
// measured in metres and in feet stands at one point, and the legend and
// axis name the units and how many records were converted.
TEST_F(MixedJournalTest, PlotDrawsMixedRecordsInOneSystem)
{
    struct Row {
        const char* Name;
        units::TUnitSystem Window;
        QStringList Captions;
    };
    const std::vector<Row> rows{
        {"a metric window",
         units::TUnitSystem::Metric,
         {QStringLiteral("Expected hook load, t"), QStringLiteral("Indicator reading, t"),
          QStringLiteral("1 record(s) typed in oilfield units, converted"), QStringLiteral("Total length, m")}},
        {"an oilfield window",
         units::TUnitSystem::Oilfield,
         {QStringLiteral("Expected hook load, klb"), QStringLiteral("Indicator reading, klb"),
          QStringLiteral("1 record(s) typed in metric units, converted"), QStringLiteral("Total length, ft")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        window->SetUnits(row.Window);
        window->PlotAxis()->setCurrentIndex(0);
        TJournalPlot* plot = window->Plot();
        EXPECT_EQ(plot->Captions(), row.Captions);
        const QPoint metric = plot->PointOf(metricId), oilfield = plot->PointOf(oilfieldId);
        EXPECT_LE((metric - oilfield).manhattanLength(), 2)
            << metric.x() << "," << metric.y() << " against " << oilfield.x() << "," << oilfield.y();
    }
}

}  // namespace
}  // namespace dw
