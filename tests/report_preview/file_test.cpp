// SPDX-License-Identifier: MIT
// Save, export and load from the preview: the dialogs' entries, the paths a
// choice takes, damaged report files and folders that cannot be written.

#include "common/errors.h"
#include "report/output/ascii_export_filter.h"
#include "report/output/export_filter.h"
#include "report/preview/preview_dialogs.h"
#include "report/preview/preview_image.h"
#include "report/preview/save_targets.h"
#include "tests/report_preview/preview_fixture.h"
#include "tests/support/printer_test_support.h"
#include "tests/support/qt_files.h"

#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <functional>
#include <optional>

#include <unistd.h>

namespace dw {
namespace {

using test::PreviewFixture;
using test::ReadAll;
using test::WriteAll;

// A filter of the tests' own, registered after the text export.
class RecordingFilter : public TVpExportFilter {
public:
    explicit RecordingFilter(std::string fileName) : TVpExportFilter(std::move(fileName)) { ++s_alive; }
    ~RecordingFilter() override { --s_alive; }
    std::string FileExtension() const override { return "TST"; }
    MessageText DisplayName() const override { return MessageText::Verbatim("Test file"); }
    static inline int s_alive = 0;
};

std::uint32_t U32At(const QByteArray& bytes, qsizetype at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

void PutU32(QByteArray& bytes, qsizetype at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// Offsets of the page records, following the "next" links.
std::vector<qsizetype> RecordStarts(const QByteArray& file)
{
    std::vector<qsizetype> starts;
    for (qsizetype at = 124; at + 12 <= file.size(); at = U32At(file, at + 4)) {
        starts.push_back(at);
    }
    return starts;
}

class FileTest : public PreviewFixture {
public:
    void SetUp() override
    {
        PreviewFixture::SetUp();
        static const bool registered = [] {
            TVpExportFilterLibrary::Instance().RegisterFilter<RecordingFilter>();
            return true;
        }();
        (void)registered;
        m_previousDialog = SetPreviewFileDialog([this](const TVpFileDialogRequest& request) {
            asked.push_back(request);
            return answer;
        });
        m_previousMessage = SetPreviewMessage([this](QWidget*, const QString& text) { messages.push_back(text); });
        HookExport();
    }

    // The report's export routine, as far as the preview can see it.
    void HookExport()
    {
        printer->OnExport = [this](TVpPrinter&, TVpExportFilter& filter) {
            // The filter is gone once the export returns: only what it was is kept.
            exported.push_back(dynamic_cast<const TVpAsciiExportFilter*>(&filter) != nullptr ? "text"
                               : dynamic_cast<const RecordingFilter*>(&filter) != nullptr    ? "own"
                                                                                             : "other");
            exportedNames.push_back(filter.FileName());
            if (!exportError.empty()) {
                throw EFileError(MessageText::Verbatim(exportError));
            }
        };
    }

    void TearDown() override
    {
        SetPreviewFileDialog(m_previousDialog);
        SetPreviewMessage(m_previousMessage);
        PreviewFixture::TearDown();
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    void Choose(const QString& fileName, int filterIndex = 1) { answer = TVpFileDialogChoice{fileName, filterIndex}; }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

    // A good report file of pageCount pages.
    QByteArray GoodFile(int pageCount)
    {
        auto source = test::MakeA3Printer();
        test::RunPages(*source, pageCount);
        const QString path = Path("good.source");
        source->Save(path.toStdString());
        QByteArray bytes = ReadAll(path);
        QFile::remove(path);
        return bytes;
    }

    QTemporaryDir dir;
    std::optional<TVpFileDialogChoice> answer;
    std::vector<TVpFileDialogRequest> asked;
    std::vector<QString> messages;
    std::vector<std::string> exported;
    std::vector<std::string> exportedNames;
    std::string exportError;

private:
    TVpFileDialogFunction m_previousDialog;
    TVpMessageFunction m_previousMessage;
};

TEST_F(FileTest, DialogsOfferTheSavedReportEachExportFilterAndPdfAndLoadOffersEveryFile)
{
    test::RunPages(*printer, 1);
    Open();
    QTest::mouseClick(window->Save(), Qt::LeftButton);
    QTest::mouseClick(window->Load(), Qt::LeftButton);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].Kind, TVpFileDialogKind::Save);
    EXPECT_EQ(asked[0].Filter, QStringLiteral("Vellumprint file(*.VPR)|*.VPR|Text file (*.TXT)|*.TXT|Test file "
                                              "(*.TST)|*.TST|PDF file (*.pdf)|*.pdf"));
    EXPECT_EQ(asked[1].Kind, TVpFileDialogKind::Open);
    EXPECT_EQ(asked[1].Filter, QStringLiteral("Vellumprint file(*.VPR)|*.VPR|All files (*)|*"));
    // The desktop's dialog shows the program's texts as they are.
    EXPECT_EQ(NameFiltersFromFilterText(asked[0].Filter),
              QStringList({QStringLiteral("Vellumprint file(*.VPR)"), QStringLiteral("Text file (*.TXT)"),
                           QStringLiteral("Test file (*.TST)"), QStringLiteral("PDF file (*.pdf)")}));
    EXPECT_TRUE(Files().isEmpty()) << "cancelled dialogs write nothing";
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileTest, ALoadedReportOffersOnlyWhatWorksFromItsPages)
{
    test::RunPages(*printer, 1);
    printer->Save(Path("saved.VPR").toStdString());
    printer->Load(Path("saved.VPR").toStdString());
    Open();
    QTest::mouseClick(window->Save(), Qt::LeftButton);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Filter, QStringLiteral("Vellumprint file(*.VPR)|*.VPR|PDF file (*.pdf)|*.pdf"));
    // The file's name stays the report's name, also for what is saved from it.
    EXPECT_EQ(asked[0].SuggestedName, QStringLiteral("saved.VPR"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("saved.VPR"));

    // Every type offered writes its file, a bare name taking the type's extension.
    Choose(Path("again"), 1);
    QTest::mouseClick(window->Save(), Qt::LeftButton);
    EXPECT_EQ(ReadAll(Path("again.VPR")), ReadAll(Path("saved.VPR"))) << "the same pages";
    Choose(Path("again"), 2);
    QTest::mouseClick(window->Save(), Qt::LeftButton);
    EXPECT_TRUE(ReadAll(Path("again.pdf")).startsWith("%PDF"));
    EXPECT_TRUE(errors.empty()) << errors.front();
}

// Save, a name typed with the extension of a type the dialog offers: that
// type is written, whatever the type box still says.
TEST_F(FileTest, ATypedExtensionPicksTheTypeWritten)
{
    struct Row {
        const char* name;
        const char* typed;
        int typeBox;          // entry of the type box left chosen, from 1
        const char* written;  // the file that appears
        const char* kind;     // "report", "pdf", or the export run: "text"
    };
    const Row rows[] = {
        {"a PDF's name under the report type", "отчёт.pdf", 1, "отчёт.pdf", "pdf"},
        {"a report's name under the PDF type", "отчёт.VPR", 4, "отчёт.VPR", "report"},
        {"a text file's name under the report type", "отчёт.TXT", 1, "отчёт.TXT", "text"},
        {"the extension in another case", "Отчёт2.PDF", 1, "Отчёт2.PDF", "pdf"},
        {"lower-case report extension under the text type", "old.vpr", 2, "old.vpr", "report"},
        {"an extension no type has gets the chosen type's", "отчёт.bak", 1, "отчёт.bak.VPR", "report"},
        {"a date in the name is no extension", "вес 08.12.2026", 4, "вес 08.12.2026.pdf", "pdf"},
        {"a bare name gets the chosen type's", "bare", 4, "bare.pdf", "pdf"},
    };
    test::RunPages(*printer, 1);
    Open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        exported.clear();
        exportedNames.clear();
        Choose(Path(row.typed), row.typeBox);
        QTest::mouseClick(window->Save(), Qt::LeftButton);
        const QString kind = QString::fromUtf8(row.kind);
        if (kind == QStringLiteral("text")) {
            EXPECT_EQ(exported, std::vector<std::string>{"text"});
            EXPECT_EQ(exportedNames, std::vector<std::string>{Path(row.written).toStdString()});
            continue;
        }
        EXPECT_TRUE(exported.empty());
        const QByteArray bytes = ReadAll(Path(row.written));
        EXPECT_TRUE(
            bytes.startsWith(kind == QStringLiteral("pdf") ? QByteArray("%PDF") : QByteArray("\x03\x00\xCF", 3)))
            << "written as " << kind.toStdString();
        EXPECT_FALSE(QFile::exists(Path(row.typed)) && QString::fromUtf8(row.typed) != QString::fromUtf8(row.written))
            << "nothing under the name as typed";
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
}

// Print, Save, PDF and the text export each say in the status line what
// they did and where.
TEST_F(FileTest, EveryCommandSaysWhatItDid)
{
    struct Row {
        const char* name;
        std::function<void(FileTest&)> command;
        const char* note;  // %1: the temporary folder
    };
    const auto save = [](const char* name, int type) {
        return [name, type](FileTest& t) {
            t.Choose(t.Path(name), type);
            QTest::mouseClick(t.window->Save(), Qt::LeftButton);
        };
    };
    const auto print = [](std::string file) {
        return [file](FileTest& t) {
            t.printer->Printer().SetFileNameRequest(
                [file, &t](const std::string&) { return file.empty() ? file : t.Path(file.c_str()).toStdString(); });
            QTest::mouseClick(t.window->Print(), Qt::LeftButton);
        };
    };
    const Row rows[] = {
        {"Save as a report file", save("sheet.VPR", 1), "Saved: %1/sheet.VPR"},
        {"Save as PDF", save("sheet", 4), "Saved: %1/sheet.pdf"},
        {"the text export",
         [save](FileTest& t) {
             t.printer->OnExport = [](TVpPrinter&, TVpExportFilter& filter) {
                 WriteAll(QString::fromStdString(filter.FileName()), QByteArray("text"));
             };
             save("sheet.TXT", 2)(t);
         },
         "Exported: %1/sheet.TXT"},
        {"an export that writes nothing (cancelled)", save("none.TXT", 2), "Nothing was saved"},
        {"Print on a printer",
         [](FileTest& t) {
             auto backend = std::make_shared<test::FakeBackend>();
             backend->Printers.push_back(test::MakePrinter("Office", {QPageSize::A4, QPageSize::A3}, QPageSize::A4));
             backend->Default = "Office";
             delete t.window.data();
             t.printer = std::make_unique<TVpPrinter>(backend, 96);
             t.printer->SetPaperSize(TVpPaperSize::A4);
             t.printer->SetCopies(2);
             test::RunPages(*t.printer, 1);
             t.Open();
             QTest::mouseClick(t.window->Print(), Qt::LeftButton);
         },
         "Sent to the printer: Office, A4, 2 copies"},
        {"Print to a PDF file", print("printed.pdf"), "Saved: %1/printed.pdf"},
        {"Print, the file's name declined", print(""), "Nothing was printed"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        delete window.data();
        printer = test::MakeA3Printer();
        HookExport();
        test::RunPages(*printer, 1);
        Open();
        row.command(*this);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->Note()->text(), QString::fromUtf8(row.note).arg(dir.path()));
        EXPECT_TRUE(errors.empty()) << errors.front();
    }
}

TEST_F(FileTest, TheSuggestedNameTakesTheTypeChosenAndTheFolderLastUsedIsWhereDialogsOpen)
{
    const QString profile = Path("davov");
    WriteAll(profile, QByteArray("[TForm1]\r\nTop=10\r\nLeft=20\r\n"));
    SetFolderProfile(profile.toStdString());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("reports")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("old")));
    test::RunPages(*printer, 1);
    printer->SetFileNameStem("Вес инструмента 2026-12-07");
    Open();

