// SPDX-License-Identifier: MIT
#include "storage/widgets/form_storage.h"

#include "common/error_display.h"
#include "numeric/core/locale_formats.h"
#include "numeric/widgets/currency_edit.h"
#include "storage/core/ini_file.h"
#include "storage/core/profile_location.h"
#include "tests/storage_core/file_size_limit.h"
#include "tests/support/profile_sandbox.h"
#include "window/window_messages.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace dw {

// A small form with one numeric field and one label, its storage a member
// as the program keeps it.
class TTestForm : public QWidget {
    Q_OBJECT

public:
    explicit TTestForm(bool load = true)
    {
        setObjectName(QStringLiteral("TestForm"));
        setGeometry(100, 80, 300, 200);
        field = new TCurrencyEdit(this);
        field->setObjectName(QStringLiteral("Edit1"));
        field->setGeometry(10, 10, 80, 21);
        second = new TCurrencyEdit(this);
        second->setObjectName(QStringLiteral("Edit2"));
        second->setGeometry(10, 40, 80, 21);
        label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label1"));
        label->move(10, 70);
        storage = std::make_unique<TFormStorage>(this);
        storage->SetIniFileName(QStringLiteral("davov"));
        storage->SetStoredProps(
            {QStringLiteral("Edit1.Value"), QStringLiteral("Edit2.Value"), QStringLiteral("Label1.Caption")});
        if (load)
            storage->Loaded();
    }
    ~TTestForm() override { storage.reset(); }

    bool refuseClose = false;
    TCurrencyEdit* field = nullptr;
    TCurrencyEdit* second = nullptr;
    QLabel* label = nullptr;
    std::unique_ptr<TFormStorage> storage;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (refuseClose)
            event->ignore();
        else
            event->accept();
    }
};

// A component whose stored value looks at the profile file whenever it is
// read, so a test sees what the file holds in the middle of a save.
class TFileWatcher : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Seen READ Seen WRITE SetSeen)

public:
    using QObject::QObject;

    std::function<std::string()> look;
    mutable std::vector<std::string> seen;

    QString Seen() const
    {
        if (look)
            seen.push_back(look());
        return QStringLiteral("x");
    }
    void SetSeen(const QString&) {}
};

namespace {

using test::FileSizeLimit;

class FormStorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
        screen = TFormPlacement::CurrentScreen();
        suffix = ScreenSuffix(screen);
    }
    void TearDown() override { SetErrorDisplay(std::move(m_previous)); }

    std::filesystem::path Profile() const { return ProfilePath("davov"); }
    void WriteProfile(const std::string& text) const { dw::test::WriteBytes(Profile(), text); }
    std::string ReadProfile() const { return dw::test::ReadBytes(Profile()); }
    std::string Key(const char* key) const
    {
        return TIniFile(Profile().string()).ReadString("TTestForm", key, "<missing>");
    }
    static void Show(QWidget& form)
    {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    std::vector<std::string> errors;
    TScreenMetrics screen;
    std::string suffix;

private:
    dw::test::ProfileSandbox m_profile;
    ErrorDisplayHandler m_previous;
};

TEST_F(FormStorageTest, PublishedPropertiesStartAtTheirDefaults)
{
    QWidget form;
    TFormPlacement onForm(&form);
    EXPECT_TRUE(onForm.Active());
    EXPECT_TRUE(onForm.IniFileName().isEmpty());
    EXPECT_TRUE(onForm.IniSection().isEmpty());
    EXPECT_EQ(onForm.Options(),
              TFormPlacement::TPlacementOptions(TFormPlacement::fpState | TFormPlacement::fpPosition));
    EXPECT_FALSE(onForm.PreventResize());
    EXPECT_FALSE(onForm.UseRegistry());
    EXPECT_FALSE(onForm.MinMaxInfo().IsSet());
    EXPECT_FALSE(onForm.Restored() || onForm.Saved() || onForm.Destroying());
    // On a control the placement has nothing of its own to keep.
    QWidget control(&form);
    TFormPlacement onControl(&control);
    EXPECT_EQ(onControl.Options(), TFormPlacement::TPlacementOptions());
    // The properties are published to the property system.
    EXPECT_EQ(onForm.property("Active").toBool(), true);
    EXPECT_TRUE(onForm.setProperty("IniFileName", QStringLiteral("other")));
    EXPECT_EQ(onForm.IniFileName(), QStringLiteral("other"));
    TFormStorage storage(&form);
    EXPECT_TRUE(storage.StoredProps().isEmpty());
}

