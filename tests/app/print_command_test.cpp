// SPDX-License-Identifier: MIT
// The print command as a crew member uses it: values typed with the keys,
// РАСЧЕТ, ПЕЧАТЬ, then the preview's buttons while the main window waits.

#include "app/form1.h"
#include "app/sheet_holder.h"
#include "common/error_display.h"
#include "decor/transparent_button.h"
#include "numeric/core/date_time.h"
#include "numeric/core/date_time_format.h"
#include "numeric/core/locale_formats.h"
#include "numeric/locale/load_locale_formats.h"
#include "numeric/widgets/currency_edit.h"
#include "report/generation/printer_profile.h"
#include "report/generation/report.h"
#include "report/preview/preview.h"
#include "report/preview/preview_dialogs.h"
#include "report/preview/standard_preview.h"
#include "tests/app/program_windows.h"
#include "tests/support/open_preview.h"
#include "tests/support/page_records.h"
#include "tests/support/printer_test_support.h"
#include "tests/support/private_spooler.h"
#include "tests/support/qt_files.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dw {
namespace {

using test::OpenPreview;

QStringList PageTexts(TVpStandardPreview& preview)
{
    QStringList texts;
    if (const auto page = preview.VpPreview()->VpPrinter()->GetPage(1))
        for (const test::PageText& text : test::ReadPage(*page).Texts) texts << text.Text;
    return texts;
}

class PrintCommand : public test::ProgramWindows {
protected:
    void SetUp() override
    {
        LoadLocaleFormats(QLocale(QLocale::Russian, QLocale::Russia));
        ProgramWindows::SetUp();
    }

    // Clicks a field, types the text key by key and leaves with Tab.
    void Type(int field, const QString& text, bool leave = true)
    {
        TCurrencyEdit* edit = form1->CurrencyEdit(field);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::KeyAction::Click, edit, Qt::Key_unknown, c, Qt::NoModifier);
        if (leave)
            QTest::keyClick(edit, Qt::Key_Tab);
    }

    void TypeWorkedExample(bool calculate = true)
    {
        const std::pair<int, const char*> inputs[] = {
            {38, "2,5"}, {39, "4,2"}, {40, "1,8"}, {41, "1,3"},  {42, "1,1"}, {43, "0,2"},
            {9, "1000"}, {25, "29"},  {10, "150"}, {26, "97,6"}, {44, "1,2"}, {45, "7,85"},
        };
        for (const auto& [field, text] : inputs) Type(field, QString::fromUtf8(text));
        if (calculate)
            QTest::mouseClick(form1->BitBtn1(), Qt::LeftButton);
    }

    // Presses Ctrl+P in the focused field instead of clicking ПЕЧАТЬ.
    bool printByKey = false;

    // Clicks ПЕЧАТЬ; the command waits for its preview, so what is to be
    // done in the preview runs from inside that wait and ends by closing it.
    void PrintAndThen(const std::function<void(TVpStandardPreview&)>& inPreview)
    {
        bool ran = false;
        // Looks without blocking: the click may still be on its way when the
        // first look comes.
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            TVpStandardPreview* preview = OpenPreview();
            if (preview == nullptr || preview->Status()->text() != QStringLiteral("Page 1 of 1"))
                return;
            poll.stop();
            inPreview(*preview);
            ran = true;
            if (TVpStandardPreview* open = OpenPreview())
                QTest::mouseClick(open->Exit(), Qt::LeftButton);
        });
        poll.start();
        if (printByKey)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
        else
            QTest::mouseClick(form1->TransparentButton1(), Qt::LeftButton);
        poll.stop();
        EXPECT_TRUE(ran) << "the preview never showed \"Page 1 of 1\"";
        EXPECT_EQ(OpenPreview(), nullptr);
    }

    ScopedLocaleFormats m_keep{LocaleFormats()};
};

