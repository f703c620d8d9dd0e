// SPDX-License-Identifier: MIT
#include "storage/core/ini_file.h"

#include "common/errors.h"
#include "common/input_file.h"
#include "common/replace_file.h"
#include "common/utf8.h"
#include "storage/core/ini_document.h"
#include "storage/core/profile_location.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <ctime>
#include <mutex>
#include <system_error>
#include <utility>

namespace dw {

namespace {

std::string StripEnclosingQuotes(std::string value)
{
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        return value.substr(1, value.size() - 2);
    return value;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    return static_cast<unsigned>(c - 'A' + 10);
}

}  // namespace

std::optional<std::int32_t> ParseProfileInteger(std::string_view text)
{
    // Old files carry hexadecimal in C notation; the integer reader itself only
    // knows "$", so a "0x" in front of anything becomes "$".
    std::string buffer;
    if (utf8::CodePointCount(text) > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        buffer = "$";
        buffer += text.substr(2);
        text = buffer;
    }
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const bool hex = i < text.size() && text[i] == '$';
    if (hex)
        ++i;
    if (i == text.size())
        return std::nullopt;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (hex ? !IsHexDigit(c) : !(c >= '0' && c <= '9'))
            return std::nullopt;
        magnitude = magnitude * (hex ? 16 : 10) + (hex ? HexValue(c) : static_cast<unsigned>(c - '0'));
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
    }
    if (hex) {
        // Hexadecimal fills all 32 bits: "$FFFFFFFF" is -1.
        auto bits = static_cast<std::uint32_t>(magnitude);
        if (negative)
            bits = 0u - bits;
        return static_cast<std::int32_t>(bits);
    }
    if (negative)
        return magnitude <= 0x80000000ull
                   ? std::optional<std::int32_t>(static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude)))
                   : std::nullopt;
    return magnitude <= 0x7FFFFFFFull ? std::optional<std::int32_t>(static_cast<std::int32_t>(magnitude))
                                      : std::nullopt;
}

namespace {

// What tells one version of the file from another: rename-based writes give
// every version a new inode, and the nanosecond time stamp and size catch an
// edit in place. The change time catches a change of permissions: a file we
// already read is not opened again while it is unchanged, so a file that was
// made unreadable must not look unchanged.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileIdentity Of(const struct stat& info)
    {
        return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    }
    friend bool operator==(const FileIdentity& a, const FileIdentity& b)
    {
        return a.device == b.device && a.inode == b.inode && a.size == b.size &&
               a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec &&
               a.changed.tv_sec == b.changed.tv_sec && a.changed.tv_nsec == b.changed.tv_nsec;
    }
};

}  // namespace

// One change of the text, kept by a batch so that it can be made again on
// the file as someone else left it.
struct TIniFile::Change {
    enum class Kind { Set, DeleteKey, EraseSection };
    Kind kind;
    std::string section;
    std::string key;
    std::string value;

    bool ApplyTo(IniDocument& document) const
    {
        switch (kind) {
            case Kind::Set:
                return document.Set(section, key, value);
            case Kind::DeleteKey:
                return document.DeleteKey(section, key);
            case Kind::EraseSection:
                return document.EraseSection(section);
        }
        return false;
    }
};

struct TIniFile::State {
    // The parsed text of the file together with what identified the file
    // when it was read.
    bool present = false;  // the document is the text of the file identified
    bool missing = false;  // the last look found no file
    FileIdentity identity;
    IniDocument document;

    // The open batch, if depth > 0.
    int depth = 0;
    bool loaded = false;                           // the batch has looked at the file
    IniDocument* snapshot = nullptr;               // what it found (see Load)
    bool snapshotMissing = false;                  // there was no file
    std::optional<FileIdentity> snapshotIdentity;  // the file it read
    std::vector<Change> changes;                   // every change made, in order
    bool changed = false;                          // one of them altered the text

    // Time stamps move in ticks (of milliseconds, or of seconds on some file
    // systems): a file changed again within the tick in which we read it, to
    // the same size, would look unchanged. Only a text read well after the
    // file's last change is handed on to other objects (see Handover);
    // within one object the check stays what it always was.
    static constexpr time_t kSettledAfterSeconds = 2;
    bool settled = false;

    bool Matches(const struct stat& info) const { return present && identity == FileIdentity::Of(info); }
    void Remember(const struct stat& info)
    {
        present = true;
        missing = false;
        identity = FileIdentity::Of(info);
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const timespec& last = Later(info.st_mtim, info.st_ctim);
        settled = now.tv_sec > last.tv_sec + kSettledAfterSeconds ||
                  (now.tv_sec == last.tv_sec + kSettledAfterSeconds && now.tv_nsec > last.tv_nsec);
    }
    static const timespec& Later(const timespec& a, const timespec& b)
    {
        return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec) ? a : b;
    }
    // The document no longer stands for the file.
    void Forget() { present = false; }
    IniDocument* Missing()
    {
        present = false;
        missing = true;
        document = IniDocument{};
        return &document;
    }
    void ResetBatch()
    {
        loaded = false;
        snapshot = nullptr;
        snapshotMissing = false;
        snapshotIdentity.reset();
        changes.clear();
        changed = false;
    }
};