TEST_F(FormStorageTest, ShowRestoresAndAnAllowedCloseSaves)
{
    WriteProfile("[TTestForm]\nEdit1_Value=12.5\nEdit2_Value=3\nLabel1_Caption=01.02.2024\n");
    TTestForm form;
    QSignalSpy restored(form.storage.get(), &TFormPlacement::OnRestorePlacement);
    QSignalSpy saved(form.storage.get(), &TFormPlacement::OnSavePlacement);
    Show(form);
    EXPECT_EQ(form.field->StoredValue(), 12.5L);
    EXPECT_EQ(form.second->StoredValue(), 3);
    EXPECT_EQ(form.label->text(), QStringLiteral("01.02.2024"));
    EXPECT_EQ(restored.count(), 1);
    EXPECT_TRUE(form.storage->Restored());

    form.field->SetValue(7.25L);
    form.label->setText(QStringLiteral("05.06.2025"));
    EXPECT_TRUE(form.close());
    EXPECT_EQ(saved.count(), 1);
    EXPECT_TRUE(form.storage->Saved());
    EXPECT_EQ(Key("Edit1_Value"), "7.25");
    EXPECT_EQ(Key("Label1_Caption"), "05.06.2025");
    EXPECT_EQ(Key("Visible"), "0");
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormStorageTest, ARefusedCloseSavesNothing)
{
    auto form = std::make_unique<TTestForm>();
    Show(*form);
    form->field->SetValue(9);
    form->refuseClose = true;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(std::filesystem::exists(Profile()));
    EXPECT_FALSE(form->storage->Saved());

    form->refuseClose = false;
    EXPECT_TRUE(form->close());
    EXPECT_EQ(Key("Edit1_Value"), "9");
    // The destruction that follows a save does not save again.
    const std::string afterClose = ReadProfile();
    form->field->SetValue(10);
    form.reset();
    EXPECT_EQ(ReadProfile(), afterClose);
}

TEST_F(FormStorageTest, DestructionWithoutASaveSavesWithVisibleSet)
{
    auto form = std::make_unique<TTestForm>();
    Show(*form);
    form->field->SetValue(4.5L);
    form.reset();
    EXPECT_EQ(Key("Edit1_Value"), "4.5");
    EXPECT_EQ(Key("Visible"), "1");
}

TEST_F(FormStorageTest, AStorageLeftToItsFormsChildrenStillSavesUnderTheFormsSection)
{
    // Destroyed among the form's children, after the controls it lists: the
    // placement still goes to the form's own section and nothing breaks.
    auto* form = new TTestForm(false);
    form->storage.reset();
    auto* storage = new TFormStorage(form);
    storage->SetIniFileName(QStringLiteral("davov"));
    storage->SetStoredProps({QStringLiteral("Edit1.Value")});
    storage->Loaded();
    Show(*form);
    form->field->SetValue(2);
    delete form;
    QCoreApplication::processEvents();
    EXPECT_EQ(Key("NormPos"), "100,80,400,280");
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormStorageTest, AWindowThatNeverRestoredNeverOverwritesTheFile)
{
    WriteProfile("[TTestForm]\nEdit1_Value=1\n");
    {
        TTestForm form;
        form.field->SetValue(2);
        form.storage->SaveToProfile();
        EXPECT_FALSE(form.storage->Saved());
    }
    EXPECT_EQ(Key("Edit1_Value"), "1");

    // Inactive, it neither restores on show nor saves on close, but a direct
    // save goes through.
    TTestForm form;
    form.storage->SetActive(false);
    Show(form);
    EXPECT_EQ(form.field->StoredValue(), 0);
    form.field->SetValue(3);
    form.close();
    EXPECT_EQ(Key("Edit1_Value"), "1");
    form.storage->SaveToProfile();
    EXPECT_EQ(Key("Edit1_Value"), "3");
}

