// SPDX-License-Identifier: MIT
#pragma once

// The program's two windows as start-up makes them, shown and active, with
// the errors they report collected instead of shown; for the tests that
// drive the main window and its print command.

#include "app/form1.h"
#include "app/sheet_holder.h"
#include "common/error_display.h"
#include "report/output/vp_printer.h"
#include "report/preview/preview_dialogs.h"
#include "report/preview/standard_preview.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace dw::test {

class ProgramWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousErrors = SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
        RegisterStandardPreview();
        form2 = std::make_unique<TSheetHolder>();
        form1 = std::make_unique<TForm1>(form2.get());
        form1->show();
        form1->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form1.get()));
    }
    void TearDown() override
    {
        SetPreviewFileDialog(nullptr);
        form1.reset();
        form2.reset();
        SetStandardPreviewFactory(nullptr);
        SetErrorDisplay(std::move(m_previousErrors));
    }

    std::unique_ptr<TSheetHolder> form2;
    std::unique_ptr<TForm1> form1;
    std::vector<std::string> errors;

private:
    ErrorDisplayHandler m_previousErrors;
};

}  // namespace dw::test
