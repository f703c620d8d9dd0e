// SPDX-License-Identifier: MIT
#pragma once

// The main function of the Qt test programs: one application object for the
// whole run, set up the same way in every program.

#include <QCoreApplication>

#include <functional>
#include <memory>

namespace dw::test {

enum class TestApplication { Core, Gui, Widgets };

struct TestMain {
    TestApplication Application = TestApplication::Widgets;
    // Builds the program's own application object instead, where the tests
    // must see what it does (its error box, its last-resort catching).
    std::function<std::unique_ptr<QCoreApplication>(int& argc, char** argv)> MakeApplication;
    // Qt switches LC_NUMERIC to the user's locale; the C library's number
    // conversions in the tests expect "C".
    bool CNumbers = true;
    // Printing reaches only a spooler of the tests' own, never the machine's.
    bool PrivateSpooler = false;
    // Every test gets a profile directory of its own, for programs whose
    // windows restore and save the profile as they come and go.
    bool ProfilePerTest = false;
    // More set-up once the application object exists.
    std::function<void()> AfterStart;
};

int RunAllTests(int argc, char** argv, const TestMain& setup);

}  // namespace dw::test