TEST_F(PrintCommand, TheWorkedExamplePrintsSavesLoadsExportsAndPrints)
{
    TypeWorkedExample();
    ASSERT_TRUE(errors.empty()) << errors.front();
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("sheet.VPR"));
    const QString text = dir.filePath(QStringLiteral("sheet.txt"));
    const std::string spooler = test::StartPrivateSpooler();
    const std::size_t printedBefore = test::PrintedFiles().size();

    PrintAndThen([&](TVpStandardPreview& preview) {
        const QStringList texts = PageTexts(preview);
        EXPECT_EQ(texts.size(), 59);
        for (const char* shown : {"11,100 т.", "43,640 т.", "36,970 т.", "48,070 т.", "1\u00A0150,0 м.", "2,50 т.",
                                  "7,85 г/см3.", "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"})
            EXPECT_TRUE(texts.contains(QString::fromUtf8(shown))) << shown;
        EXPECT_TRUE(texts.contains(QString::fromStdString(DateToText(CurrentDate()))));

        // Save, then the text export, through the save dialog's two entries.
        SetPreviewFileDialog([&](const TVpFileDialogRequest& request) {
            EXPECT_EQ(request.Filter,
                      QStringLiteral("Vellumprint file(*.VPR)|*.VPR|Text file (*.TXT)|*.TXT|PDF file (*.pdf)|*.pdf"));
            static int calls = 0;
            return std::optional<TVpFileDialogChoice>(++calls % 2 == 1 ? TVpFileDialogChoice{saved, 1}
                                                                       : TVpFileDialogChoice{text, 2});
        });
        QTest::mouseClick(preview.Save(), Qt::LeftButton);
        QTest::mouseClick(preview.Save(), Qt::LeftButton);

        if (spooler.empty())
            QTest::mouseClick(preview.Print(), Qt::LeftButton);

        SetPreviewFileDialog([&](const TVpFileDialogRequest&) {
            return std::optional<TVpFileDialogChoice>(TVpFileDialogChoice{saved, 1});
        });
        QTest::mouseClick(preview.Load(), Qt::LeftButton);
        EXPECT_EQ(preview.Status()->text(), QStringLiteral("Page 1 of 1"));
        EXPECT_TRUE(PageTexts(preview).contains(QStringLiteral("11,100 т.")));
    });
    EXPECT_TRUE(errors.empty()) << errors.front();

    // The saved report reads in the companion tool.
    const test::CommandRun info = test::RunCommand(QStringLiteral(DW_VPRTOOL), {QStringLiteral("info"), saved}, 30000);
    EXPECT_TRUE(info.Finished && info.ExitCode == 0) << info.Err.toStdString();
    const test::CommandRun png = test::RunCommand(
        QStringLiteral(DW_VPRTOOL),
        {QStringLiteral("png"), saved, QStringLiteral("-o"), dir.filePath(QStringLiteral("page.png"))}, 30000);
    EXPECT_TRUE(png.Finished && png.ExitCode == 0) << png.Err.toStdString();

    const QString lines = QString::fromUtf8(test::ReadAll(text));
    EXPECT_TRUE(lines.contains(QStringLiteral("Вес талевой системы")));
    EXPECT_TRUE(lines.contains(QStringLiteral("11,100 т.")));

    if (!spooler.empty()) {
        std::cout << "[  NOTE    ] printing not checked: " << spooler << "\n";
        return;
    }
    // The queue's PDF backend redraws the job through PostScript, which
    // leaves its text unreadable to a text extractor; what it received is
    // checked by its pages instead.
    std::optional<std::map<std::string, std::string>> pdf;
    const bool arrived = test::WaitFor(
        [&] {
            const auto files = test::PrintedFiles();
            if (files.size() <= printedBefore)
                return false;
            pdf = test::PdfInfo(files.back());
            return pdf.has_value() && pdf->count("Pages") != 0;
        },
        std::chrono::seconds(120));
    ASSERT_TRUE(arrived) << test::SpoolerLogTail();
    EXPECT_EQ(pdf->at("Pages"), "1");
    EXPECT_EQ(pdf->at("Page size").substr(0, 10), "842 x 1191");  // A3
}

