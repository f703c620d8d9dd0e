// SPDX-License-Identifier: MIT
// The main window's profile "davov": what the crew types comes back at the
// next start, with the window where it was left.

#include "app/form1.h"
#include "app/termination_signals.h"

#include "common/error_display.h"
#include "decor/window_frame.h"
#include "numeric/core/date_time.h"
#include "numeric/core/date_time_format.h"
#include "numeric/core/locale_formats.h"
#include "numeric/widgets/currency_edit.h"
#include "storage/core/ini_file.h"
#include "storage/core/placement_keys.h"
#include "storage/core/profile_location.h"
#include "storage/widgets/form_storage.h"
#include "tests/support/number_marks.h"
#include "tests/support/profile_sandbox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using dw::Extended;

// The 32 inputs in keyboard order.
std::vector<int> Inputs()
{
    std::vector<int> numbers;
    for (int n = 9; n <= 31; ++n) numbers.push_back(n);
    numbers.push_back(36);
    for (int n = 38; n <= 45; ++n) numbers.push_back(n);
    return numbers;
}

constexpr int kResults[] = {32, 33, 34, 35, 37};

// Refuses every close, as a handler that asks "really quit?" and gets "no".
class CloseRefuser : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        return true;
    }
};

class MainWindowStorage : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = dw::SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
        screen = dw::TFormPlacement::CurrentScreen();
        suffix = dw::ScreenSuffix(screen);
    }
    void TearDown() override
    {
        form.reset();
        dw::SetErrorDisplay(std::move(m_previous));
    }

    // The program starts: the window is created and shown.
    void Start()
    {
        form = std::make_unique<dw::TForm1>();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // The user closes the window and the program ends.
    void Finish()
    {
        EXPECT_TRUE(form->close());
        form.reset();
    }

    dw::TCurrencyEdit* Field(int number) const { return form->CurrencyEdit(number); }
    std::filesystem::path Profile() const { return dw::ProfilePath("davov"); }
    void WriteProfile(const std::string& text) const { dw::test::WriteBytes(Profile(), text); }
    std::string ReadProfile() const { return dw::test::ReadBytes(Profile()); }
    std::string Key(const std::string& key) const
    {
        return dw::TIniFile(Profile().string()).ReadString("TForm1", key, "<missing>");
    }
    static bool WaitFor(const std::function<bool()>& condition)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 5000) QTest::qWait(10);
        return condition();
    }

    dw::ScopedLocaleFormats marks{dw::test::CommaSpaceMarks()};
    std::unique_ptr<dw::TForm1> form;
    std::vector<std::string> errors;
    dw::TScreenMetrics screen;
    std::string suffix;

private:
    dw::test::ProfileSandbox m_profile;
    dw::ErrorDisplayHandler m_previous;
};