    // The name as suggested, the PDF type chosen: the suggestion follows the type.
    Choose(Path("reports/Вес инструмента 2026-12-07.VPR"), 4);
    QTest::mouseClick(window->Save(), Qt::LeftButton);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].SuggestedName, QStringLiteral("Вес инструмента 2026-12-07.VPR"));
    EXPECT_TRUE(ReadAll(Path("reports/Вес инструмента 2026-12-07.pdf")).startsWith("%PDF"));
    EXPECT_FALSE(QFile::exists(Path("reports/Вес инструмента 2026-12-07.VPR")));

    struct Row {
        const char* name;
        std::function<void(FileTest&)> step;  // what the user did last
        const char* folder;                   // where the next dialog opens
    };
    const Row rows[] = {
        {"after saving, there", [](FileTest&) {}, "reports"},
        {"after loading, the loaded file's folder",
         [](FileTest& t) {
             t.printer->Save(t.Path("old/kept.VPR").toStdString());
             t.Choose(t.Path("old/kept.VPR"));
             QTest::mouseClick(t.window->Load(), Qt::LeftButton);
         },
         "old"},
        {"a remembered folder that is gone is not offered",
         [](FileTest& t) { QDir(t.Path("old")).removeRecursively(); }, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.step(*this);
        answer.reset();
        asked.clear();
        QTest::mouseClick(window->Load(), Qt::LeftButton);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].Directory, row.folder != nullptr ? Path(row.folder) : QString());
    }
    // The main window's section is left exactly as it was.
    const QString text = QString::fromUtf8(ReadAll(profile));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[TForm1]\r\nTop=10\r\nLeft=20\r\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("[FileDialogs]")));
    SetFolderProfile({});
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileTest, ThePrintButtonSaysWhereAndHowItPrints)
{
    test::RunPages(*printer, 1);
    Open();
    struct Row {
        const char* name;
        std::function<void(TVpPrinter&)> setUp;
        const char* hint;
    };
    const Row rows[] = {
        {"the PDF printer asks for its file", [](TVpPrinter&) {},
         "Print to a PDF file (its name is asked): A3, portrait"},
        {"a file set up is named", [](TVpPrinter& p) { p.Printer().SetOutputFileName("/tmp/out.pdf"); },
         "Print to the PDF file /tmp/out.pdf: A3, portrait"},
        {"landscape", [](TVpPrinter& p) { p.SetOrientation(TPrinterOrientation::poLandscape); },
         "Print to the PDF file /tmp/out.pdf: A3, landscape"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.setUp(*printer);
        QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), window->Print()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(window->Print(), &hover);
        EXPECT_EQ(window->Print()->toolTip(), QString::fromUtf8(row.hint));
    }
}