TEST_F(FormStorageTest, TheStoredListKeepsOnlyLinesThatNameAComponent)
{
    TTestForm form(false);
    form.storage->SetStoredProps({
        QStringLiteral("Edit1.Value"),
        QStringLiteral("  edit2 . value  "),
        QStringLiteral("Label1.Caption.More"),
        QStringLiteral("Missing.Value"),
        QStringLiteral("NoDot"),
        QStringLiteral(".Value"),
        QStringLiteral("Edit1. "),
        QStringLiteral("Edit1.NoSuchProperty"),
    });
    form.storage->Loaded();
    EXPECT_EQ(form.storage->StoredProps(),
              QStringList({QStringLiteral("Edit1.Value"), QStringLiteral("  edit2 . value  "),
                           QStringLiteral("Label1.Caption.More"), QStringLiteral("Edit1.NoSuchProperty")}));
    EXPECT_EQ(form.storage->StoredComponent(1), form.second);
    EXPECT_EQ(form.storage->StoredComponent(9), nullptr);

    // Saving writes each line under the component's name and the property's
    // declared name, and rewrites the list with the current names.
    Show(form);
    form.second->SetValue(5);
    form.storage->SaveToProfile();
    EXPECT_EQ(Key("Edit2_Value"), "5");
    EXPECT_EQ(Key("Edit1_NoSuchProperty"), "<missing>");
    EXPECT_EQ(Key("Label1_Caption.More"), "<missing>");
    EXPECT_EQ(form.storage->StoredProps().at(1), QStringLiteral("Edit2.value"));
}

TEST_F(FormStorageTest, ADestroyedComponentLeavesTheListAndARenamedOneIsSavedUnderItsNewName)
{
    TTestForm form;
    Show(form);
    delete form.second;
    form.second = nullptr;
    EXPECT_EQ(form.storage->StoredProps(),
              QStringList({QStringLiteral("Edit1.Value"), QStringLiteral("Label1.Caption")}));
    form.field->setObjectName(QStringLiteral("Length"));
    form.field->SetValue(8);
    form.storage->SaveToProfile();
    EXPECT_EQ(Key("Length_Value"), "8");
    EXPECT_EQ(Key("Edit1_Value"), "<missing>");
    EXPECT_EQ(form.storage->StoredProps().at(0), QStringLiteral("Length.Value"));
}

