// SPDX-License-Identifier: MIT
#pragma once

// A report printer and the preview window on it, with the program's error
// display recording instead of showing boxes.

#include "common/error_display.h"
#include "report/preview/preview.h"
#include "report/preview/standard_preview.h"
#include "tests/support/preview_test_support.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dw::test {

class PreviewFixture : public ::testing::Test {
public:
    // Sized so that the preview control is 1024 x 700.
    static constexpr int kWindowWidth = 1024;
    static constexpr int kWindowHeight = 700 + 33 + 19;

    void SetUp() override
    {
        m_previousErrors = SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
    }

    void TearDown() override
    {
        delete window.data();
        SetErrorDisplay(m_previousErrors);
    }

    TVpStandardPreview& Open()
    {
        window = ShowStandardPreview(*printer);
        window->setWindowState(Qt::WindowNoState);
        window->resize(kWindowWidth, kWindowHeight);
        Notices();
        return *window;
    }

    TVpPreview& Preview() { return *window->VpPreview(); }

    // Lets posted notices arrive.
    static void Notices() { QCoreApplication::processEvents(); }

    std::unique_ptr<TVpPrinter> printer = MakeA3Printer();
    QPointer<TVpStandardPreview> window;
    std::vector<std::string> errors;

private:
    ErrorDisplayHandler m_previousErrors;
};

}  // namespace dw::test