// Whatever the crew did since the last РАСЧЕТ, the sheet's results are those
// of the inputs printed beside them. The worked example gives 11,100 /
// 43,640 / 36,970 / 48,070 т.; a travelling block of 50 т. gives 56,900 and
// 93,870 т. Where nothing needed calculating, the focus stays put.
TEST_F(PrintCommand, TheSheetsResultsBelongToItsInputs)
{
    struct Row {
        const char* name;
        std::function<void()> steps;
        std::vector<const char*> printed;  // empty: nothing may be printed
        int focusAfter;                    // the field holding the focus afterwards
    };
    const Row rows[] = {
        {"no calculation since start",
         [this] { TypeWorkedExample(false); },
         {"11,100 т.", "43,640 т.", "36,970 т.", "48,070 т.", "1\u00A0150,0 м."},
         38},
        {"a committed change after РАСЧЕТ",
         [this] { Type(39, QStringLiteral("50")); },
         {"50,00 т.", "56,900 т.", "43,640 т.", "36,970 т.", "93,870 т."},
         38},
        {"a change still being typed",
         [this] { Type(39, QStringLiteral("50"), false); },
         {"50,00 т.", "56,900 т.", "93,870 т."},
         38},
        {"a value typed back to what it was",
         [this] {
             Type(39, QStringLiteral("50"));
             Type(39, QStringLiteral("4,2"));
         },
         {"4,20 т.", "11,100 т.", "48,070 т."},
         40},
        {"a value typed back and not left",
         [this] {
             Type(39, QStringLiteral("50"));
             Type(39, QStringLiteral("4,2"), false);
         },
         {"4,20 т.", "11,100 т.", "48,070 т."},
         39},
        {"a value typed back and not left, printed with Ctrl+P",
         [this] {
             Type(39, QStringLiteral("50"));
             Type(39, QStringLiteral("4,2"), false);
             printByKey = true;
         },
         {"4,20 т.", "11,100 т.", "48,070 т."},
         39},
        {"a change still being typed, printed with Ctrl+P",
         [this] {
             Type(39, QStringLiteral("50"), false);
             printByKey = true;
         },
         {"50,00 т.", "56,900 т.", "93,870 т."},
         38},
        {"a diameter changed", [this] { Type(17, QStringLiteral("127")); }, {"127 мм.", "11,100 т.", "48,070 т."}, 18},
        // The profile keeps what the row before left: another diameter.
        {"a diameter typed and not left",
         [this] { Type(18, QStringLiteral("146"), false); },
         {"146 мм.", "11,100 т.", "48,070 т."},
         18},
        {"a fault during the implicit calculation", [this] { Type(45, QStringLiteral("0")); }, {}, 45},
        {"results current",
         [this] { QTest::mouseClick(form1->CurrencyEdit(9), Qt::LeftButton); },
         {"11,100 т.", "43,640 т.", "36,970 т.", "48,070 т."},
         9},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        errors.clear();
        printByKey = false;
        SetUp();
        if (std::string(row.name) != "no calculation since start")
            TypeWorkedExample();
        ASSERT_TRUE(errors.empty()) << errors.front();
        row.steps();
        if (row.printed.empty()) {
            // A preview that opens all the same is closed, or the click would wait for it.
            EXPECT_FALSE(
                test::PreviewOpenedDuring([this] { QTest::mouseClick(form1->TransparentButton1(), Qt::LeftButton); }));
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_EQ(errors.front(), "Floating point division by zero: enter the specific gravity of the metal");
        } else {
            PrintAndThen([&](TVpStandardPreview& preview) {
                const QStringList texts = PageTexts(preview);
                for (const char* shown : row.printed) EXPECT_TRUE(texts.contains(QString::fromUtf8(shown))) << shown;
            });
            EXPECT_TRUE(errors.empty()) << errors.front();
        }
        EXPECT_EQ(form1->focusWidget(), form1->CurrencyEdit(row.focusAfter));
    }
}