TEST_F(MainWindowStorage, FirstRunOpensAsDesignedAndTheCloseWritesTheWholeLayout)
{
    ASSERT_FALSE(std::filesystem::exists(Profile()));
    Start();
    EXPECT_EQ(form->geometry(), QRect(192, 109, 445, 365));
    EXPECT_TRUE(form->Label14()->text().isEmpty());
    for (int n = 9; n <= 45; ++n) EXPECT_EQ(Field(n)->StoredValue(), 0) << n;
    Finish();

    std::string expected =
        "[TForm1]\n"
        "Flags=0\n"
        "ShowCmd=1\n"
        "PixelsPerInch=" +
        std::to_string(screen.PixelsPerInch) + "\n" + "MinMaxPos" + suffix + "=-1,-1,-1,-1\n" +
        "MinMaxPos=-1,-1,-1,-1\n" + "NormPos" + suffix + "=192,109,637,474\n" + "NormPos=192,109,637,474\n" +
        "Visible=0\n";
    for (int n : Inputs()) expected += "CurrencyEdit" + std::to_string(n) + "_Value=0\n";
    expected += "Label14_Caption=\n";
    EXPECT_EQ(ReadProfile(), expected);
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowStorage, TypedInputsAndTheDateComeBackButTheResultsDoNot)
{
    Start();
    ASSERT_EQ(QApplication::focusWidget(), form->BitBtn1());
    // The crew types every input, moving on with Tab: 9.5 into CurrencyEdit9,
    // 10.5 into CurrencyEdit10 and so on (the point becomes the locale's comma).
    for (int n : Inputs()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), Field(n));
        QTest::keyClicks(Field(n), QStringLiteral("%1.5").arg(n));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::mouseClick(form->BitBtn1(), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors.front();
    const QString date = QString::fromStdString(dw::DateToText(dw::CurrentDate()));
    ASSERT_EQ(form->Label14()->text(), date);
    for (int n : kResults) EXPECT_NE(Field(n)->StoredValue(), 0) << n;
    Finish();
    EXPECT_EQ(Key("CurrencyEdit44_Value"), "44.5");
    EXPECT_EQ(Key("Label14_Caption"), date.toStdString());

    Start();
    for (int n : Inputs()) {
        EXPECT_EQ(Field(n)->StoredValue(), n + 0.5L) << n;
        EXPECT_EQ(Field(n)->DisplayedText(), Field(n)->FormatForDisplay(n + 0.5L)) << n;
    }
    for (int n : kResults) EXPECT_EQ(Field(n)->StoredValue(), 0) << n;
    EXPECT_EQ(form->Label14()->text(), date);
    EXPECT_EQ(form->Label14()->size(), form->Label14()->sizeHint());
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowStorage, NumbersAreStoredWithAPointUnderACommaLocale)
{
    Start();
    QTest::mouseClick(Field(44), Qt::LeftButton);
    QTest::keyClicks(Field(44), QStringLiteral("1,5"));
    QTest::keyClick(Field(44), Qt::Key_Tab);
    Finish();
    EXPECT_EQ(Key("CurrencyEdit44_Value"), "1.5");

    Start();
    EXPECT_EQ(Field(44)->StoredValue(), 1.5L);
    EXPECT_EQ(Field(44)->DisplayedText(), QStringLiteral("1,50 г/см3."));
    form.reset();

    // The same file under a point locale.
    dw::LocaleFormatSettings point = dw::test::CommaSpaceMarks();
    point.DecimalMark = ".";
    point.ThousandsMark = ",";
    dw::ScopedLocaleFormats pointMarks(point);
    Start();
    EXPECT_EQ(Field(44)->StoredValue(), 1.5L);
    EXPECT_EQ(Field(44)->DisplayedText(), QStringLiteral("1.50 г/см3."));
}

TEST_F(MainWindowStorage, AValueThatDoesNotReadLeavesOnlyItsField)
{
    std::string file = "[TForm1]\nCurrencyEdit9_Value=abc\n";
    for (int n : Inputs())
        if (n != 9)
            file += "CurrencyEdit" + std::to_string(n) + "_Value=" + std::to_string(n) + ".25\n";
    WriteProfile(file);
    Start();
    EXPECT_EQ(Field(9)->StoredValue(), 0);
    for (int n : Inputs()) {
        if (n != 9) {
            EXPECT_EQ(Field(n)->StoredValue(), n + 0.25L) << n;
        }
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowStorage, CaptionsLoseTheirPaddingAndKeepTheirOwnQuotes)
{
    const struct {
        const char* name;
        const char* stored;
        QString shown;
    } rows[] = {
        {"padded", "Label14_Caption=   12.03.2024   \n", QStringLiteral("12.03.2024")},
        {"padded inside quotes", "Label14_Caption=\"  12.03.2024 \"\n", QStringLiteral("12.03.2024")},
        {"own quotes", "Label14_Caption=\"\"12.03.2024\"\"\n", QStringLiteral("\"12.03.2024\"")},
        {"cp1251", "Label14_Caption=\xC4\xE0\xF2\xE0\n", QStringLiteral("Дата")},
    };
    for (const auto& row : rows) {
        WriteProfile(std::string("[TForm1]\n") + row.stored);
        Start();
        EXPECT_EQ(form->Label14()->text(), row.shown) << row.name;
        EXPECT_EQ(form->Label14()->size(), form->Label14()->sizeHint()) << row.name;
        form.reset();
    }

    // A caption in quotes is written with one more pair and reads back whole.
    WriteProfile("");
    Start();
    form->Label14()->setText(QStringLiteral("\"12.03.2024\""));
    Finish();
    EXPECT_NE(ReadProfile().find("\nLabel14_Caption=\"\"12.03.2024\"\"\n"), std::string::npos);
    Start();
    EXPECT_EQ(form->Label14()->text(), QStringLiteral("\"12.03.2024\""));
}

TEST_F(MainWindowStorage, NormPosAloneMovesTheWindowAndTheSizeStaysFixed)
{
    const struct {
        const char* name;
        const char* file;
        QRect geometry;
    } rows[] = {
        {"same size", "[TForm1]\nNormPos=300,200,745,565\n", QRect(300, 200, 445, 365)},
        {"larger size asked", "[TForm1]\nNormPos=10,20,900,900\n", QRect(10, 20, 445, 365)},
        {"per-screen key wins", nullptr, QRect(50, 60, 445, 365)},
        {"left not before right", "[TForm1]\nNormPos=300,200,300,565\n", QRect(192, 109, 445, 365)},
    };
    for (const auto& row : rows) {
        WriteProfile(row.file ? std::string(row.file)
                              : "[TForm1]\nNormPos" + suffix + "=50,60,495,425\nNormPos=300,200,745,565\n");
        Start();
        EXPECT_EQ(form->geometry(), row.geometry) << row.name;
        EXPECT_FALSE(form->isMaximized()) << row.name;
        form.reset();
    }
}

TEST_F(MainWindowStorage, AnotherResolutionIgnoresThePlaceButStillMaximizes)
{
    WriteProfile("[TForm1]\nShowCmd=3\nPixelsPerInch=" + std::to_string(screen.PixelsPerInch + 24) +
                 "\nNormPos=300,200,745,565\n");
    Start();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isMaximized());
    EXPECT_EQ(form->geometry(), QRect(199, 106, 445, 365));
    EXPECT_EQ(form->normalGeometry(), QRect(192, 109, 445, 365));
    Finish();
    EXPECT_EQ(Key("ShowCmd"), "3");
    EXPECT_EQ(Key("NormPos"), "192,109,637,474");
    EXPECT_EQ(Key("MinMaxPos"), "-1,-1,199,106");

    // A maximized window saved at this resolution comes back maximized and
    // returns to its own place.
    WriteProfile("[TForm1]\nShowCmd=3\nNormPos=300,200,745,565\n");
    Start();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->geometry(), QRect(199, 106, 445, 365));
    form->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->geometry(), QRect(300, 200, 445, 365));
}