TEST_F(FormStorageTest, AValueThatDoesNotReadLeavesOnlyItsProperty)
{
    WriteProfile("[TTestForm]\nEdit1_Value=abc\nEdit2_Value=6\nLabel1_Caption=  padded  \n");
    TTestForm form;
    form.field->SetValue(1);
    Show(form);
    EXPECT_EQ(form.field->StoredValue(), 1);
    EXPECT_EQ(form.second->StoredValue(), 6);
    EXPECT_EQ(form.label->text(), QStringLiteral("padded"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormStorageTest, QuotedValuesGetAnExtraPairAndReadBackWhole)
{
    TTestForm form;
    Show(form);
    const QString quoted = QStringLiteral("\"12.03.2024\"");
    form.label->setText(quoted);
    form.storage->SaveToProfile();
    EXPECT_NE(ReadProfile().find("Label1_Caption=\"\"12.03.2024\"\"\n"), std::string::npos);
    form.label->setText(QString());
    form.storage->RestoreFromProfile();
    EXPECT_EQ(form.label->text(), quoted);

    form.storage->ProfileWriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("'x'"));
    EXPECT_EQ(form.storage->ProfileReadString(QStringLiteral("S"), QStringLiteral("k"), QString()),
              QStringLiteral("'x'"));
    form.storage->ProfileWriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("\"x'"));
    EXPECT_EQ(form.storage->ProfileReadString(QStringLiteral("S"), QStringLiteral("k"), QString()),
              QStringLiteral("\"x'"));
    EXPECT_EQ(form.storage->ProfileReadString(QStringLiteral("S"), QStringLiteral("none"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST_F(FormStorageTest, AnUnwritableProfileIsReportedAndTheWindowStillCloses)
{
    // The profile's place is taken by a directory: no write can replace it.
    std::filesystem::create_directories(Profile());
    auto form = std::make_unique<TTestForm>();
    Show(*form);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    const std::string expected = "Unable to write to " + Profile().string() + ": it is a folder, not a file";
    // Said once when the window opened, and again by the save that failed.
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Cannot read profile " + Profile().string() +
                             ": it is a folder, not a file. The program starts with its defaults and leaves the "
                             "file as it is");
    EXPECT_EQ(errors[1], expected);
    EXPECT_FALSE(form->storage->Saved());
    // The destruction tries once more and reports once more.
    form.reset();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[2], expected);
}

TEST_F(FormStorageTest, ASaveWritesTheFileOnceWhenItHasEverything)
{
    const std::string before = "[TTestForm]\nEdit1_Value=1\n";
    WriteProfile(before);
    TTestForm form;
    auto* watcher = new TFileWatcher(&form);
    watcher->setObjectName(QStringLiteral("Watcher1"));
    watcher->look = [this] { return ReadProfile(); };
    form.storage->SetStoredProps({QStringLiteral("Edit1.Value"), QStringLiteral("Watcher1.Seen")});
    Show(form);
    form.field->SetValue(7);
    watcher->seen.clear();
    QSignalSpy saved(form.storage.get(), &TFormPlacement::OnSavePlacement);
    QObject::connect(form.storage.get(), &TFormPlacement::OnSavePlacement,
                     [this] { EXPECT_EQ(Key("Edit1_Value"), "7") << "stored before the save is announced"; });
    form.storage->SaveToProfile();
    // Halfway through the save (the placement keys and the first value were
    // already taken) the file is still as it was.
    ASSERT_EQ(watcher->seen.size(), 1u);
    EXPECT_EQ(watcher->seen[0], before);
    EXPECT_EQ(saved.count(), 1);
    EXPECT_EQ(Key("Edit1_Value"), "7");
    EXPECT_EQ(Key("Watcher1_Seen"), "x");
    EXPECT_EQ(Key("Visible"), "0");
}

TEST_F(FormStorageTest, AFailedSaveLeavesTheWholeFileAsItWas)
{
    const std::string before = "[TTestForm]\nEdit1_Value=1\nNormPos=1,2,3,4\n";
    WriteProfile(before);
    auto form = std::make_unique<TTestForm>();
    Show(*form);
    form->field->SetValue(2);
    // The placement and the first values would fit; the caption does not.
    form->label->setText(QString(8000, QLatin1Char('x')));
    {
        FileSizeLimit limit(4096);
        EXPECT_TRUE(form->close());
    }
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Unable to write to " + Profile().string() + ": the disk is full");
    EXPECT_FALSE(form->storage->Saved());
    EXPECT_EQ(ReadProfile(), before);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Profile().parent_path(), error))
        EXPECT_EQ(entry.path().filename(), Profile().filename()) << "left behind by the failed save";
    // With room again, the save at destruction stores it all.
    form->label->setText(QStringLiteral("ok"));
    form.reset();
    EXPECT_EQ(Key("Edit1_Value"), "2");
    EXPECT_EQ(Key("Label1_Caption"), "ok");
    EXPECT_EQ(Key("Visible"), "1");
}