// Which value lands where on the printed sheet, as the sheet was laid out:
// each field's text at its own place (pixels at 96 per inch), the date left
// of the time on the last line. Every field holds a value no other shows, so
// two swapped labels cannot pass.
TEST_F(PrintCommand, EveryFieldPrintsAtItsOwnPlaceAndTheClockOnItsLastLine)
{
    const struct {
        const char* name;
        int field;  // CurrencyEdit<field>
        int left, top;
    } rows[] = {
        {"kelly weight", 38, 208, 97},
        {"travelling block weight", 39, 208, 119},
        {"drilling line weight", 40, 208, 143},
        {"hook weight", 41, 208, 167},
        {"swivel weight", 42, 208, 191},
        {"drilling hose weight", 43, 208, 215},
        {"mud gravity", 44, 208, 238},
        {"metal gravity", 45, 208, 262},
        {"length 1", 9, 304, 97},
        {"length 2", 10, 304, 119},
        {"length 3", 11, 304, 143},
        {"length 4", 12, 304, 167},
        {"length 5", 13, 304, 191},
        {"length 6", 14, 304, 215},
        {"length 7", 15, 304, 238},
        {"length 8", 16, 304, 262},
        {"diameter 1", 17, 400, 97},
        {"diameter 2", 18, 400, 119},
        {"diameter 3", 19, 400, 143},
        {"diameter 4", 20, 400, 167},
        {"diameter 5", 21, 400, 191},
        {"diameter 6", 22, 400, 215},
        {"diameter 7", 23, 400, 238},
        {"diameter 8", 24, 400, 262},
        {"metre weight 1", 25, 496, 96},
        {"metre weight 2", 26, 496, 119},
        {"metre weight 3", 27, 496, 143},
        {"metre weight 4", 28, 496, 167},
        {"metre weight 5", 29, 496, 191},
        {"metre weight 6", 30, 496, 215},
        {"metre weight 7", 31, 496, 238},
        {"metre weight 8", 36, 496, 262},
        {"travelling system weight", 32, 248, 304},
        {"net string weight", 33, 248, 336},
        {"buoyed string weight", 34, 248, 384},
        {"hook load", 35, 248, 431},
        {"total length", 37, 248, 464},
    };
    constexpr QPoint kDate(48, 500), kTime(163, 500);

    // Inputs from their numbers (mud lighter than metal); РАСЧЕТ gives the results.
    constexpr int kResults[] = {32, 33, 34, 35, 37};
    for (const auto& row : rows) {
        if (std::ranges::find(kResults, row.field) != std::end(kResults))
            continue;
        form1->CurrencyEdit(row.field)->SetValue(row.field + row.field / Extended{100});
    }
    QTest::mouseClick(form1->BitBtn1(), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors.front();
    QSet<QString> distinct;
    for (const auto& row : rows) distinct.insert(form1->CurrencyEdit(row.field)->DisplayedText());
    ASSERT_EQ(distinct.size(), std::size(rows)) << "the window must show 37 different texts";

    const QString dateBefore = QString::fromStdString(DateToText(CurrentDate()));
    const QString timeBefore = QString::fromStdString(TimeToText(CurrentTime()));
    std::map<std::pair<int, int>, QString> printed;
    PrintAndThen([&](TVpStandardPreview& preview) {
        if (const auto page = preview.VpPreview()->VpPrinter()->GetPage(1))
            for (const test::PageText& text : test::ReadPage(*page).Texts) printed[{text.X, text.Y}] = text.Text;
    });
    const QString dateAfter = QString::fromStdString(DateToText(CurrentDate()));
    const QString timeAfter = QString::fromStdString(TimeToText(CurrentTime()));
    ASSERT_TRUE(errors.empty()) << errors.front();

    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto at = printed.find({row.left, row.top});
        ASSERT_NE(at, printed.end()) << "nothing printed at " << row.left << ", " << row.top;
        EXPECT_EQ(at->second.toStdString(), form1->CurrencyEdit(row.field)->DisplayedText().toStdString());
    }
    // The clock is read while printing: either reading around it may match.
    const QString date = printed[{kDate.x(), kDate.y()}];
    const QString time = printed[{kTime.x(), kTime.y()}];
    EXPECT_TRUE(date == dateBefore || date == dateAfter) << date.toStdString();
    EXPECT_TRUE(time == timeBefore || time == timeAfter) << time.toStdString();
    EXPECT_NE(date, time);
}

