// SPDX-License-Identifier: MIT
#pragma once

#include "journal/core/journal.h"

#include <QObject>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dw {

// The program's one journal and the rule that it never costs a measurement:
// a record that cannot be kept is lost with one message per run saying why
// (not one per calculation), and a damaged file's notice is shown once. The
// messages are shown once the action that kept the record is over, so a
// calculation or a sheet is never held up by them.
class TCrewJournal : public QObject {
    Q_OBJECT

public:
    explicit TCrewJournal(std::string fileName = Journal::DefaultFileName(), QObject* parent = nullptr);

    Journal& Store() { return m_journal; }

    // Keeps a record; its id, or none when the journal failed.
    std::optional<std::int64_t> Keep(const JournalRecord& record) noexcept;
    // The record was printed, with this page; nothing when the journal fails.
    void MarkPrinted(std::int64_t id, const std::vector<std::uint8_t>& sheet) noexcept;
    // Shows a damaged file's notice, if there is one to show.
    void ShowNotice();
    // For the start of a run, once the window is up: a file that is plainly
    // no database is set aside and said so at once, without waiting for the
    // first record. A sound journal is not opened here.
    void CheckAtStart() noexcept;

signals:
    // A record was kept or changed from outside the journal window.
    void RecordsChanged();

private:
    void Failed(const Exception& error);

    Journal m_journal;
    bool m_failureShown = false;
};

}  // namespace dw