TEST_F(MainWindowStorage, ShowCmdTwoOpensNormalAndThenMinimizes)
{
    WriteProfile("[TForm1]\nShowCmd=2\n");
    form = std::make_unique<dw::TForm1>();
    form->show();
    EXPECT_FALSE(form->isMinimized());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(WaitFor([this] { return form->isMinimized(); }));

    for (const char* command : {"1", "5", "9", "4", "0"}) {
        form.reset();
        WriteProfile(std::string("[TForm1]\nShowCmd=") + command + "\n");
        Start();
        QCoreApplication::processEvents();
        EXPECT_FALSE(form->isMinimized()) << command;
        EXPECT_FALSE(form->isMaximized()) << command;
    }
}

TEST_F(MainWindowStorage, ARefusedCloseSavesNothing)
{
    Start();
    Field(9)->SetValue(5);
    CloseRefuser refuser;
    form->installEventFilter(&refuser);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(std::filesystem::exists(Profile()));
    form->removeEventFilter(&refuser);
    Finish();
    EXPECT_EQ(Key("CurrencyEdit9_Value"), "5");
    EXPECT_EQ(Key("Visible"), "0");
}

TEST_F(MainWindowStorage, AnUnwritableProfileIsReportedAndTheWindowStillCloses)
{
    std::filesystem::create_directories(Profile());
    Start();
    Field(9)->SetValue(5);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    const std::string expected = "Unable to write to " + Profile().string() + ": it is a folder, not a file";
    // Said when the window opened, then by the failed save.
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Cannot read profile " + Profile().string() +
                             ": it is a folder, not a file. The program starts with its defaults and leaves the "
                             "file as it is");
    EXPECT_EQ(errors[1], expected);
    form.reset();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[2], expected);
}