TEST_F(FormStorageTest, ThePlacementIsSavedAndComesBack)
{
    {
        TTestForm form;
        Show(form);
        form.setGeometry(120, 90, 320, 210);
        form.close();
    }
    EXPECT_EQ(Key("ShowCmd"), "1");
    EXPECT_EQ(Key("PixelsPerInch"), std::to_string(screen.PixelsPerInch));
    EXPECT_EQ(Key(("NormPos" + suffix).c_str()), "120,90,440,300");
    EXPECT_EQ(Key("NormPos"), "120,90,440,300");
    EXPECT_EQ(Key(("MinMaxPos" + suffix).c_str()), "-1,-1,-1,-1");
    TTestForm form;
    Show(form);
    EXPECT_EQ(form.geometry(), QRect(120, 90, 320, 210));
}

// A session whose platform cannot say where a window stands (Wayland) reads
// every window at 0,0: closing the window there keeps the position another
// session stored.
TEST_F(FormStorageTest, APlatformThatCannotReportThePositionLeavesTheStoredOne)
{
    const struct {
        const char* name;
        bool reported;
        const char* stored;     // the file before, "" for none
        const char* normalPos;  // NormPos afterwards
    } rows[] = {
        {"a desktop that reports it", true, "[TTestForm]\nNormPos=300,200,620,410\n", "0,0,320,210"},
        {"one that cannot, with a stored position", false, "[TTestForm]\nNormPos=300,200,620,410\n", "300,200,620,410"},
        {"one that cannot, with none stored", false, "", "<missing>"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WriteProfile(row.stored);
        {
            TTestForm form;
            form.storage->SetPositionReported(row.reported);
            Show(form);
            form.setGeometry(0, 0, 320, 210);
            form.close();
        }
        EXPECT_EQ(Key("NormPos"), row.normalPos);
        EXPECT_EQ(Key(("NormPos" + suffix).c_str()), row.reported ? "0,0,320,210" : "<missing>");
        EXPECT_EQ(Key("ShowCmd"), "1");
        EXPECT_EQ(Key("Edit1_Value"), "0");
    }
}

TEST_F(FormStorageTest, StateAndPositionFollowTheOptions)
{
    const std::string file = "[TTestForm]\nShowCmd=3\nNormPos=50,60,350,260\n";
    const struct {
        const char* name;
        TFormPlacement::TPlacementOptions options;
        QRect normal;
        bool maximized;
    } rows[] = {
        {"both", TFormPlacement::fpState | TFormPlacement::fpPosition, {50, 60, 300, 200}, true},
        {"position only", TFormPlacement::fpPosition, {50, 60, 300, 200}, false},
        {"state only", TFormPlacement::fpState, {100, 80, 300, 200}, true},
        {"neither", {}, {100, 80, 300, 200}, false},
    };
    for (const auto& row : rows) {
        WriteProfile(file);
        TTestForm form;
        form.storage->SetOptions(row.options);
        Show(form);
        EXPECT_EQ(form.normalGeometry(), row.normal) << row.name;
        EXPECT_EQ(form.isMaximized(), row.maximized) << row.name;
    }
}

TEST_F(FormStorageTest, APlacementOffEveryScreenIsBroughtBack)
{
    WriteProfile("[TTestForm]\nNormPos=30000,30000,30300,30200\n");
    TTestForm form;
    Show(form);
    EXPECT_EQ(form.size(), QSize(300, 200));
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(form.geometry()));
}

TEST_F(FormStorageTest, TheActiveControlIsKeptWhenAsked)
{
    {
        TTestForm form;
        form.storage->SetOptions(form.storage->Options() | TFormPlacement::fpActiveControl);
        Show(form);
        form.second->setFocus();
        form.close();
    }
    EXPECT_EQ(Key("ActiveControl"), "Edit2");
    TTestForm form;
    form.storage->SetOptions(form.storage->Options() | TFormPlacement::fpActiveControl);
    form.field->setFocus();
    Show(form);
    EXPECT_EQ(form.focusWidget(), form.second);
}