struct TIniFile::Handover {
    std::mutex mutex;
    std::filesystem::path path;
    std::unique_ptr<State> state;
};

TIniFile::Handover& TIniFile::LastClosed()
{
    // Never destroyed: an object that outlives the statics still finds it.
    static Handover* const handover = new Handover;
    return *handover;
}

TIniFile::TIniFile(std::string fileName) : m_fileName(std::move(fileName)), m_path(ProfilePath(m_fileName))
{
    if (!m_path.empty()) {
        Handover& handover = LastClosed();
        const std::lock_guard lock(handover.mutex);
        if (handover.state && handover.path == m_path)
            m_state = std::move(handover.state);
    }
    if (!m_state)
        m_state = std::make_unique<State>();
}

TIniFile::~TIniFile()
{
    if (m_path.empty() || !m_state->present || !m_state->settled || m_state->depth > 0)
        return;
    std::unique_ptr<State> previous;
    try {
        Handover& handover = LastClosed();
        const std::lock_guard lock(handover.mutex);
        previous = std::move(handover.state);
        handover.path = m_path;
        handover.state = std::move(m_state);
    } catch (...) {
        // Nothing is handed over; the next object reads the file itself.
    }
}

IniDocument* TIniFile::LoadFile() const
{
    State& state = *m_state;
    if (m_path.empty())
        return state.Missing();
    struct stat info {};
    if (state.present) {
        // The usual case, a file we read before and nobody changed, costs one
        // stat. The file matched was a regular file within the size limit
        // when it was read, and it still is the same file.
        if (::stat(m_path.c_str(), &info) != 0)
            return errno == ENOENT || errno == ENOTDIR ? state.Missing() : nullptr;
        if (state.Matches(info))
            return &state.document;
    }
    // The one door for files read from outside: a pipe or device put in the
    // file's place is refused without waiting on it.
    InputFileFailure failure;
    std::optional<InputFile> file = InputFile::TryOpen(m_path.string(), &failure);
    if (!file)
        return failure.Missing() ? state.Missing() : nullptr;
    if (::fstat(file->Descriptor(), &info) != 0 || !WithinSizeLimit(static_cast<std::uintmax_t>(info.st_size)))
        return nullptr;
    if (state.Matches(info))
        return &state.document;
    state.present = false;
    state.missing = false;
    std::string bytes;
    try {
        const std::vector<std::uint8_t> read = file->ReadAll(kFileBytesLimit - 1, DW_TEXT("Message", "a profile"));
        bytes.assign(read.begin(), read.end());
    } catch (const Exception&) {
        return nullptr;  // unreadable, or grown to a megabyte meanwhile
    }
    state.document = IniDocument::Parse(bytes);
    // A file that grew while we read it is parsed as read but not remembered.
    if (bytes.size() == static_cast<std::size_t>(info.st_size))
        state.Remember(info);
    return &state.document;
}

IniDocument* TIniFile::Load() const
{
    State& state = *m_state;
    if (state.depth == 0)
        return LoadFile();
    if (!state.loaded) {
        state.snapshot = LoadFile();
        state.loaded = true;
        state.snapshotMissing = state.snapshot && state.missing;
        if (state.snapshot && state.present)
            state.snapshotIdentity = state.identity;
    }
    return state.snapshot;
}

void TIniFile::ThrowWriteError(const MessageText& reason) const
{
    const MessageText file = MessageText::Verbatim(m_path.empty() ? m_fileName : m_path.string());
    if (reason.Empty())
        throw EFileError(MessageText(DW_TEXT("Message", "Unable to write to %1"), {file}));
    throw EFileError(MessageText(DW_TEXT("Message", "Unable to write to %1: %2"), {file, reason}));
}

MessageText TIniFile::ReadFailure() const
{
    if (m_path.empty())
        return {};
    InputFileFailure failure;
    std::optional<InputFile> file = InputFile::TryOpen(m_path.string(), &failure);
    if (!file) {
        if (failure.error == 0)
            return NotAFileReason(failure.mode);
        return failure.Missing() ? MessageText() : FailureReason(failure.error);
    }
    struct stat info {};
    if (::fstat(file->Descriptor(), &info) != 0)
        return FailureReason(errno);
    if (!WithinSizeLimit(static_cast<std::uintmax_t>(info.st_size)))
        return DW_TEXT("Message", "it is a megabyte or larger, more than a profile ever holds");
    char byte = 0;
    if (::read(file->Descriptor(), &byte, 1) < 0)
        return FailureReason(errno);
    return {};
}

void TIniFile::Store(const std::string& bytes) const
{
    if (!ProfileNameHasDirectory(m_fileName)) {
        std::error_code error;
        std::filesystem::create_directories(m_path.parent_path(), error);  // a failure shows in the next step
    }
    // The program's one way of replacing a file: a link to a profile kept
    // elsewhere stays a link, and a folder, device or pipe in its place is
    // never replaced.
    try {
        ReplaceFileWriter file(m_path.string());
        file.Write(bytes);
        file.Commit();
    } catch (const EInOutError& error) {
        ThrowWriteError(ReasonOf(error));
    }
}