// From a change until the next РАСЧЕТ the results look void; typed back, or
// calculated again, they look as designed.
TEST_F(PrintCommand, TheWindowMarksResultsOfOtherInputs)
{
    const auto looksCurrent = [this] {
        TCurrencyEdit* hookLoad = form1->CurrencyEdit(35);
        return hookLoad->FontColor() == QColor(255, 255, 0) && hookLoad->toolTip().isEmpty();
    };
    EXPECT_FALSE(looksCurrent()) << "before any calculation";
    TypeWorkedExample();
    EXPECT_TRUE(looksCurrent()) << "after РАСЧЕТ";
    Type(39, QStringLiteral("50"), false);
    EXPECT_FALSE(looksCurrent()) << "while a new value is typed";
    Type(39, QStringLiteral("4,2"), false);
    EXPECT_TRUE(looksCurrent()) << "the old value typed back";
    Type(17, QStringLiteral("127"));
    EXPECT_TRUE(looksCurrent()) << "a diameter changed";
}

TEST_F(PrintCommand, PrintingAgainWhileThePreviewIsOpenShowsTheNewSheetInIt)
{
    TypeWorkedExample();
    PrintAndThen([this](TVpStandardPreview& first) {
        EXPECT_TRUE(PageTexts(first).contains(QStringLiteral("11,100 т.")));
        // The main window stays usable: calculate again and print again.
        Type(38, QStringLiteral("3"));
        QTest::mouseClick(form1->BitBtn1(), Qt::LeftButton);
        EXPECT_EQ(form1->CurrencyEdit(32)->DisplayedText(), QStringLiteral("11,600 т."));
        first.showMinimized();
        form1->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form1.get()));

        // Should a second window open all the same, it is closed after a
        // while so that its command returns and the test fails, not hangs.
        QTimer second;
        second.setSingleShot(true);
        QObject::connect(&second, &QTimer::timeout, [&first] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<TVpStandardPreview*>(window); p && p != &first && p->isVisible())
                    p->close();
        });
        second.start(10000);
        QTest::mouseClick(form1->TransparentButton1(), Qt::LeftButton);
        EXPECT_TRUE(second.isActive()) << "the second print command waited for a window of its own";
        second.stop();

        EXPECT_TRUE(QTest::qWaitFor([&] { return first.Status()->text() == QStringLiteral("Page 1 of 1"); }));
        int previews = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<TVpStandardPreview*>(window); p && p->isVisible())
                ++previews;
        EXPECT_EQ(previews, 1);
        const QStringList texts = PageTexts(first);
        EXPECT_TRUE(texts.contains(QStringLiteral("11,600 т.")));
        EXPECT_FALSE(texts.contains(QStringLiteral("11,100 т.")));
        // It comes to the front, as the window just printed.
        EXPECT_FALSE(first.isMinimized());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&first));
        // Titled as the new sheet: its title, date and time.
        EXPECT_TRUE(first.windowTitle().startsWith(QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА ")));
        EXPECT_TRUE(first.windowTitle().contains(QString::fromStdString(DateToText(CurrentDate()))));
    });
    EXPECT_TRUE(errors.empty()) << errors.front();
    // Once it is closed, ПЕЧАТЬ opens a preview again.
    PrintAndThen(
        [](TVpStandardPreview& preview) { EXPECT_TRUE(PageTexts(preview).contains(QStringLiteral("11,600 т."))); });
}

