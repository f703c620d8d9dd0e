// SPDX-License-Identifier: MIT
// Every window and message of the program as a user sees it, under a Russian
// locale and under C: opened as the program opens it, every visible text read
// off the screen (titles, labels, buttons, tooltips, box texts, the entries of
// the file-type lists).

#include "app/application.h"
#include "app/form1.h"
#include "app/sheet_holder.h"
#include "app/translations.h"
#include "common/error_display.h"
#include "common/errors.h"
#include "common/scope_exit.h"
#include "journal/widgets/journal_window.h"
#include "numeric/widgets/currency_edit.h"
#include "report/elements/label.h"
#include "report/generation/report.h"
#include "report/output/printer_dialog.h"
#include "report/output/printer_notices.h"
#include "report/output/progress_form.h"
#include "report/preview/preview.h"
#include "report/preview/preview_dialogs.h"
#include "report/preview/standard_preview.h"
#include "tests/support/open_preview.h"
#include "tests/support/page_records.h"
#include "tests/support/preview_test_support.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <ostream>

namespace dw {
namespace {

QString Plain(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    // A mnemonic's "&" is not shown; "&&" shows one.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text.trimmed();
}

bool InsideItemView(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(w) != nullptr && qobject_cast<const QHeaderView*>(w) == nullptr)
            return true;
    return false;
}

// What a window shows in words. Lists of files, folders and printers are the
// user's own names and are left out; the file-type lists are read.
QStringList VisibleTexts(QWidget* window)
{
    QStringList texts{Plain(window->windowTitle())};
    const auto add = [&texts](const QString& text) {
        if (!Plain(text).isEmpty())
            texts << Plain(text);
    };
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
        add(box->text());
        add(box->informativeText());
    }
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || InsideItemView(widget))
            continue;
        add(widget->toolTip());
        if (auto* label = qobject_cast<QLabel*>(widget))
            add(label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            add(button->text());
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            add(group->title());
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            add(edit->placeholderText());
        if (auto* tabs = qobject_cast<QTabBar*>(widget))
            for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i));
        if (auto* header = qobject_cast<QHeaderView*>(widget); header && header->model())
            for (int i = 0; i < header->count(); ++i)
                if (!header->isSectionHidden(i))
                    add(header->model()->headerData(i, header->orientation()).toString());
        auto* combo = qobject_cast<QComboBox*>(widget);
        if (combo && combo->objectName() == QStringLiteral("fileTypeCombo"))
            for (int i = 0; i < combo->count(); ++i) add(combo->itemText(i));
    }
    return texts;
}

// Runs open(), which shows a modal window and waits for it; reads the window
// once it is up and closes it as its Cancel or OK would.
QStringList TextsOfModal(const std::function<void()>& open)
{
    QStringList texts;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        poll.stop();
        texts = VisibleTexts(dialog);
        dialog->reject();
    });
    poll.start(10);
    open();
    poll.stop();
    return texts;
}

struct Screen {
    QTemporaryDir Dir;
    std::unique_ptr<TSheetHolder> Form2Window;
    std::unique_ptr<TForm1> Form1Window;
    std::unique_ptr<TVpPrinter> Printer;
    QPointer<TVpStandardPreview> Preview;

    QString File(const char* name) const { return Dir.filePath(QString::fromLatin1(name)); }

    TForm1& MainWindow()
    {
        if (!Form1Window) {
            Form2Window = std::make_unique<TSheetHolder>();
            Form1Window = std::make_unique<TForm1>(Form2Window.get());
            Form1Window->show();
        }
        return *Form1Window;
    }
    // РАСЧЕТ with the given fields set; its fault box is read and closed.
    QStringList Calculate(std::initializer_list<std::pair<int, long double>> values)
    {
        TForm1& form = MainWindow();
        for (const auto& [field, value] : values) form.CurrencyEdit(field)->SetValue(value);
        return TextsOfModal([&] { QTest::mouseClick(form.BitBtn1(), Qt::LeftButton); });
    }
    // A one-page A3 report in the preview, as the print command leaves it.
    TVpStandardPreview& PreviewWindow()
    {
        if (Preview.isNull()) {
            Printer = test::MakeA3Printer();
            test::RunPages(*Printer, 1);
            Preview = ShowStandardPreview(*Printer);
            Preview->VpPreview()->FitPageWidth();
            Preview->UpdateStatusText();
        }
        return *Preview;
    }
    QStringList PreviewFileDialog(QToolButton* (TVpStandardPreview::*button)() const)
    {
        TVpStandardPreview& preview = PreviewWindow();
        SetPreviewFileDialog([](const TVpFileDialogRequest& request) {
            return RunQtFileDialog(request, QFileDialog::DontUseNativeDialog);
        });
        QStringList texts = TextsOfModal([&] { QTest::mouseClick((preview.*button)(), Qt::LeftButton); });
        SetPreviewFileDialog(nullptr);
        return texts;
    }
    // Load with the given file chosen in the open dialog; its message is read.
    QStringList LoadMessage(const QString& fileName)
    {
        TVpStandardPreview& preview = PreviewWindow();
        SetPreviewFileDialog([fileName](const TVpFileDialogRequest&) {
            return std::optional<TVpFileDialogChoice>(TVpFileDialogChoice{fileName, 1});
        });
        QStringList texts = TextsOfModal([&] { QTest::mouseClick(preview.Load(), Qt::LeftButton); });
        SetPreviewFileDialog(nullptr);
        return texts;
    }

