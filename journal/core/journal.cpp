// SPDX-License-Identifier: MIT
#include "journal/core/journal.h"

#include "common/input_file.h"
#include "common/replace_file.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dw {

namespace {

// The version this program writes; older ones are brought up to it step by
// step when the journal is opened.
constexpr int kSchemaVersion = 1;

// How long a change waits for another program's transaction before it gives
// up; long enough for another instance's record or a large import, short
// enough that a calculation never feels held.
constexpr int kBusyTimeoutMs = 2000;

// A file that is not a database, or one whose pages do not hold together.
class EJournalDamaged : public Exception {
    using Exception::Exception;
};

MessageText Reason(sqlite3* db, int code)
{
    switch (code & 0xff) {
        case SQLITE_READONLY:
            return DW_TEXT("Message", "it is read-only");
        case SQLITE_FULL:
            return DW_TEXT("Message", "the disk is full");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return DW_TEXT("Message", "another program holds it locked");
        case SQLITE_CANTOPEN:
        case SQLITE_IOERR:
        case SQLITE_PERM:
            if (db != nullptr && sqlite3_system_errno(db) != 0)
                return InOutErrorText(sqlite3_system_errno(db));
            // A write the system refused without the library keeping why: a
            // file grown past what the disk or the process may hold.
            if (code == SQLITE_IOERR_WRITE || code == SQLITE_IOERR_FSYNC || code == SQLITE_IOERR_TRUNCATE)
                return DW_TEXT("Message", "it cannot be written; the disk may be full");
            if ((code & 0xff) == SQLITE_CANTOPEN)
                return DW_TEXT("Message", "it cannot be opened");
            return MessageText::Verbatim(sqlite3_errstr(code));
        default:
            return MessageText::Verbatim(db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    }
}

[[noreturn]] void Fail(sqlite3* db, int code, const std::string& fileName)
{
    const int primary = code & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        throw EJournalDamaged(MessageText::Verbatim("damaged"));
    throw EJournalError(MessageText(DW_TEXT("Message", "Cannot use the journal %1: %2"),
                                    {MessageText::Verbatim(fileName), Reason(db, code)}));
}

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql, const std::string& fileName) : m_db(db), m_fileName(fileName)
    {
        const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &m_stmt, nullptr);
        if (rc != SQLITE_OK)
            Fail(db, rc, fileName);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Bind(int index, const std::string& text)
    {
        Check(sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
    }
    void Bind(int index, std::int64_t value) { Check(sqlite3_bind_int64(m_stmt, index, value)); }
    void BindNull(int index) { Check(sqlite3_bind_null(m_stmt, index)); }
    void BindBlob(int index, const std::vector<std::uint8_t>& bytes)
    {
        if (bytes.empty())
            BindNull(index);
        else
            Check(sqlite3_bind_blob(m_stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT));
    }
    // True while there is a row.
    bool Step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            Fail(m_db, rc, m_fileName);
        return false;
    }
    void Reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    std::string Text(int column) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return text != nullptr ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column)))
                               : std::string();
    }
    bool Null(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
    double Double(int column) const { return sqlite3_column_double(m_stmt, column); }
    std::int64_t Int(int column) const { return sqlite3_column_int64(m_stmt, column); }
    std::vector<std::uint8_t> Blob(int column) const
    {
        const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(m_stmt, column));
        return bytes != nullptr ? std::vector<std::uint8_t>(bytes, bytes + sqlite3_column_bytes(m_stmt, column))
                                : std::vector<std::uint8_t>();
    }

private:
    void Check(int rc)
    {
        if (rc != SQLITE_OK)
            Fail(m_db, rc, m_fileName);
    }

    sqlite3* m_db;
    const std::string& m_fileName;
    sqlite3_stmt* m_stmt = nullptr;
};

void Execute(sqlite3* db, const std::string& sql, const std::string& fileName)
{
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        Fail(db, rc, fileName);
}