// A ПЕЧАТЬ that fails leaves the preview showing the sheet of the inputs
// before: the preview says so, and its Print asks before printing it.
TEST_F(PrintCommand, AFailedPrintMarksTheOpenSheetOlderAndItsPrintAsksFirst)
{
    auto backend = std::make_shared<test::FakeBackend>();
    backend->Printers.push_back(test::MakePrinter("Office", {QPageSize::A4, QPageSize::A3}, QPageSize::A4));
    backend->Default = "Office";
    form2->VpReport1().SetPrinterFactory([backend] { return std::make_unique<TVpPrinter>(backend, 96); });
    struct Row {
        const char* name;
        bool answer;       // to "print this older sheet?"
        std::size_t sent;  // jobs the printer gets
        const char* note;
    };
    const Row rows[] = {
        {"the older sheet kept back", false, 0, "Not printed"},
        {"printed all the same when the crew says so", true, 1, "Sent to the printer: Office, A3, 1 copy"},
    };
    int asked = 0;
    bool answer = false;
    SetPreviewQuestion([&](QWidget*, const QString&) {
        ++asked;
        return answer;
    });
    TypeWorkedExample();
    PrintAndThen([&](TVpStandardPreview& preview) {
        const QString title = preview.windowTitle();
        EXPECT_TRUE(preview.Note()->text().isEmpty());
        Type(45, QStringLiteral("0"));
        QTest::mouseClick(form1->TransparentButton1(), Qt::LeftButton);
        ASSERT_EQ(errors.size(), 1u) << "the pipe steel of 0 fails ПЕЧАТЬ";
        EXPECT_EQ(preview.windowTitle(), title + QStringLiteral(" (older than the main window's inputs)"));
        EXPECT_EQ(preview.Note()->text(), QStringLiteral("Older than the main window's inputs"));
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            asked = 0;
            answer = row.answer;
            const std::size_t before = backend->Sent.size();
            QTest::mouseClick(preview.Print(), Qt::LeftButton);
            EXPECT_EQ(asked, 1);
            EXPECT_EQ(backend->Sent.size(), before + row.sent);
            EXPECT_EQ(preview.Note()->text(), QString::fromUtf8(row.note));
        }
        // Mended, ПЕЧАТЬ shows the window's sheet again, which prints unasked.
        Type(45, QStringLiteral("7,85"));
        QTest::mouseClick(form1->TransparentButton1(), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return preview.Status()->text() == QStringLiteral("Page 1 of 1"); }));
        EXPECT_FALSE(preview.windowTitle().contains(QStringLiteral("older")));
        asked = 0;
        QTest::mouseClick(preview.Print(), Qt::LeftButton);
        EXPECT_EQ(asked, 0);
    });
    SetPreviewQuestion(nullptr);
}