    ~Screen()
    {
        if (!Preview.isNull())
            delete Preview.data();
    }
};

class SteadyProgress : public IVpProgressSource {
public:
    int Progress() const override { return 40; }
    void Cancel() override {}
};

struct WindowRow {
    const char* name;
    std::function<QStringList(Screen&)> open;
    // The English the program shows under a locale without a translation
    // (Qt's own dialogs: their own English); each must be among the texts.
    std::vector<const char*> english;
    // What the Russian text must say besides being Russian: the cause.
    const char* russianNames = nullptr;
};

void PrintTo(const WindowRow& row, std::ostream* out)
{
    *out << row.name;
}

const WindowRow kWindows[] = {
    {"main window",
     [](Screen& s) { return VisibleTexts(&s.MainWindow()); },
     {"ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА", "РАСЧЕТ", "Вес квадрата", "Вес талевой системы"}},
    {"preview",
     [](Screen& s) { return VisibleTexts(&s.PreviewWindow()); },
     {"Zoom to fit", "Zoom to 100%", "Zoom to page width", "First Page", "Previous page", "Next page", "Last page",
      "Printer setup", "Print", "Save", "Load", "Close", "Page 1 of 1"}},
    {"preview while the report is produced",
     [](Screen&) {
         TVpStandardPreview window(nullptr);
         return VisibleTexts(&window);
     },
     {"Working..."}},
    {"save dialog",
     [](Screen& s) { return s.PreviewFileDialog(&TVpStandardPreview::Save); },
     {"Vellumprint file(*.VPR)", "PDF file (*.pdf)", "Save", "Cancel"}},
    {"open dialog",
     [](Screen& s) { return s.PreviewFileDialog(&TVpStandardPreview::Load); },
     {"Vellumprint file(*.VPR)", "Open", "Cancel"}},
    {"print dialog",
     [](Screen& s) {
         TVpStandardPreview& preview = s.PreviewWindow();
         TVpPrinterDialogRequest request;
         request.MaxPage = 1;
         request.VpPrinter = preview.VpPreview()->VpPrinter();
         return TextsOfModal([&] { RunSystemPrinterDialog(request); });
     },
     {"Printer setup", "OK", "Cancel"}},
    {"progress window",
     [](Screen&) {
         SteadyProgress progress;
         TVpProgressForm form;
         form.SetVpPrinter(&progress);
         form.show();
         TVpPrinterNotice notice(TVpPrinterNotice::kProgress, 40);
         QCoreApplication::sendEvent(&form, &notice);
         return VisibleTexts(&form);
     },
     {"Printing progress", "Cancel", "40%  Completed"}},
    {"fault: all inputs 0",
     [](Screen& s) { return s.Calculate({}); },
     {"Invalid floating point operation: enter the specific gravity of the metal.", "OK"},
     "Удельный вес металла"},
    {"fault: metal gravity 0",
     [](Screen& s) {
         return s.Calculate({{9, 10}, {25, 1}, {44, 1.2L}, {45, 0}});
     },
     {"Floating point division by zero: enter the specific gravity of the metal.", "OK"},
     "Удельный вес металла"},
    {"fault: drilling line too heavy",
     [](Screen& s) {
         return s.Calculate({{40, 2e38L}});
     },
     {"Floating point overflow.", "OK"},
     "«Вес каната»"},
    {"fault: length of section 3 too long",
     [](Screen& s) {
         return s.Calculate({{11, -3e38L}});
     },
     {"Floating point overflow.", "OK"},
     "«L инструмента» в строке 3"},
    {"journal window",
     [](Screen& s) {
         s.MainWindow().ShowJournal();
         return VisibleTexts(s.MainWindow().JournalWindow());
     },
     {"Journal of measurements", "From:", "To:", "Notes containing:", "Plot against:", "Indicator reading, t:", "Note:",
      "Open in main window", "Show sheet", "Delete...", "Export...", "Import...", "Close", "0 of 0 records shown"}},
    {"journal: a file with bad lines",
     [](Screen& s) {
         QFile bad(s.File("bad.csv"));
         if (bad.open(QIODevice::WriteOnly))
             bad.write("a,b\r\n1,2\r\n");
         bad.close();
         s.MainWindow().ShowJournal();
         return TextsOfModal([&] { s.MainWindow().JournalWindow()->ImportFrom(bad.fileName()); });
     },
     {"%DIR%/bad.csv holds lines that are not journal records; nothing was imported.\nline 1: the header is not "
      "the journal's columns."},
     "строка 1"},
    {"fault: out of memory",
     [](Screen&) { return TextsOfModal([] { RunReportingErrors([] { throw std::bad_alloc(); }); }); },
     {"Not enough memory to finish this action.", "OK"}},
    {"load: missing file",
     [](Screen& s) { return s.LoadMessage(s.File("missing.VPR")); },
     {"Cannot open file %DIR%/missing.VPR: it does not exist"}},
    {"load: damaged file",
     [](Screen& s) {
         QFile damaged(s.File("damaged.VPR"));
         if (damaged.open(QIODevice::WriteOnly))
             damaged.write(QByteArray(200, 'x'));
         damaged.close();
         return s.LoadMessage(damaged.fileName());
     },
     {"File %DIR%/damaged.VPR is not a valid report file."}},
};

