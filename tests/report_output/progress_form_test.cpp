// SPDX-License-Identifier: MIT
#include "report/output/progress_form.h"

#include "report/output/printer_notices.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace dw {
namespace {

struct FakeRun : IVpProgressSource {
    int percent = 0;
    int cancels = 0;
    int Progress() const override { return percent; }
    void Cancel() override { ++cancels; }
};

void Notify(QObject* window, QEvent::Type type, int value)
{
    QCoreApplication::postEvent(window, new TVpPrinterNotice(type, value));
    QCoreApplication::processEvents();
}

TEST(ProgressForm, LayoutAndTexts)
{
    TVpProgressForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Printing progress"));
    EXPECT_EQ(form.size(), QSize(147, 84));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    EXPECT_EQ(form.Info()->objectName(), QStringLiteral("Info"));
    EXPECT_EQ(form.Info()->geometry(), QRect(0, 28, 145, 13));
    EXPECT_TRUE(form.Info()->alignment().testFlag(Qt::AlignHCenter));
    EXPECT_TRUE(form.Info()->text().isEmpty());

    EXPECT_EQ(form.CancelButton()->objectName(), QStringLiteral("CancelButton"));
    EXPECT_EQ(form.CancelButton()->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(form.CancelButton()->geometry(), QRect(36, 52, 75, 25));

    EXPECT_EQ(form.ProgressBar()->minimum(), 0);
    EXPECT_EQ(form.ProgressBar()->maximum(), 100);
    EXPECT_EQ(form.ProgressBar()->geometry(), QRect(10, 10, 133, 15));
}

TEST(ProgressForm, ShowsOnlyMultiplesOfFive)
{
    struct Row {
        const char* name;
        int percent;
        int bar;
        const char* info;
    };
    // Each row follows the one before it on the same window.
    const Row rows[] = {
        {"37 changes nothing", 37, 0, ""},         {"40 shows, two spaces before the word", 40, 40, "40%  Completed"},
        {"41 keeps 40", 41, 40, "40%  Completed"}, {"0", 0, 0, "0%  Completed"},
        {"100", 100, 100, "100%  Completed"},
    };
    TVpProgressForm form;
    FakeRun run;
    form.SetVpPrinter(&run);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        run.percent = row.percent;
        Notify(&form, TVpPrinterNotice::kProgress, row.percent);
        EXPECT_EQ(form.ProgressBar()->value(), row.bar);
        EXPECT_EQ(form.Info()->text(), QString::fromUtf8(row.info));
    }
}

TEST(ProgressForm, ReadsThePrintersProgressNotTheNotice)
{
    TVpProgressForm form;
    FakeRun run;
    form.SetVpPrinter(&run);
    run.percent = 55;
    Notify(&form, TVpPrinterNotice::kProgress, 20);
    EXPECT_EQ(form.ProgressBar()->value(), 55);
    // Pages-done notices belong to previews.
    run.percent = 60;
    Notify(&form, TVpPrinterNotice::kPagesDone, 60);
    EXPECT_EQ(form.ProgressBar()->value(), 55);
}

TEST(ProgressForm, WithoutAPrinterNoticesAndCancelDoNothing)
{
    TVpProgressForm form;
    Notify(&form, TVpPrinterNotice::kProgress, 40);
    EXPECT_TRUE(form.Info()->text().isEmpty());
    QTest::mouseClick(form.CancelButton(), Qt::LeftButton);
}

TEST(ProgressForm, CancelButtonCancelsThePrinter)
{
    TVpProgressForm form;
    FakeRun run;
    form.SetVpPrinter(&run);
    form.show();
    QTest::mouseClick(form.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(run.cancels, 1);
}

TEST(ProgressForm, OpensInTheMiddleOfTheScreen)
{
    TVpProgressForm form;
    form.show();
    ASSERT_NE(form.screen(), nullptr);
    const QPoint screenCentre = form.screen()->geometry().center();
    const QPoint windowCentre = form.frameGeometry().center();
    EXPECT_LE(std::abs(screenCentre.x() - windowCentre.x()), 2);
    EXPECT_LE(std::abs(screenCentre.y() - windowCentre.y()), 2);
}

}  // namespace
}  // namespace dw