TEST_F(FormStorageTest, TheSectionIsNamedAfterTheOwner)
{
    QWidget plainForm;
    TTestForm form;
    QWidget control(&form);
    control.setObjectName(QStringLiteral("Panel1"));
    QObject helper(&form);
    helper.setObjectName(QStringLiteral("Helper"));
    QObject orphan;
    orphan.setObjectName(QStringLiteral("Orphan"));
    const struct {
        const char* name;
        QObject* owner;
        const char* section;
    } rows[] = {
        {"form in a namespace", &form, "TTestForm"},        {"plain form", &plainForm, "QWidget"},
        {"control on a form", &control, "TTestFormPanel1"}, {"object of a form", &helper, "TTestForm.Helper"},
        {"object without a form", &orphan, "Orphan"},
    };
    for (const auto& row : rows) {
        TFormPlacement placement(row.owner);
        EXPECT_EQ(placement.DefaultProfileSection(), QString::fromLatin1(row.section)) << row.name;
        EXPECT_EQ(placement.ProfileSection(), QString::fromLatin1(row.section)) << row.name;
        placement.SetIniSection(QStringLiteral("Mine"));
        EXPECT_EQ(placement.ProfileSection(), QStringLiteral("Mine")) << row.name;
    }
    TFormPlacement ownerless(nullptr);
    EXPECT_TRUE(ownerless.DefaultProfileSection().isEmpty());
}

TEST_F(FormStorageTest, TheDefaultProfileIsNamedAfterTheProgram)
{
    EXPECT_EQ(TFormPlacement::DefaultProfileName(), QStringLiteral("storage_widgets_tests.INI"));
    TFormPlacement::SetDefaultProfileNameHook([] { return QStringLiteral("shared.ini"); });
    EXPECT_EQ(TFormPlacement::DefaultProfileName(), QStringLiteral("shared.ini"));
    TFormPlacement::SetDefaultProfileNameHook(nullptr);
    QWidget form;
    TFormPlacement placement(&form);
    EXPECT_EQ(placement.ProfileFileName(), TFormPlacement::DefaultProfileName());
}

// ---------------------------------------------------------------------------
// Size limits: the frame of a window asks them through the size query.

TMinMaxInfo SystemLimits()
{
    TMinMaxInfo info;
    info.MaxSize = QSize(1032, 776);
    info.MaxPosition = QPoint(-4, -4);
    info.MinTrackSize = QSize(112, 27);
    info.MaxTrackSize = QSize(1036, 780);
    return info;
}

TMinMaxInfo Ask(QWidget& window, bool* accepted = nullptr)
{
    TMinMaxInfoEvent query(SystemLimits());
    SendNonClientEvent(&window, query);
    if (accepted)
        *accepted = query.isAccepted();
    return query.Info();
}