// A Latin word (two letters or more) other than the names that are meant to
// be Latin: file types, the files of the test and the program's own name
// (the error box's caption, made from the program file's name).
QStringList LatinWords(QString text, const QString& testDir)
{
    text.remove(QRegularExpression(QRegularExpression::escape(testDir) + QStringLiteral("/\\S*")));
    text.remove(static_cast<TApplication*>(qApp)->Title());
    // File types, and the names keyboards print on their keys.
    static const QStringList kMeantLatin{QStringLiteral("VPR"),    QStringLiteral("TXT"),  QStringLiteral("PDF"),
                                         QStringLiteral("pdf"),    QStringLiteral("Ctrl"), QStringLiteral("Enter"),
                                         QStringLiteral("Shift"),  QStringLiteral("Alt"),  QStringLiteral("Esc"),
                                         QStringLiteral("Delete"), QStringLiteral("CSV")};
    QStringList words;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("[A-Za-z]{2,}")).globalMatch(text);
    while (it.hasNext()) {
        const QString word = it.next().captured();
        if (!kMeantLatin.contains(word))
            words << word;
    }
    return words;
}

class Language : public ::testing::TestWithParam<WindowRow> {
protected:
    void TearDown() override { QCoreApplication::processEvents(); }
};

TEST_P(Language, RussianLocaleShowsRussianOnly)
{
    const WindowRow& row = GetParam();
    Translations russian(QLocale(QLocale::Russian, QLocale::Russia), {QStringLiteral(DW_TRANSLATIONS_DIR)});
    ASSERT_TRUE(russian.ProgramLoaded());
    ASSERT_TRUE(russian.ToolkitLoaded());
    Screen screen;
    const QStringList texts = row.open(screen);
    ASSERT_FALSE(texts.isEmpty());
    for (const QString& text : texts) EXPECT_TRUE(LatinWords(text, screen.Dir.path()).isEmpty()) << text.toStdString();
    // Not an empty window: its words are there, in Russian.
    EXPECT_TRUE(texts.join(QString()).contains(QRegularExpression(QStringLiteral("[А-Яа-я]{2,}"))));
    if (row.russianNames != nullptr) {
        EXPECT_TRUE(texts.join(QLatin1Char('\n')).contains(QString::fromUtf8(row.russianNames)))
            << texts.join(QLatin1Char('\n')).toStdString();
    }
}