// Rolls back unless committed: an error on the way leaves the journal as it was.
class Transaction {
public:
    Transaction(sqlite3* db, const std::string& fileName) : m_db(db), m_fileName(fileName)
    {
        // Taking the write lock at the start means waiting for another
        // writer here, not failing half-way.
        Execute(db, "BEGIN IMMEDIATE", fileName);
    }
    ~Transaction()
    {
        if (!m_done)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    void Commit()
    {
        Execute(m_db, "COMMIT", m_fileName);
        m_done = true;
    }

private:
    sqlite3* m_db;
    const std::string& m_fileName;
    bool m_done = false;
};

std::string ShownName(std::size_t index)
{
    return JournalValueName(index) + "_shown";
}

// What tells records apart, in 64 bits for a small index: a record found
// under the same hash is compared whole before it counts as the same.
std::int64_t KeyHash(const std::string& key)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : key) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return static_cast<std::int64_t>(hash);
}

// The columns of a record in the order Insert binds them and Read reads them.
std::string RecordColumns()
{
    std::string columns = "datetime, date_text, time_text, units, record_hash";
    for (std::size_t i = 0; i < kJournalValueCount; ++i) columns += ", " + JournalValueName(i);
    for (std::size_t i = 0; i < kJournalValueCount; ++i) columns += ", " + ShownName(i);
    columns += ", indicator_t, printed, note, sheet";
    return columns;
}
constexpr int kRecordColumnCount = 5 + 2 * static_cast<int>(kJournalValueCount) + 4;

std::string InsertSql()
{
    std::string sql = "INSERT INTO record (" + RecordColumns() + ") VALUES (?";
    for (int i = 1; i < kRecordColumnCount; ++i) sql += ", ?";
    return sql + ")";
}

// The values as the journal writes them, each worked out once.
std::array<std::string, kJournalValueCount> ValueTexts(const JournalRecord& record)
{
    std::array<std::string, kJournalValueCount> texts;
    for (std::size_t i = 0; i < kJournalValueCount; ++i) texts[i] = JournalNumberText(record.Values[i]);
    return texts;
}

void BindRecord(Statement& insert, const JournalRecord& record,
                const std::array<std::string, kJournalValueCount>& texts, const std::string& key)
{
    int n = 1;
    insert.Bind(n++, record.DateTime);
    insert.Bind(n++, record.DateText);
    insert.Bind(n++, record.TimeText);
    insert.Bind(n++, JournalUnitsName(record.Units));
    insert.Bind(n++, KeyHash(key));
    for (const std::string& text : texts) insert.Bind(n++, text);
    for (const std::string& shown : record.Shown) insert.Bind(n++, shown);
    if (record.Indicator)
        insert.Bind(n++, JournalNumberText(*record.Indicator));
    else
        insert.BindNull(n++);
    insert.Bind(n++, std::int64_t{record.Printed ? 1 : 0});
    insert.Bind(n++, record.Note);
    insert.BindBlob(n++, record.Sheet);
}

// A record's unit system as the journal keeps it. Any other text is no
// guess of ours: read as metres it could show feet as metres, the very
// mix-up the column is there to prevent. A newer program adding a system
// raises the schema version, so this is a journal edited by hand or
// damaged in that one field; the rest of the file is sound and stays as it
// is, and the record is refused by name until it is put right.
units::TUnitSystem RecordUnits(const std::string& text, const std::string& dateTime, const std::string& fileName)
{
    if (const std::optional<units::TUnitSystem> system = ParseJournalUnits(text))
        return *system;
    throw EJournalError(
        MessageText(DW_TEXT("Message", "Cannot use the journal %1: %2"),
                    {MessageText::Verbatim(fileName),
                     MessageText(DW_TEXT("Message", "the record of %1 names a unit system this program does not know"),
                                 {MessageText::Verbatim(dateTime)})}));
}

// Reads the columns RecordColumns names, from column `first` on.
JournalRecord ReadRecord(const Statement& row, int first, bool withSheet, const std::string& fileName)
{
    JournalRecord record;
    int n = first;
    record.DateTime = row.Text(n++);
    record.DateText = row.Text(n++);
    record.TimeText = row.Text(n++);
    record.Units = RecordUnits(row.Text(n++), record.DateTime, fileName);
    ++n;  // the key
    for (Extended& value : record.Values) value = ParseJournalNumber(row.Text(n++)).value_or(0);
    for (std::string& shown : record.Shown) shown = row.Text(n++);
    if (!row.Null(n))
        record.Indicator = ParseJournalNumber(row.Text(n));
    ++n;
    record.Printed = row.Int(n++) != 0;
    record.Note = row.Text(n++);
    if (withSheet)
        record.Sheet = row.Blob(n);
    return record;
}

