// SPDX-License-Identifier: MIT
#pragma once

// The journal's database: one SQLite file, opened the first time it is
// needed (never at start-up), created with its folder on the first record.
// Every change is one transaction, so a process killed at any moment leaves
// the file whole, and an import all in or all out. Two programs may write at
// once: each waits a moment for the other's transaction.

#include "common/errors.h"
#include "journal/core/journal_record.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace dw {

// The journal could not be read or written; Text() says why in the
// program's words, naming the file.
class EJournalError : public EInOutError {
    using EInOutError::EInOutError;
};

// What the window's table and the plot show of a record.
struct JournalSummary {
    std::int64_t Id = 0;
    std::string DateTime;
    double TotalLength = 0;
    double HookLoad = 0;
    double NetString = 0;
    double BuoyedString = 0;
    std::optional<double> Indicator;
    bool Printed = false;
    std::string Note;
    // The record's own units: every number above is in them.
    units::TUnitSystem Units = units::TUnitSystem::Metric;
};

struct JournalImportCount {
    std::size_t Added = 0;
    std::size_t Skipped = 0;  // already there: same date, time and inputs
};

class Journal {
public:
    // Nothing is opened or created here.
    explicit Journal(std::string fileName);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // $XDG_DATA_HOME/drillweight/journal.sqlite, ~/.local/share/... without it.
    static std::string DefaultFileName();
    const std::string& FileName() const noexcept { return m_fileName; }

    // Keeps a new record (its Id is ignored) and returns its id.
    std::int64_t Add(const JournalRecord& record);
    // The record was printed: this is its page.
    void MarkPrinted(std::int64_t id, const std::vector<std::uint8_t>& sheet);
    void SetIndicator(std::int64_t id, std::optional<Extended> reading);
    void SetNote(std::int64_t id, const std::string& note);
    void Remove(std::int64_t id);
    std::optional<JournalRecord> Read(std::int64_t id);
    // Newest first. A journal not yet made has none (and is not made).
    std::vector<JournalSummary> Summaries();
    std::size_t Count();
    // Every record, oldest first, pages left out.
    void ForEachRecord(const std::function<void(const JournalRecord&)>& visit);
    // All the records or none; a record already kept is skipped and counted.
    // afterRow runs after each row is written (within the transaction).
    JournalImportCount Import(const std::vector<JournalRecord>& records, const std::function<void()>& afterRow = {});

    // Set once when a damaged file was found, kept aside and a new journal
    // started: the message saying so, for the user to read once.
    std::optional<MessageText> TakeNotice();

    // Whether the file's first bytes already say it is no database (read
    // without opening it as one): a quick look for the start of a run.
    static bool HeaderDamaged(const std::string& fileName);

    // The name a damaged journal is kept under, beside it: it says so, with
    // when it was found ("journal.sqlite.damaged-2026-12-08T04-05-06").
    static std::string DamagedName(const std::string& fileName, const std::string& dateTime);

private:
    enum class Need { Read, Write };
    // Whether the journal is open; a journal that does not exist is made only
    // when writing.
    bool Open(Need need);
    void OpenFile(bool create);
    void Close() noexcept;
    void Migrate();
    // Runs work on the open journal; a damaged file found on the way is set
    // aside and the work done again on a new one.
    template <typename Work>
    auto Guarded(Need need, Work work) -> decltype(work());
    void SetAside();

    std::string m_fileName;
    sqlite3* m_db = nullptr;
    std::optional<MessageText> m_notice;
};

}  // namespace dw