TEST_P(Language, CLocaleShowsTheEnglishTexts)
{
    const WindowRow& row = GetParam();
    Translations plain(QLocale::c(), {QStringLiteral(DW_TRANSLATIONS_DIR)});
    EXPECT_FALSE(plain.ProgramLoaded());
    Screen screen;
    const QStringList texts = row.open(screen);
    const QString all = texts.join(QLatin1Char('\n'));
    for (const char* english : row.english) {
        const QString expected = QString::fromUtf8(english).replace(QStringLiteral("%DIR%"), screen.Dir.path());
        EXPECT_TRUE(texts.contains(expected)) << expected.toStdString() << " not among:\n" << all.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, Language, ::testing::ValuesIn(kWindows), [](const auto& instance) {
    QString name = QString::fromLatin1(instance.param.name);
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("_"));
    return name.toStdString();
});

// The English sheet in the preview of a desktop without the Russian
// catalogue: the window's title, its own texts and the page it shows are all
// English; not a Russian word left over from the designed sheet.
TEST(SheetLanguage, TheEnglishSheetsPreviewShowsNoRussian)
{
    Translations plain(QLocale::c(), {QStringLiteral(DW_TRANSLATIONS_DIR)});
    ASSERT_FALSE(plain.ProgramLoaded());
    RegisterStandardPreview();
    const ScopeExit unregister([] { SetStandardPreviewFactory(nullptr); });
    const struct {
        const char* name;
        units::TUnitSystem units;
        const char* unitWord;  // of the lengths
    } rows[] = {
        {"English metric", units::TUnitSystem::Metric, "1,150.0 m"},
        {"English oilfield", units::TUnitSystem::Oilfield, "10,500.0 ft"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TSheetHolder sheet;
        sheet.SetDisplay(units::TLanguage::English, row.units);
        sheet.VpReport1().ShowProgress = false;
        test::UseBackend(sheet.VpReport1(), test::A3Backend());
        for (int number = 1; number <= kSheetLabelCount; ++number)
            if (SheetLabels()[static_cast<std::size_t>(number - 1)].Source != TSheetSource::Caption)
                sheet.VpLabel(number).SetCaption(QString::fromUtf8(row.unitWord));
        QStringList texts;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            TVpStandardPreview* preview = test::OpenPreview();
            if (preview == nullptr || preview->Status()->text() != QStringLiteral("Page 1 of 1"))
                return;
            poll.stop();
            texts = VisibleTexts(preview);
            if (const auto page = preview->VpPreview()->VpPrinter()->GetPage(1))
                for (const test::PageText& text : test::ReadPage(*page).Texts) texts << text.Text;
            QTest::mouseClick(preview->Exit(), Qt::LeftButton);
        });
        poll.start(20);
        sheet.VpReport1().Preview();
        poll.stop();
        ASSERT_FALSE(texts.isEmpty()) << "the preview never showed its page";
        EXPECT_TRUE(texts.front().startsWith(QStringLiteral("DRILL STRING WEIGHT "))) << texts.front().toStdString();
        EXPECT_TRUE(texts.contains(QStringLiteral("Hook load")));
        EXPECT_TRUE(texts.contains(QString::fromUtf8(row.unitWord)));
        for (const QString& text : texts)
            EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[\\x{0400}-\\x{04FF}]"))))
                << text.toStdString();
    }
}

// The message translation itself: arguments in place, nested texts
// translated, names kept as they are.
TEST(TranslatedMessage, PutsTheTranslatedArgumentsIntoTheTranslatedText)
{
    Translations russian(QLocale(QLocale::Russian, QLocale::Russia), {QStringLiteral(DW_TRANSLATIONS_DIR)});
    const struct {
        const char* name;
        MessageText text;
        const char* shown;
    } rows[] = {
        {"file name kept", CannotCreateFile("/tmp/отчёт%2.VPR"),
         "Не удалось создать файл /tmp/отчёт%2.VPR. Проверьте, что папка существует и в неё можно записывать."},
        {"reason translated",
         MessageText(DW_TEXT("Message", "Cannot open file %1: %2"),
                     {MessageText::Verbatim("a"), DW_TEXT("Message", "it is a pipe, not a file")}),
         "Не удалось открыть a: это канал, а не файл."},
        {"no translation stays English", DW_TEXT("Message", "Nothing like this"), "Nothing like this"},
    };
    for (const auto& row : rows) EXPECT_EQ(TranslatedMessage(row.text), QString::fromUtf8(row.shown)) << row.name;
}

}  // namespace
}  // namespace dw