// Each step brings the journal from the version before it to its own.
void CreateVersion1(sqlite3* db, const std::string& fileName)
{
    std::string sql =
        "CREATE TABLE record (id INTEGER PRIMARY KEY, datetime TEXT NOT NULL, date_text TEXT NOT NULL, "
        "time_text TEXT NOT NULL, units TEXT NOT NULL DEFAULT 'metric', record_hash INTEGER NOT NULL";
    // Numbers are kept as the shortest text that reads back exactly: the
    // database's own reals hold fewer bits than the calculation.
    for (std::size_t i = 0; i < kJournalValueCount; ++i) sql += ", " + JournalValueName(i) + " TEXT NOT NULL";
    for (std::size_t i = 0; i < kJournalValueCount; ++i) sql += ", " + ShownName(i) + " TEXT NOT NULL DEFAULT ''";
    sql +=
        ", indicator_t TEXT, printed INTEGER NOT NULL DEFAULT 0, note TEXT NOT NULL DEFAULT '', sheet BLOB);"
        "CREATE INDEX record_by_hash ON record (record_hash);"
        "CREATE INDEX record_by_datetime ON record (datetime);";
    Execute(db, sql, fileName);
}

using Migration = void (*)(sqlite3*, const std::string&);
constexpr Migration kMigrations[kSchemaVersion] = {CreateVersion1};

std::string LocalNowText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H-%M-%S", &local);
    return text;
}

}  // namespace

Journal::Journal(std::string fileName) : m_fileName(std::move(fileName)) {}

Journal::~Journal()
{
    Close();
}

std::string Journal::DefaultFileName()
{
    // A relative XDG_DATA_HOME is to be ignored, as an empty one.
    const char* data = std::getenv("XDG_DATA_HOME");
    std::filesystem::path folder;
    if (data != nullptr && data[0] == '/') {
        folder = data;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home != nullptr ? home : "") / ".local" / "share";
    }
    return (folder / "drillweight" / "journal.sqlite").string();
}

bool Journal::HeaderDamaged(const std::string& fileName)
{
    std::optional<InputFile> file = InputFile::TryOpen(fileName);
    if (!file || file->Size() == 0)
        return false;                                     // nothing there yet, or an empty journal still to be made
    static constexpr char kHeader[] = "SQLite format 3";  // with its terminating zero: 16 bytes
    char bytes[sizeof kHeader] = {};
    const ssize_t read = ::pread(file->Descriptor(), bytes, sizeof bytes, 0);
    return read != static_cast<ssize_t>(sizeof bytes) || std::memcmp(bytes, kHeader, sizeof kHeader) != 0;
}

std::string Journal::DamagedName(const std::string& fileName, const std::string& dateTime)
{
    return fileName + ".damaged-" + dateTime;
}

void Journal::Close() noexcept
{
    if (m_db != nullptr)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool Journal::Open(Need need)
{
    if (m_db != nullptr)
        return true;
    struct stat status {};
    if (::stat(m_fileName.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode))
            throw EJournalError(MessageText(DW_TEXT("Message", "Cannot use the journal %1: %2"),
                                            {MessageText::Verbatim(m_fileName), NotAFileReason(status.st_mode)}));
        OpenFile(false);
        return true;
    }
    if (need == Need::Read && (errno == ENOENT || errno == ENOTDIR))
        return false;  // nothing kept yet, and reading makes nothing
    const std::filesystem::path folder = std::filesystem::path(m_fileName).parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw EJournalError(MessageText(DW_TEXT("Message", "Cannot use the journal %1: its folder cannot be made: %2"),
                                        {MessageText::Verbatim(m_fileName), InOutErrorText(error.value())}));
    OpenFile(true);
    return true;
}

