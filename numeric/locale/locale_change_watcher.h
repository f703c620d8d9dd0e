// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace dw {

// Reads the locale's conventions again when the application is told that the
// system locale changed (QEvent::LocaleChange on the application object).
// Marks, currency, date and time patterns follow the new locale; month and
// day names keep what was loaded at start-up. Text already on screen is left
// alone; the next formatting call uses the new record.
//
// Create it after the application object; it watches that object for as long
// as it lives.
class LocaleChangeWatcher : public QObject {
    Q_OBJECT

public:
    explicit LocaleChangeWatcher(QObject* parent = nullptr);
    ~LocaleChangeWatcher() override;

    LocaleChangeWatcher(const LocaleChangeWatcher&) = delete;
    LocaleChangeWatcher& operator=(const LocaleChangeWatcher&) = delete;

    // How many times the record was read again; for tests and diagnostics.
    int ReloadCount() const noexcept { return m_reloadCount; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_reloadCount = 0;
};

}  // namespace dw