void TIniFile::StoreDocument(const IniDocument& document)
{
    State& state = *m_state;
    const std::string bytes = document.Serialize();
    try {
        // Past the limit the file would read as missing from then on.
        if (!WithinSizeLimit(bytes.size()))
            ThrowWriteError(DW_TEXT("Message", "it would reach a megabyte, more than a profile may hold"));
        Store(bytes);
    } catch (...) {
        state.Forget();
        throw;
    }
    // The document now is the file's text; remember the file it is in.
    struct stat info {};
    if (::stat(m_path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::size_t>(info.st_size) == bytes.size())
        state.Remember(info);
    else
        state.Forget();
}

void TIniFile::Update(Change change)
{
    if (m_path.empty())
        ThrowWriteError(DW_TEXT("Message", "no folder for the profile is known"));
    // A file we cannot read is never replaced: that would lose what it holds.
    IniDocument* document = Load();
    if (!document)
        ThrowWriteError(ReadFailure());
    State& state = *m_state;
    const bool altered = change.ApplyTo(*document);
    if (state.depth > 0) {
        state.changes.push_back(std::move(change));
        state.changed = state.changed || altered;
        return;
    }
    if (altered)
        StoreDocument(*document);
}

void TIniFile::BeginBatch()
{
    ++m_state->depth;
}

void TIniFile::EndBatch(bool store)
{
    State& state = *m_state;
    if (state.depth == 0 || --state.depth > 0)
        return;
    if (store) {
        StoreBatch();
        return;
    }
    // The document holds changes that never reached the file.
    if (state.changed)
        state.Forget();
    state.ResetBatch();
}

void TIniFile::StoreBatch()
{
    State& state = *m_state;
    const std::vector<Change> changes = std::move(state.changes);
    const bool changed = state.changed;
    const bool snapshotMissing = state.snapshotMissing;
    const std::optional<FileIdentity> snapshotIdentity = state.snapshotIdentity;
    IniDocument* snapshot = state.snapshot;
    state.ResetBatch();
    if (changes.empty())
        return;

    // Is the file still the one the batch read?
    struct stat info {};
    bool current = false;
    if (::stat(m_path.c_str(), &info) != 0)
        current = snapshotMissing && (errno == ENOENT || errno == ENOTDIR);
    else
        current = snapshotIdentity && *snapshotIdentity == FileIdentity::Of(info);
    if (current) {
        if (changed)
            StoreDocument(*snapshot);
        return;
    }

    // Someone else changed it meanwhile: the changes are made again on the
    // file as it is now, as if each had been made on its own at this moment.
    state.Forget();
    IniDocument* document = LoadFile();
    if (!document)
        ThrowWriteError(ReadFailure());
    bool altered = false;
    for (const Change& change : changes) altered = change.ApplyTo(*document) || altered;
    if (altered)
        StoreDocument(*document);
}

TIniFile::Batch::Batch(TIniFile& file) : m_file(&file)
{
    file.BeginBatch();
}

TIniFile::Batch::~Batch()
{
    if (m_file)
        m_file->EndBatch(false);
}

void TIniFile::Batch::Commit()
{
    if (TIniFile* file = std::exchange(m_file, nullptr))
        file->EndBatch(true);
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const IniDocument* document = Load();
    std::optional<std::string> value;
    if (document)
        value = document->Find(section, key);
    const std::string text = value ? StripEnclosingQuotes(std::move(*value)) : std::string(defaultValue);
    return std::string(utf8::Left(text, kMaxValueChars));
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    if (!IniDocument::IsValidSectionName(section) || !IniDocument::IsValidKeyName(key))
        ThrowWriteError(
            DW_TEXT("Message", "a section or key name is empty or holds a character a profile cannot keep"));
    Update({Change::Kind::Set, std::string(section), std::string(key), std::string(value)});
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const
{
    return ParseProfileInteger(ReadString(section, key, "")).value_or(defaultValue);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    WriteString(section, key, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(std::string_view section) const
{
    const IniDocument* document = Load();
    return document && document->SectionExists(section);
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    const IniDocument* document = Load();
    return document && document->Find(section, key).has_value();
}

std::vector<std::string> TIniFile::ReadSections() const
{
    const IniDocument* document = Load();
    return document ? document->SectionNames() : std::vector<std::string>{};
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    if (const IniDocument* document = Load())
        for (auto& entry : document->SectionEntries(section)) keys.push_back(std::move(entry.first));
    return keys;
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSectionValues(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    if (const IniDocument* document = Load())
        entries = document->SectionEntries(section);
    for (auto& entry : entries)
        entry.second = std::string(utf8::Left(StripEnclosingQuotes(std::move(entry.second)), kMaxValueChars));
    return entries;
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    Update({Change::Kind::DeleteKey, std::string(section), std::string(key), {}});
}

void TIniFile::EraseSection(std::string_view section)
{
    Update({Change::Kind::EraseSection, std::string(section), {}, {}});
}

}  // namespace dw