// The printer set-up made in one run is what the next run's print asks of
// the queue; a printer gone by then leaves the default, and the print
// button says so.
TEST_F(PrintCommand, ThePrinterSetUpIsKeptOverARestart)
{
    const std::string spooler = test::StartA4OnlyQueue();
    if (!spooler.empty())
        GTEST_SKIP() << "no print spooler of the tests' own: " << spooler;
    QTemporaryDir dir;
    struct Row {
        const char* name;
        const char* printer;  // chosen in the set-up
        TVpPaperSize paper;
        int copies;
        const char* pdf;    // the set-up's PDF file, in dir
        const char* edit;   // then the profile's printer edited to this
        const char* queue;  // what the next run's print reaches
        int queueCopies;
        const char* media;  // part of the paper asked for
        const char* hint;   // part of the print button's tooltip
    };
    const Row rows[] = {
        {"the A4 queue, two copies", test::kA4Queue, TVpPaperSize::A4, 2, "", nullptr, test::kA4Queue, 2, "a4",
         "2 copies"},
        {"a PDF file", test::kTestQueue, TVpPaperSize::A3, 1, "kept.pdf", nullptr, nullptr, 0, nullptr, "kept.pdf"},
        {"a printer gone since", test::kA4Queue, TVpPaperSize::A4, 2, "", "Gone", test::kTestQueue, 1, "a3",
         "The printer set up before, Gone, is not available"},
    };
    SetPrinterProfile("davov");
    const QString profile = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/davov");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // The set-up, confirmed from the preview of the first run.
        form2->VpReport1().SetPrinterDialog([&](const TVpPrinterDialogRequest& request) {
            const std::vector<std::string>& names = request.VpPrinter->Printer().Printers();
            TVpPrinterDialogChoice choice;
            // The list names a queue with its location ("DwTestPdf on Test bench").
            const auto chosen = std::find_if(names.begin(), names.end(),
                                             [&](const std::string& name) { return name.rfind(row.printer, 0) == 0; });
            EXPECT_NE(chosen, names.end());
            choice.PrinterIndex = static_cast<int>(chosen - names.begin());
            choice.Paper = row.paper;
            choice.Orientation = TVpOrientation::poPortrait;
            choice.Copies = row.copies;
            if (row.pdf[0] != 0)
                choice.OutputFileName = dir.filePath(QString::fromUtf8(row.pdf)).toStdString();
            return std::optional(choice);
        });
        TypeWorkedExample();
        PrintAndThen([](TVpStandardPreview& preview) { QTest::mouseClick(preview.PrintSetup(), Qt::LeftButton); });
        if (row.edit != nullptr) {
            QByteArray text = test::ReadAll(profile);
            text.replace(QByteArray("Printer=") + row.printer, QByteArray("Printer=") + row.edit);
            test::WriteAll(profile, text);
        }

        // The program again, over the same profile.
        TearDown();
        SetUp();
        const std::size_t jobsBefore = test::CompletedJobs().size();
        TypeWorkedExample();
        PrintAndThen([&](TVpStandardPreview& preview) {
            QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), preview.Print()->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(preview.Print(), &hover);
            EXPECT_TRUE(preview.Print()->toolTip().contains(QString::fromUtf8(row.hint)))
                << preview.Print()->toolTip().toStdString();
            QTest::mouseClick(preview.Print(), Qt::LeftButton);
        });
        EXPECT_TRUE(errors.empty()) << errors.front();
        if (row.queue == nullptr) {
            EXPECT_TRUE(test::ReadAll(dir.filePath(QString::fromUtf8(row.pdf))).startsWith("%PDF"));
            continue;
        }
        ASSERT_TRUE(test::WaitFor([&] { return test::CompletedJobs().size() > jobsBefore; }, std::chrono::seconds(60)))
            << test::SpoolerLogTail();
        const test::SpooledJob job = test::CompletedJobs().back();
        EXPECT_EQ(job.Queue, row.queue);
        EXPECT_EQ(job.Copies, row.queueCopies);
        EXPECT_TRUE(QString::fromStdString(job.Media).contains(QString::fromUtf8(row.media), Qt::CaseInsensitive))
            << job.Media;
    }
    SetPrinterProfile({});
}

TEST_F(PrintCommand, ClosingTheMainWindowClosesThePreviewAndSavesTheProfile)
{
    TypeWorkedExample();
    bool closed = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (OpenPreview() == nullptr)
            return;
        poll.stop();
        closed = form1->close();
    });
    poll.start();
    QTest::mouseClick(form1->TransparentButton1(), Qt::LeftButton);
    EXPECT_TRUE(closed);
    EXPECT_EQ(OpenPreview(), nullptr);
    const QString profile = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/davov");
    EXPECT_TRUE(QString::fromUtf8(test::ReadAll(profile)).contains(QStringLiteral("2.5")));
}

}  // namespace
}  // namespace dw