void Journal::OpenFile(bool create)
{
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(m_fileName.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3* failed = m_db;
        m_db = nullptr;
        if (create && (rc & 0xff) == SQLITE_CANTOPEN) {
            // The library tries more than one way to open and keeps the
            // last error; making the file ourselves gives the one that
            // matters (a read-only folder: access denied).
            const int fd = ::open(m_fileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            const int error = errno;
            if (fd >= 0) {
                ::close(fd);
                ::unlink(m_fileName.c_str());
            } else {
                sqlite3_close_v2(failed);
                throw EJournalError(MessageText(DW_TEXT("Message", "Cannot use the journal %1: %2"),
                                                {MessageText::Verbatim(m_fileName), InOutErrorText(error)}));
            }
        }
        try {
            Fail(failed, rc, m_fileName);
        } catch (...) {
            sqlite3_close_v2(failed);
            throw;
        }
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    try {
        // Readers never wait for a writer, and a commit is one append; a
        // killed process leaves the file whole either way. A journal that
        // cannot switch (read-only) keeps its own mode and is still read.
        sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        Migrate();
    } catch (...) {
        Close();
        throw;
    }
}

void Journal::Migrate()
{
    auto version = [this] {
        Statement query(m_db, "PRAGMA user_version", m_fileName);
        query.Step();
        return static_cast<int>(query.Int(0));
    };
    int current = version();
    if (current == kSchemaVersion)
        return;
    if (current > kSchemaVersion)
        throw EJournalError(MessageText(
            DW_TEXT("Message", "Cannot use the journal %1: %2"),
            {MessageText::Verbatim(m_fileName), DW_TEXT("Message", "a newer version of the program wrote it")}));
    Transaction transaction(m_db, m_fileName);
    // Another instance may have brought it up to date while this one waited.
    current = version();
    for (int step = current; step < kSchemaVersion; ++step) kMigrations[step](m_db, m_fileName);
    Execute(m_db, "PRAGMA user_version = " + std::to_string(kSchemaVersion), m_fileName);
    transaction.Commit();
}

void Journal::SetAside()
{
    Close();
    const std::string aside = DamagedName(m_fileName, LocalNowText());
    if (std::rename(m_fileName.c_str(), aside.c_str()) != 0)
        throw EJournalError(MessageText(DW_TEXT("Message", "The journal %1 is damaged and cannot be set aside: %2"),
                                        {MessageText::Verbatim(m_fileName), InOutErrorText(errno)}));
    // Its write-ahead log belongs with it; the shared index is rebuilt from
    // the log by whoever opens it.
    std::rename((m_fileName + "-wal").c_str(), (aside + "-wal").c_str());
    std::remove((m_fileName + "-shm").c_str());
    m_notice = MessageText(
        DW_TEXT("Message", "The journal %1 was damaged. It is kept unchanged as %2, and a new journal is started."),
        {MessageText::Verbatim(m_fileName), MessageText::Verbatim(aside)});
}

std::optional<MessageText> Journal::TakeNotice()
{
    std::optional<MessageText> notice;
    notice.swap(m_notice);
    return notice;
}

template <typename Work>
auto Journal::Guarded(Need need, Work work) -> decltype(work())
{
    for (bool retried = false;; retried = true) {
        try {
            if (!Open(need))
                return decltype(work())();
            return work();
        } catch (const EJournalDamaged&) {
            if (retried)
                throw EJournalError(MessageText(
                    DW_TEXT("Message", "Cannot use the journal %1: %2"),
                    {MessageText::Verbatim(m_fileName), DW_TEXT("Message", "the new journal is damaged too")}));
            SetAside();
        }
    }
}

std::int64_t Journal::Add(const JournalRecord& record)
{
    return Guarded(Need::Write, [&] {
        Statement insert(m_db, InsertSql(), m_fileName);
        const std::array<std::string, kJournalValueCount> texts = ValueTexts(record);
        BindRecord(insert, record, texts, JournalKey(record.DateTime, texts, record.Units));
        insert.Step();
        return static_cast<std::int64_t>(sqlite3_last_insert_rowid(m_db));
    });
}

void Journal::MarkPrinted(std::int64_t id, const std::vector<std::uint8_t>& sheet)
{
    Guarded(Need::Write, [&] {
        Statement update(m_db, "UPDATE record SET printed = 1, sheet = ? WHERE id = ?", m_fileName);
        update.BindBlob(1, sheet);
        update.Bind(2, id);
        update.Step();
    });
}

void Journal::SetIndicator(std::int64_t id, std::optional<Extended> reading)
{
    Guarded(Need::Write, [&] {
        Statement update(m_db, "UPDATE record SET indicator_t = ? WHERE id = ?", m_fileName);
        if (reading)
            update.Bind(1, JournalNumberText(*reading));
        else
            update.BindNull(1);
        update.Bind(2, id);
        update.Step();
    });
}

void Journal::SetNote(std::int64_t id, const std::string& note)
{
    Guarded(Need::Write, [&] {
        Statement update(m_db, "UPDATE record SET note = ? WHERE id = ?", m_fileName);
        update.Bind(1, note);
        update.Bind(2, id);
        update.Step();
    });
}

void Journal::Remove(std::int64_t id)
{
    Guarded(Need::Write, [&] {
        Statement remove(m_db, "DELETE FROM record WHERE id = ?", m_fileName);
        remove.Bind(1, id);
        remove.Step();
    });
}

std::optional<JournalRecord> Journal::Read(std::int64_t id)
{
    return Guarded(Need::Read, [&]() -> std::optional<JournalRecord> {
        Statement query(m_db, "SELECT id, " + RecordColumns() + " FROM record WHERE id = ?", m_fileName);
        query.Bind(1, id);
        if (!query.Step())
            return std::nullopt;
        JournalRecord record = ReadRecord(query, 1, true, m_fileName);
        record.Id = query.Int(0);
        return record;
    });
}

std::vector<JournalSummary> Journal::Summaries()
{
    return Guarded(Need::Read, [&] {
        std::vector<JournalSummary> summaries;
        Statement query(m_db,
                        "SELECT id, datetime, total_length_m, hook_load_t, net_string_t, buoyed_string_t, "
                        "indicator_t, printed, note, units FROM record ORDER BY datetime DESC, id DESC",
                        m_fileName);
        while (query.Step()) {
            JournalSummary& s = summaries.emplace_back();
            s.Id = query.Int(0);
            s.DateTime = query.Text(1);
            s.TotalLength = query.Double(2);
            s.HookLoad = query.Double(3);
            s.NetString = query.Double(4);
            s.BuoyedString = query.Double(5);
            if (!query.Null(6))
                s.Indicator = query.Double(6);
            s.Printed = query.Int(7) != 0;
            s.Note = query.Text(8);
            s.Units = RecordUnits(query.Text(9), s.DateTime, m_fileName);
        }
        return summaries;
    });
}

std::size_t Journal::Count()
{
    return Guarded(Need::Read, [&] {
        Statement query(m_db, "SELECT count(*) FROM record", m_fileName);
        query.Step();
        return static_cast<std::size_t>(query.Int(0));
    });
}

void Journal::ForEachRecord(const std::function<void(const JournalRecord&)>& visit)
{
    Guarded(Need::Read, [&] {
        Statement query(m_db, "SELECT id, " + RecordColumns() + " FROM record ORDER BY datetime, id", m_fileName);
        while (query.Step()) {
            JournalRecord record = ReadRecord(query, 1, false, m_fileName);
            record.Id = query.Int(0);
            visit(record);
        }
    });
}

JournalImportCount Journal::Import(const std::vector<JournalRecord>& records, const std::function<void()>& afterRow)
{
    return Guarded(Need::Write, [&] {
        JournalImportCount count;
        // A large import keeps its pages in memory until it commits.
        Execute(m_db, "PRAGMA cache_size = -65536", m_fileName);
        Transaction transaction(m_db, m_fileName);
        std::string inputs;
        for (std::size_t i = 0; i < kJournalInputCount; ++i) inputs += ", " + JournalValueName(i);
        Statement find(m_db, "SELECT datetime, units" + inputs + " FROM record WHERE record_hash = ?", m_fileName);
        Statement insert(m_db, InsertSql(), m_fileName);
        auto present = [&](const std::string& key) {
            find.Reset();
            find.Bind(1, KeyHash(key));
            while (find.Step()) {
                std::array<std::string, kJournalValueCount> texts;
                for (std::size_t i = 0; i < kJournalInputCount; ++i) texts[i] = find.Text(static_cast<int>(i) + 2);
                const std::optional<units::TUnitSystem> system = ParseJournalUnits(find.Text(1));
                if (system && JournalKey(find.Text(0), texts, *system) == key)
                    return true;
            }
            return false;
        };
        for (const JournalRecord& record : records) {
            const std::array<std::string, kJournalValueCount> texts = ValueTexts(record);
            const std::string key = JournalKey(record.DateTime, texts, record.Units);
            if (present(key)) {
                ++count.Skipped;
            } else {
                insert.Reset();
                BindRecord(insert, record, texts, key);
                insert.Step();
                ++count.Added;
            }
            if (afterRow)
                afterRow();
        }
        transaction.Commit();
        return count;
    });
}

}  // namespace dw
