// SPDX-License-Identifier: MIT
// The main window used without a mouse, through a screen reader, and under a
// dark desktop theme.

#include "app/form1.h"
#include "app/sheet_holder.h"
#include "app/translations.h"
#include "common/error_display.h"
#include "decor/transparent_button.h"
#include "numeric/core/locale_formats.h"
#include "numeric/widgets/currency_edit.h"
#include "report/output/vp_printer.h"
#include "report/generation/report.h"
#include "report/preview/preview.h"
#include "report/preview/preview_dialogs.h"
#include "report/preview/standard_preview.h"
#include "tests/app/program_windows.h"
#include "tests/support/number_marks.h"
#include "tests/support/open_preview.h"
#include "tests/support/page_records.h"
#include "tests/support/printer_test_support.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace dw {
namespace {

using test::OpenPreview;

class KeyboardAndReaders : public test::ProgramWindows {
protected:
    void SetUp() override
    {
        ProgramWindows::SetUp();
        // Inputs the calculation can work with and nothing to question, so
        // printing has a sheet at once.
        form1->CurrencyEdit(44)->SetValue(1.2L);
        form1->CurrencyEdit(45)->SetValue(7.85L);
    }

    ScopedLocaleFormats marks{test::CommaSpaceMarks()};
};

void Walk(QAccessibleInterface* node, const std::function<void(QAccessibleInterface*)>& visit)
{
    if (node == nullptr)
        return;
    visit(node);
    for (int i = 0; i < node->childCount(); ++i) Walk(node->child(i), visit);
}

TEST_F(KeyboardAndReaders, AReaderNamesEveryFieldAndPressesПЕЧАТЬ)
{
    std::set<QString> names;
    int fields = 0;
    QAccessibleInterface* print = nullptr;
    Walk(QAccessible::queryAccessibleInterface(form1.get()), [&](QAccessibleInterface* node) {
        if (qobject_cast<TCurrencyEdit*>(node->object())) {
            ++fields;
            const QString name = node->text(QAccessible::Name);
            EXPECT_FALSE(name.isEmpty()) << node->object()->objectName().toStdString();
            EXPECT_TRUE(names.insert(name).second) << name.toStdString();
        }
        if (node->role() == QAccessible::Button && node->text(QAccessible::Name) == QStringLiteral("ПЕЧАТЬ"))
            print = node;
    });
    EXPECT_EQ(fields, 37);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form1.get());
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"));
    // Without a catalogue (a locale the program has none for) the program's English.
    for (const char* name : {"Section 3 length, m", "Section 8 weight of one metre, kg/m", "Kelly weight, t",
                             "Mud specific gravity, g/cm3", "String weight in the mud, t"})
        EXPECT_EQ(names.count(QString::fromUtf8(name)), 1u) << name;
    for (int result : {32, 33, 34, 35})
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(form1->CurrencyEdit(result))->state().readOnly) << result;

    ASSERT_NE(print, nullptr) << "ПЕЧАТЬ is not a button a reader can find";
    ASSERT_NE(print->actionInterface(), nullptr);
    EXPECT_TRUE(test::PreviewOpenedDuring(
        [&] { print->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); }));
    EXPECT_TRUE(errors.empty()) << errors.front();
}

