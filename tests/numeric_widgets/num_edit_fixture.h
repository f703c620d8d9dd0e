// SPDX-License-Identifier: MIT
#pragma once

#include "common/error_display.h"
#include "numeric/core/locale_formats.h"
#include "numeric/widgets/currency_edit.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace dw::testing {

inline const QString kKilograms = QString::fromUtf8(",0.00 кг'.';-,0.00 кг'.'");
inline const QString kTonnes3 = QString::fromUtf8(",0.000 т'.';-,0.000 т'.'");

inline LocaleFormatSettings Marks(const char* decimalMark, const char* thousandsMark)
{
    LocaleFormatSettings settings;
    settings.DecimalMark = decimalMark;
    settings.ThousandsMark = thousandsMark;
    return settings;
}

// A window with a plain line edit that holds the focus at the start, two
// numeric fields below it in the keyboard order, and a button that never
// takes the focus. The locale marks are "," and " ", errors handed to the
// error display and beeps are recorded.
class NumEditFixture : public ::testing::Test {
protected:
    NumEditFixture() : m_marks(Marks(",", " ")) {}

    void SetUp() override
    {
        m_previousDisplay = SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
        window = std::make_unique<QWidget>();
        window->resize(320, 140);
        other = new QLineEdit(window.get());
        other->setGeometry(10, 10, 100, 21);
        first = new TCurrencyEdit(window.get());
        first->setGeometry(10, 40, 73, 21);
        first->SetDisplayFormat(kKilograms);
        second = new TCurrencyEdit(window.get());
        second->setGeometry(10, 70, 73, 21);
        second->SetDisplayFormat(kKilograms);
        noFocusButton = new QPushButton(QStringLiteral("x"), window.get());
        noFocusButton->setGeometry(150, 40, 60, 25);
        noFocusButton->setFocusPolicy(Qt::NoFocus);
        for (TCustomNumEdit* field : {first, second})
            QObject::connect(field, &TCustomNumEdit::Beeped, [this] { ++beeps; });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        other->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), other);
    }

    void TearDown() override
    {
        window.reset();
        SetErrorDisplay(std::move(m_previousDisplay));
    }

    // Types text into whichever widget has the focus, one character at a
    // time, the way the keyboard delivers it (non-ASCII with no key code).
    static void Type(const QString& text)
    {
        for (uint code : text.toUcs4()) {
            const char32_t character = static_cast<char32_t>(code);
            const QString one = QString::fromUcs4(&character, 1);
            QWidget* target = QApplication::focusWidget();
            if (code < 128)
                QTest::keyClick(target, static_cast<char>(code));
            else
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, one, Qt::NoModifier);
        }
    }

    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    // Tab from the plain edit (or wherever the focus is) to the next field.
    static void Tab() { Press(Qt::Key_Tab); }

    static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5)); }

    // Lets queued work (the error display after a failed exit) run.
    static void Settle() { QCoreApplication::processEvents(); }

    std::unique_ptr<QWidget> window;
    QLineEdit* other = nullptr;
    TCurrencyEdit* first = nullptr;
    TCurrencyEdit* second = nullptr;
    QPushButton* noFocusButton = nullptr;
    std::vector<std::string> errors;
    int beeps = 0;

private:
    ScopedLocaleFormats m_marks;
    ErrorDisplayHandler m_previousDisplay;
};

}  // namespace dw::testing