TEST_F(FileTest, SaveAndExportTakeThePathOfTheChosenEntry)
{
    struct Row {
        const char* name;
        std::function<void(FileTest&)> before;
        const char* fileName;
        int filterIndex;
        bool reportWritten;
        int exports;
        const char* filterKind;
        const char* error;
        // The file written when it is not fileName, and how it starts.
        const char* writtenName = nullptr;
        const char* magic = nullptr;  // none: a report file
    };
    const auto finished = [](FileTest& t) { test::RunPages(*t.printer, 1); };
    const char* isText = "text";
    const char* isOwn = "own";
    const Row rows[] = {
        {"saved report", finished, "report.VPR", 1, true, 0, nullptr, ""},
        {"a bare name gets the report file's extension", finished, "report", 1, true, 0, nullptr, "", "report.VPR"},
        {"an extension no type has gets the chosen type's", finished, "report.bak", 1, true, 0, nullptr, "",
         "report.bak.VPR"},
        {"PDF of the pages", finished, "report", 4, true, 0, nullptr, "", "report.pdf", "%PDF"},
        {"a bare text export gets its extension", finished, "report", 2, false, 1, isText, "", "report.TXT"},
        {"saved report while pages are produced",
         [](FileTest& t) {
             t.printer->BeginDoc();
             t.printer->NewPage();
         },
         "busy.VPR", 1, false, 0, nullptr, ""},
        {"text export", finished, "report.txt", 2, false, 1, isText, ""},
        {"the tests' own filter", finished, "report.tst", 3, false, 1, isOwn, ""},
        {"an export that fails",
         [](FileTest& t) {
             test::RunPages(*t.printer, 1);
             t.exportError = "Cannot create file report.txt";
         },
         "report.txt", 2, false, 1, isText, "Cannot create file report.txt"},
        {"export from a loaded report",
         [](FileTest& t) {
             test::RunPages(*t.printer, 1);
             t.printer->Save(t.Path("saved.VPR").toStdString());
             t.printer->Load(t.Path("saved.VPR").toStdString());
         },
         "loaded", 2, true, 0, nullptr, "", "loaded.pdf", "%PDF"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        delete window.data();
        printer = test::MakeA3Printer();
        HookExport();
        errors.clear();
        exported.clear();
        exportedNames.clear();
        exportError.clear();
        row.before(*this);
        Open();
        Choose(Path(row.fileName), row.filterIndex);
        QTest::mouseClick(window->Save(), Qt::LeftButton);

        const QString target = Path(row.writtenName != nullptr ? row.writtenName : row.fileName);
        const QByteArray written = ReadAll(target);
        EXPECT_EQ(!written.isEmpty(), row.reportWritten);
        if (row.reportWritten) {
            if (row.magic != nullptr) {
                EXPECT_TRUE(written.startsWith(row.magic));
            } else {
                EXPECT_EQ(written.left(3), QByteArray("\x03\x00\xCF", 3));
                EXPECT_EQ(U32At(written, 8), 1u) << "page count";
            }
        }
        EXPECT_FALSE(QFile::exists(target) && !row.reportWritten);
        ASSERT_EQ(static_cast<int>(exported.size()), row.exports);
        if (row.exports > 0) {
            EXPECT_EQ(exportedNames[0], target.toStdString());
            EXPECT_EQ(exported[0], row.filterKind);
        }
        EXPECT_EQ(RecordingFilter::s_alive, 0) << "the filter is freed after the export";
        EXPECT_EQ(errors, row.error[0] ? std::vector<std::string>{row.error} : std::vector<std::string>{});
    }
}

// A sheet marked older than the main window's inputs is replaced by the
// file loaded, and with it the mark goes.
TEST_F(FileTest, LoadingAFileTakesTheOlderSheetsMarkAway)
{
    test::RunPages(*printer, 1);
    printer->Save(Path("kept.VPR").toStdString());
    Open();
    window->MarkSheetOutdated();
    ASSERT_TRUE(window->windowTitle().contains(QStringLiteral("older")));
    Choose(Path("kept.VPR"));
    QTest::mouseClick(window->Load(), Qt::LeftButton);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("kept.VPR"));
    EXPECT_TRUE(window->Note()->text().isEmpty());
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(FileTest, LoadOfAMissingFileSaysSoAndChangesNothing)
{
    test::RunPages(*printer, 1);
    Open();
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    const std::pair<const char*, const char*> rows[] = {{"missing.VPR", "it does not exist"},
                                                        {"folder", "it is a folder, not a file"}};
    for (const auto& [name, reason] : rows) {
        SCOPED_TRACE(name);
        messages.clear();
        Choose(Path(name));
        QTest::mouseClick(window->Load(), Qt::LeftButton);
        EXPECT_EQ(messages,
                  std::vector<QString>{
                      QStringLiteral("Cannot open file %1: %2").arg(Path(name), QString::fromLatin1(reason))});
        EXPECT_TRUE(Preview().Image()->HasPage());
        EXPECT_EQ(printer->PageCount(), 1);
        EXPECT_EQ(printer->Status(), TVpPrinterStatus::Finished);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileTest, LoadedThreePagesShowFromTheFirstAtTheSameZoom)
{
    WriteAll(Path("three.VPR"), GoodFile(3));
    test::RunPages(*printer, 1);
    Open();
    QTest::mouseClick(window->ZoomTo100(), Qt::LeftButton);
    Choose(Path("three.VPR"));
    QTest::mouseClick(window->Load(), Qt::LeftButton);
    EXPECT_EQ(window->Status()->text(), QStringLiteral("Page 1 of 3"));
    QTest::mouseClick(window->LastPage(), Qt::LeftButton);
    EXPECT_EQ(window->Status()->text(), QStringLiteral("Page 3 of 3"));
    EXPECT_EQ(Preview().Image()->PageNumber(), 3);
    EXPECT_TRUE(Preview().Image()->HasPage());
    EXPECT_EQ(Preview().Zoom(), 100);
    EXPECT_EQ(Preview().Image()->size(), QSize(1127, 1591)) << "the report's page size";
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileTest, DamagedReportFileShowsTheErrorAndLeavesTheWindowUsable)
{
    struct Row {
        const char* name;
        std::function<void(QByteArray&)> damage;
        bool loads;  // the file opens; the damage shows when its page is read
        const char* message;
    };
    const char* notValid = "File %1 is not a valid report file";
    const Row rows[] = {
        {"truncated", [](QByteArray& f) { f.truncate(f.size() / 2); }, false, notValid},
        {"header cut short", [](QByteArray& f) { f.truncate(60); }, false, notValid},
        {"wrong page count in the header", [](QByteArray& f) { PutU32(f, 8, 9); }, false, notValid},
        {"a foreign file", [](QByteArray& f) { f = QByteArray(400, 'x'); }, false, notValid},
        // Opening walks from the first record and back from the last one; a
        // loop between them shows when its page is turned to.
        {"a loop in the first record's link",
         [](QByteArray& f) { PutU32(f, RecordStarts(f)[0] + 4, RecordStarts(f)[0]); }, false, notValid},
        {"a page that is no metafile", [](QByteArray& f) { f[RecordStarts(f)[0] + 8 + 40] = 'X'; }, true,
         "%1: page 1: Metafile is not valid"},
    };
    const QByteArray good = GoodFile(3);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        delete window.data();
        printer = test::MakeA3Printer();
        test::RunPages(*printer, 1);
        errors.clear();
        Open();
        QByteArray damaged = good;
        row.damage(damaged);
        WriteAll(Path("damaged.VPR"), damaged);
        Choose(Path("damaged.VPR"));
        QTest::mouseClick(window->Load(), Qt::LeftButton);

        EXPECT_EQ(errors,
                  std::vector<std::string>{
                      QString::fromUtf8(row.message).replace(QStringLiteral("%1"), Path("damaged.VPR")).toStdString()});
        // Nothing of the pages held before stays on the screen.
        EXPECT_FALSE(Preview().Image()->HasPage());
        EXPECT_EQ(window->Status()->text(), row.loads ? QStringLiteral("Page 1 of 3") : QStringLiteral("Page 1 of 0"));
        // Still usable: the buttons and keys answer, and another file loads.
        errors.clear();
        QTest::mouseClick(window->ZoomToFit(), Qt::LeftButton);
        QTest::mouseClick(window->NextPage(), Qt::LeftButton);
        QTest::keyClick(window->focusWidget(), Qt::Key_End);
        EXPECT_TRUE(errors.empty());
        EXPECT_EQ(Preview().Image()->HasPage(), row.loads) << "page 3 of a file that loaded is good";
        WriteAll(Path("good.VPR"), good);
        Choose(Path("good.VPR"));
        QTest::mouseClick(window->Load(), Qt::LeftButton);
        EXPECT_EQ(window->Status()->text(), QStringLiteral("Page 1 of 3"));
        EXPECT_TRUE(Preview().Image()->HasPage());
    }
}

TEST_F(FileTest, SavingWhereNothingCanBeWrittenShowsTheErrorAndLeavesNoFile)
{
    struct Row {
        const char* name;
        std::function<QString(FileTest&)> target;
        const char* reason = "";  // after the file's name in the message
    };
    const Row rows[] = {
        {"folder that does not exist", [](FileTest& t) { return t.Path("missing/report.VPR"); },
         ": the folder does not exist"},
        {"path through a file",
         [](FileTest& t) {
             WriteAll(t.Path("plain"), "plain");
             return t.Path("plain/report.VPR");
         },
         ": a part of its path is a file, not a folder"},
        {"a folder in the file's place",
         [](FileTest& t) {
             QDir(t.dir.path()).mkdir(QStringLiteral("taken.VPR"));
             return t.Path("taken.VPR");
         },
         ": it is a folder, not a file"},
        {"read-only folder",
         [](FileTest& t) {
             QDir(t.dir.path()).mkdir(QStringLiteral("ro"));
             WriteAll(t.Path("ro/report.VPR"), "the old report");
             std::filesystem::permissions(t.Path("ro").toStdString(),
                                          std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
             return t.Path("ro/report.VPR");
         }},
    };
    test::RunPages(*printer, 1);
    Open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (std::string(row.name) == "read-only folder" && ::geteuid() == 0) {
            continue;  // permissions do not bind root; the other rows fail for everyone
        }
        errors.clear();
        const QString target = row.target(*this);
        const QStringList before = QDir(QFileInfo(target).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        Choose(target);
        QTest::mouseClick(window->Save(), Qt::LeftButton);
        EXPECT_EQ(errors, std::vector<std::string>{"Cannot create file " + target.toStdString() + row.reason});
        EXPECT_EQ(QDir(QFileInfo(target).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before)
            << "no half-written file, no scratch file left";
        // The window carries on: the same pages save elsewhere.
        errors.clear();
        Choose(Path("elsewhere.VPR"));
        QTest::mouseClick(window->Save(), Qt::LeftButton);
        EXPECT_TRUE(errors.empty());
        EXPECT_EQ(U32At(ReadAll(Path("elsewhere.VPR")), 8), 1u);
    }
    std::error_code ignored;
    std::filesystem::permissions(Path("ro").toStdString(), std::filesystem::perms::owner_all, ignored);
}

// The real dialog (the portable one, not the desktop's): its entries, the
// chosen entry's number and the name typed, with the entry's extension.
TEST_F(FileTest, RealDialogReturnsTheTypedNameAndTheChosenEntry)
{
    SetPreviewFileDialog(
        [](const TVpFileDialogRequest& request) { return RunQtFileDialog(request, QFileDialog::DontUseNativeDialog); });
    test::RunPages(*printer, 1);
    Open();
    QStringList shownFilters;
    QString suffix = QStringLiteral("unset");
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shownFilters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        dialog->setDirectory(dir.path());
        dialog->selectNameFilter(QStringLiteral("Text file (*.TXT)"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->clear();
        QTest::keyClicks(name, QStringLiteral("weights"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    QTest::mouseClick(window->Save(), Qt::LeftButton);
    EXPECT_EQ(shownFilters, QStringList({QStringLiteral("Vellumprint file(*.VPR)"), QStringLiteral("Text file (*.TXT)"),
                                         QStringLiteral("Test file (*.TST)"), QStringLiteral("PDF file (*.pdf)")}));
    EXPECT_TRUE(suffix.isEmpty());
    ASSERT_EQ(exportedNames.size(), 1u);
    // Typed bare, written under the chosen type's extension.
    EXPECT_EQ(exportedNames[0], Path("weights.TXT").toStdString());
    EXPECT_EQ(exported, std::vector<std::string>{"text"});
}

// The desktop's dialog, typed into as a person does: the name typed picks
// the type, whatever the type box says.
TEST_F(FileTest, RealDialogSavesTheTypeTheTypedNameSays)
{
    struct Row {
        const char* name;
        const char* typed;
        const char* typeBox;
        const char* written;
        QByteArray magic;
    };
    const Row rows[] = {
        {"a PDF's name under the report type", "typed.pdf", "Vellumprint file(*.VPR)", "typed.pdf", "%PDF"},
        {"an extension no type has", "typed.bak", "Vellumprint file(*.VPR)", "typed.bak.VPR",
         QByteArray("\x03\x00\xCF", 3)},
        {"a report's name under the PDF type", "typed.vpr", "PDF file (*.pdf)", "typed.vpr",
         QByteArray("\x03\x00\xCF", 3)},
    };
    SetPreviewFileDialog(
        [](const TVpFileDialogRequest& request) { return RunQtFileDialog(request, QFileDialog::DontUseNativeDialog); });
    test::RunPages(*printer, 1);
    Open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->setDirectory(dir.path());
            dialog->selectNameFilter(QString::fromUtf8(row.typeBox));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->clear();
            QTest::keyClicks(name, QString::fromUtf8(row.typed));
            QTest::keyClick(name, Qt::Key_Return);
        });
        QTest::mouseClick(window->Save(), Qt::LeftButton);
        EXPECT_TRUE(ReadAll(Path(row.written)).startsWith(row.magic));
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace dw