// A reader speaks the user's language: the names and tooltips come from the
// catalogue, each put together from the field's name and its unit.
TEST_F(KeyboardAndReaders, NamesAndTooltipsAreInTheUsersLanguage)
{
    const struct {
        const char* name;
        QLocale locale;
        std::vector<std::pair<int, const char*>> fields;  // field, its name
        const char* printTip;
    } rows[] = {
        {"Russian",
         QLocale(QLocale::Russian, QLocale::Russia),
         {{11, "Длина секции 3, м"},
          {19, "Диаметр секции 3, мм"},
          {36, "Вес 1 метра секции 8, кг/м"},
          {38, "Вес квадрата, т"},
          {44, "Удельный вес раствора, г/см3"},
          {34, "Вес бурового инструмента с учетом вытеснения, т"},
          {37, "Длина инструмента, м"}},
         "Заполнить и показать лист отчёта (Ctrl+P)"},
        {"no catalogue for the locale",
         QLocale::c(),
         {{11, "Section 3 length, m"}, {38, "Kelly weight, t"}, {35, "Hook load, t"}},
         "Fill in and show the report sheet (Ctrl+P)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        const Translations language(row.locale, {QStringLiteral(DW_TRANSLATIONS_DIR)});
        SetUp();
        for (const auto& [field, name] : row.fields)
            EXPECT_EQ(form1->CurrencyEdit(field)->accessibleName().toStdString(), name) << field;
        EXPECT_EQ(form1->TransparentButton1()->toolTip().toStdString(), row.printTip);
        TearDown();
        SetUp();
    }
}

TEST_F(KeyboardAndReaders, KeysDoWhatTheirNamesSay)
{
    const struct {
        const char* name;
        int from;  // the field with the focus, 0 for the window
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int focusAfter;  // a field, 0 for РАСЧЕТ, -1 for a preview opened
    } rows[] = {
        {"Enter moves to the next input", 38, Qt::Key_Return, Qt::NoModifier, 39},
        {"Enter on the keypad too", 9, Qt::Key_Enter, Qt::NoModifier, 10},
        {"Enter in a diameter", 17, Qt::Key_Return, Qt::NoModifier, 18},
        {"Enter in the last input goes to РАСЧЕТ", 45, Qt::Key_Return, Qt::NoModifier, 0},
        {"Ctrl+P prints", 38, Qt::Key_P, Qt::ControlModifier, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TCurrencyEdit* field = form1->CurrencyEdit(row.from);
        field->setFocus();
        if (row.focusAfter < 0) {
            EXPECT_TRUE(test::PreviewOpenedDuring([&] { QTest::keyClick(field, row.key, row.modifiers); }));
            continue;
        }
        QTest::keyClick(field, row.key, row.modifiers);
        QWidget* expected =
            row.focusAfter == 0 ? static_cast<QWidget*>(form1->BitBtn1()) : form1->CurrencyEdit(row.focusAfter);
        EXPECT_EQ(QApplication::focusWidget(), expected);
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
}

// The results are outside the Tab order of the inputs; F6 reaches them for
// reading, Up and Down move between them, and F6 goes back.
TEST_F(KeyboardAndReaders, F6ReachesTheResultsForReadingAndGoesBack)
{
    const struct {
        const char* name;
        Qt::Key key;
        int focusAfter;  // a field, 0 for РАСЧЕТ
    } steps[] = {
        {"F6 from the kelly weight reaches the hook load", Qt::Key_F6, 35},
        {"Down reads the total length", Qt::Key_Down, 37},
        {"Down at the last result stays", Qt::Key_Down, 37},
        {"Up goes back up", Qt::Key_Up, 35},
        {"Up again", Qt::Key_Up, 34},
        {"F6 returns to the kelly weight", Qt::Key_F6, 38},
        {"Tab goes on in the designed order", Qt::Key_Tab, 39},
    };
    form1->CurrencyEdit(38)->setFocus();
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        QTest::keyClick(QApplication::focusWidget(), step.key);
        QWidget* expected =
            step.focusAfter == 0 ? static_cast<QWidget*>(form1->BitBtn1()) : form1->CurrencyEdit(step.focusAfter);
        EXPECT_EQ(QApplication::focusWidget(), expected);
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
}

// In the preview the desktop's keys run the tool bar's commands.
TEST_F(KeyboardAndReaders, PreviewKeysRunTheToolBarsCommands)
{
    const auto backend = test::A3Backend();
    test::UseBackend(form2->VpReport1(), backend);
    std::vector<TVpFileDialogKind> dialogs;
    SetPreviewFileDialog([&](const TVpFileDialogRequest& request) {
        dialogs.push_back(request.Kind);
        return std::optional<TVpFileDialogChoice>();  // cancelled
    });
    bool ran = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        TVpStandardPreview* preview = OpenPreview();
        if (preview == nullptr || preview->VpPreview()->VpPrinter()->PageCount() < 1)
            return;
        poll.stop();
        const struct {
            const char* name;
            Qt::Key key;
            std::size_t dialogs, jobs;  // what has happened after the key
        } rows[] = {
            {"Ctrl+S asks where to save", Qt::Key_S, 1, 0},
            {"Ctrl+O asks what to load", Qt::Key_O, 2, 0},
            {"Ctrl+P prints", Qt::Key_P, 2, 1},
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.name);
            QTest::keyClick(preview->VpPreview(), row.key, Qt::ControlModifier);
            EXPECT_EQ(dialogs.size(), row.dialogs);
            EXPECT_EQ(backend->Sent.size(), row.jobs);
        }
        if (dialogs.size() == 2) {
            EXPECT_EQ(dialogs[0], TVpFileDialogKind::Save);
            EXPECT_EQ(dialogs[1], TVpFileDialogKind::Open);
        }
        ran = true;
        preview->close();
    });
    poll.start();
    QTest::keyClick(form1->CurrencyEdit(38), Qt::Key_P, Qt::ControlModifier);
    poll.stop();
    SetPreviewFileDialog(nullptr);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

// A dark desktop theme gives the window the palette of its own choosing:
// the window keeps the colours it was designed with, pixel for pixel.
TEST(MainWindowColours, ADarkDesktopThemeChangesNoPixel)
{
    const auto render = [] {
        TForm1 form;
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        return form.grab().toImage();
    };
    const QImage designed = render();
    const QPalette previous = QApplication::palette();
    QPalette dark(QColor(0xee, 0xee, 0xee), QColor(0x35, 0x35, 0x35), QColor(0x50, 0x50, 0x50),
                  QColor(0x20, 0x20, 0x20), QColor(0x2a, 0x2a, 0x2a), QColor(0xee, 0xee, 0xee), Qt::white,
                  QColor(0x24, 0x24, 0x24), QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    QApplication::setPalette(dark);
    const QImage underDark = render();
    QApplication::setPalette(previous);
    ASSERT_EQ(designed.size(), underDark.size());
    EXPECT_TRUE(designed == underDark) << "the window looks different under a dark palette";
}

}  // namespace
}  // namespace dw