TEST_F(FormStorageTest, NonZeroLimitsOverwriteTheSizeQuery)
{
    const struct {
        const char* name;
        std::array<std::int32_t, 8> limits;  // in index order
        TMinMaxInfo expected;
    } rows[] = {
        {"the main window's",
         {199, 106, 365, 445, 365, 445, 365, 445},
         {QSize(445, 365), QPoint(199, 106), QSize(445, 365), QSize(445, 365)}},
        {"only a minimum width",
         {0, 0, 0, 0, 0, 0, 0, 300},
         {QSize(1032, 776), QPoint(-4, -4), QSize(300, 27), QSize(1036, 780)}},
        {"only a maximized top",
         {0, 50, 0, 0, 0, 0, 0, 0},
         {QSize(1032, 776), QPoint(-4, 50), QSize(112, 27), QSize(1036, 780)}},
        {"none: maximized at the corner",
         {0, 0, 0, 0, 0, 0, 0, 0},
         {QSize(1032, 776), QPoint(0, 0), QSize(112, 27), QSize(1036, 780)}},
    };
    for (const auto& row : rows) {
        QWidget form;
        TFormPlacement placement(&form);
        TWinMinMaxInfo limits;
        for (int i = 0; i < 8; ++i)
            limits.SetValue(static_cast<TWinMinMaxInfo::Index>(i), row.limits[static_cast<std::size_t>(i)]);
        placement.SetMinMaxInfo(limits);
        TMinMaxInfo info = SystemLimits();
        placement.ApplySizeLimits(info);
        EXPECT_EQ(info.MaxSize, row.expected.MaxSize) << row.name;
        EXPECT_EQ(info.MaxPosition, row.expected.MaxPosition) << row.name;
        EXPECT_EQ(info.MinTrackSize, row.expected.MinTrackSize) << row.name;
        EXPECT_EQ(info.MaxTrackSize, row.expected.MaxTrackSize) << row.name;

        // Through the window's hook, once loading has ended.
        placement.Loaded();
        bool accepted = false;
        const TMinMaxInfo asked = Ask(form, &accepted);
        EXPECT_EQ(placement.SizeHookActive(), limits.IsSet()) << row.name;
        EXPECT_EQ(accepted, limits.IsSet()) << row.name;
        if (limits.IsSet()) {
            EXPECT_EQ(asked.MinTrackSize, row.expected.MinTrackSize) << row.name;
        }
    }
}

TEST_F(FormStorageTest, TheSizeHookFollowsTheLimitsAfterLoading)
{
    QWidget form;
    TFormPlacement placement(&form);
    placement.MinMaxInfo().SetMinTrackWidth(200);
    EXPECT_FALSE(placement.SizeHookActive());  // not before loading ends
    placement.Loaded();
    EXPECT_TRUE(placement.SizeHookActive());
    placement.MinMaxInfo().SetMinTrackWidth(0);
    EXPECT_FALSE(placement.SizeHookActive());
    EXPECT_EQ(Ask(form).MinTrackSize, SystemLimits().MinTrackSize);
    placement.MinMaxInfo().SetMaxTrackHeight(500);
    EXPECT_TRUE(placement.SizeHookActive());
    EXPECT_EQ(Ask(form).MaxTrackSize, QSize(1036, 500));
}

TEST_F(FormStorageTest, PreventResizePinsTheSizeAndTakesTheBordersAway)
{
    QWidget form;
    form.setGeometry(40, 50, 333, 222);
    TFormPlacement placement(&form);
    placement.SetPreventResize(true);
    placement.Loaded();
    Show(form);
    const TMinMaxInfo info = Ask(form);
    EXPECT_EQ(info.MinTrackSize, QSize(333, 222));
    EXPECT_EQ(info.MaxTrackSize, QSize(333, 222));
    EXPECT_EQ(info.MaxSize, QSize(333, 222));

    const struct {
        THitTest frame;
        THitTest expected;
    } rows[] = {
        {THitTest::Left, THitTest::Nowhere},
        {THitTest::Right, THitTest::Nowhere},
        {THitTest::Top, THitTest::Nowhere},
        {THitTest::Bottom, THitTest::Nowhere},
        {THitTest::TopLeft, THitTest::Nowhere},
        {THitTest::TopRight, THitTest::Nowhere},
        {THitTest::BottomLeft, THitTest::Nowhere},
        {THitTest::BottomRight, THitTest::Nowhere},
        {THitTest::Caption, THitTest::Caption},
        {THitTest::Client, THitTest::Client},
        {THitTest::CloseButton, THitTest::CloseButton},
    };
    for (const auto& row : rows) {
        TNcHitTestEvent hit(QPoint(0, 0));
        hit.SetDefaultProcessing([&hit, &row] { hit.SetResult(row.frame); });
        SendNonClientEvent(&form, hit);
        EXPECT_EQ(hit.Result(), row.expected) << static_cast<int>(row.frame);
    }
    placement.SetPreventResize(false);
    EXPECT_FALSE(placement.SizeHookActive());
}

}  // namespace
}  // namespace dw

#include "form_storage_test.moc"