// At the end of a session nobody answers a message box: a profile that
// cannot be written is said on standard error, the window closes at once
// and the file is left as it was.
TEST_F(MainWindowStorage, AnUnwritableProfileDoesNotHoldUpATerminationSignal)
{
    struct Row {
        const char* Name;
        std::function<void(const std::filesystem::path&)> Make;
        const char* Reason;
    };
    const Row rows[] = {
        {"a folder", [](const std::filesystem::path& p) { std::filesystem::create_directories(p); },
         "it is a folder, not a file"},
        {"a megabyte", [](const std::filesystem::path& p) { dw::test::WriteBytes(p, std::string(1 << 20, ';')); },
         "it is a megabyte or larger, more than a profile ever holds"},
        {"a link loop",
         [](const std::filesystem::path& p) {
             std::filesystem::create_symlink("davov.loop", p);
             std::filesystem::create_symlink("davov", p.parent_path() / "davov.loop");
         },
         "its links lead round in a loop"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        std::filesystem::remove_all(Profile().parent_path());
        std::filesystem::create_directories(Profile().parent_path());
        row.Make(Profile());
        const auto before = std::filesystem::symlink_status(Profile()).type();
        const std::string bytes = before == std::filesystem::file_type::regular ? ReadProfile() : std::string();
        errors.clear();
        dw::SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
        Start();
        dw::TerminationSignals handler;
        Field(9)->SetValue(7);
        ::raise(SIGTERM);
        EXPECT_TRUE(WaitFor([this] { return !form->isVisible(); }));
        // Only the notice of the start reached the message box.
        EXPECT_EQ(errors, std::vector<std::string>{"Cannot read profile " + Profile().string() + ": " + row.Reason +
                                                   ". The program starts with its defaults and leaves the file as "
                                                   "it is"});
        EXPECT_EQ(std::filesystem::symlink_status(Profile()).type(), before);
        if (before == std::filesystem::file_type::regular)
            EXPECT_EQ(ReadProfile(), bytes);
        form.reset();
    }
}

// The session ending or a kill must not lose what was typed.
TEST_F(MainWindowStorage, ATerminationSignalClosesTheWindowAndSavesTheInputs)
{
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        Start();
        dw::TerminationSignals handler;
        Field(9)->SetValue(number);
        ::raise(number);
        EXPECT_TRUE(WaitFor([this] { return !form->isVisible(); })) << number;
        EXPECT_EQ(Key("CurrencyEdit9_Value"), std::to_string(number)) << number;
        form.reset();
        // The signal asked the program's loop to end with 128 + its number.
        // No loop runs here to take that request up, and left pending it
        // would end every modal loop a later test opens (its previews would
        // close before they show): the program's own loop takes it up.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        EXPECT_EQ(QCoreApplication::exec(), 0) << number;
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindowStorage, MaximisingGivesTheFixedPlaceAndEdgesDoNotResize)
{
    Start();
    dw::TWindowFrame* frame = dw::TWindowFrame::Of(form.get());
    ASSERT_NE(frame, nullptr);
    QWidget* nonClient = frame->NonClientWidget();
    EXPECT_EQ(form->minimumSize(), QSize(445, 365));
    EXPECT_EQ(form->maximumSize(), QSize(445, 365));

    QTest::mouseClick(nonClient, Qt::LeftButton, {}, frame->ButtonRect(dw::THitTest::MaxButton).center());
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isMaximized());
    EXPECT_EQ(form->geometry(), QRect(199, 106, 445, 365));
    QTest::mouseClick(nonClient, Qt::LeftButton, {}, frame->ButtonRect(dw::THitTest::MaxButton).center());
    QCoreApplication::processEvents();
    EXPECT_EQ(form->geometry(), QRect(192, 109, 445, 365));

    const struct {
        const char* name;
        QPoint from, to;
    } drags[] = {
        {"right edge out", {443, 200}, {520, 200}},
        {"left edge in", {1, 200}, {80, 200}},
        {"bottom edge out", {200, 363}, {200, 450}},
        {"top-left corner in", {1, 1}, {60, 60}},
    };
    for (const auto& drag : drags) {
        QTest::mousePress(nonClient, Qt::LeftButton, {}, drag.from);
        QTest::mouseMove(nonClient, drag.to);
        QTest::mouseRelease(nonClient, Qt::LeftButton, {}, drag.to);
        QCoreApplication::processEvents();
        EXPECT_EQ(form->geometry(), QRect(192, 109, 445, 365)) << drag.name;
    }
}

TEST_F(MainWindowStorage, TheStorageIsSetUpAsDesigned)
{
    Start();
    dw::TFormStorage* storage = form->FormStorage1();
    ASSERT_NE(storage, nullptr);
    EXPECT_EQ(storage->IniFileName(), QStringLiteral("davov"));
    EXPECT_TRUE(storage->IniSection().isEmpty());
    EXPECT_EQ(storage->ProfileSection(), QStringLiteral("TForm1"));
    EXPECT_TRUE(storage->Active());
    EXPECT_FALSE(storage->PreventResize());
    EXPECT_FALSE(storage->UseRegistry());
    const QStringList props = storage->StoredProps();
    ASSERT_EQ(props.size(), 33);
    EXPECT_EQ(props.front(), QStringLiteral("CurrencyEdit9.Value"));
    EXPECT_EQ(props.at(22), QStringLiteral("CurrencyEdit31.Value"));
    EXPECT_EQ(props.at(23), QStringLiteral("CurrencyEdit36.Value"));
    EXPECT_EQ(props.at(24), QStringLiteral("CurrencyEdit38.Value"));
    EXPECT_EQ(props.back(), QStringLiteral("Label14.Caption"));
    for (int i = 0; i < props.size(); ++i) EXPECT_NE(storage->StoredComponent(i), nullptr) << i;
    EXPECT_TRUE(storage->SizeHookActive());
}

}  // namespace

namespace {

// What the window's controls look like, for comparing one size with another.
QImage Look(QWidget& window)
{
    return window.grab().toImage();
}

}  // namespace

// Larger for a rig: the keys scale the whole designed window in steps of a
// quarter, within 100 ... 250 %; the next start opens at the size last
// chosen, and 100 % is the designed window to the pixel.
TEST_F(MainWindowStorage, TheWindowScalesByKeysAndComesBackAtItsSize)
{
    Start();
    const QImage designed = Look(*form);
    const struct {
        const char* name;
        QKeySequence keys;
        int percent;
        QSize outer;
    } steps[] = {
        {"Ctrl++", QKeySequence(Qt::CTRL | Qt::Key_Plus), 125, {556, 457}},
        {"Ctrl+= (+ without Shift)", QKeySequence(Qt::CTRL | Qt::Key_Equal), 150, {668, 548}},
        {"Ctrl+- back", QKeySequence(Qt::CTRL | Qt::Key_Minus), 125, {556, 457}},
        {"Ctrl+0 to the designed size", QKeySequence(Qt::CTRL | Qt::Key_0), 100, {445, 365}},
        {"Ctrl+- stays at 100", QKeySequence(Qt::CTRL | Qt::Key_Minus), 100, {445, 365}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        QTest::keySequence(form.get(), step.keys);
        EXPECT_EQ(form->Zoom(), step.percent);
        EXPECT_EQ(form->size(), step.outer);
    }
    EXPECT_EQ(Look(*form), designed);
    for (int i = 0; i < 10; ++i) QTest::keySequence(form.get(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    EXPECT_EQ(form->Zoom(), 250);
    // Every control grows with the window: РАСЧЕТ and its text, the frame
    // and the caption bar.
    EXPECT_EQ(form->BitBtn1()->geometry(), QRect(680, 510, 218, 123));
    EXPECT_EQ(form->BitBtn1()->font().pixelSize(), 48);
    EXPECT_EQ(dw::TWindowFrame::Of(form.get())->ClientRect(), QRect(10, 58, 1093, 845));
    Finish();
    EXPECT_EQ(dw::TIniFile(Profile().string()).ReadString("Zoom", "Percent", "<missing>"), "250");
    Start();
    EXPECT_EQ(form->Zoom(), 250);
    EXPECT_EQ(form->size(), QSize(1113, 913));
    EXPECT_TRUE(errors.empty());
}

// The window menu offers the sizes too, for a mouse and for a desktop whose
// keys are taken.
TEST_F(MainWindowStorage, TheWindowMenuOffersTheSizes)
{
    Start();
    dw::TWindowFrame* frame = dw::TWindowFrame::Of(form.get());
    ASSERT_NE(frame, nullptr);
    frame->ShowSystemMenu(form->mapToGlobal(QPoint(10, 10)));
    QMenu* sizes = frame->SystemMenu()->findChild<QMenu*>(QStringLiteral("ZoomMenu"));
    ASSERT_NE(sizes, nullptr);
    QStringList offered;
    for (QAction* action : sizes->actions()) offered << action->text();
    EXPECT_EQ(offered.join(QLatin1Char(' ')), QStringLiteral("100 % 125 % 150 % 175 % 200 % 225 % 250 %"));
    EXPECT_TRUE(sizes->actions().front()->isChecked());
    sizes->actions()[2]->trigger();
    frame->SystemMenu()->close();
    EXPECT_EQ(form->Zoom(), 150);
    EXPECT_EQ(form->size(), QSize(668, 548));
}
