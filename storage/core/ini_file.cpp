#include "storage/core/ini_file.h"

#include "common/errors.h"
#include "common/utf8.h"
#include "storage/core/ini_document.h"
#include "storage/core/profile_location.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <system_error>

namespace dw {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    bool Close()
    {
        if (m_fd < 0)
            return true;
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// A temporary file beside the target that disappears unless it was renamed
// into place, so no failure leaves debris in the user's directory.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& Path() const { return m_path; }
    void Release() { m_path.clear(); }

private:
    std::string m_path;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

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

TIniFile::TIniFile(std::string fileName) : m_fileName(std::move(fileName)), m_path(ProfilePath(m_fileName)) {}

TIniFile::~TIniFile() = default;

// The parsed text of the file together with what identified the file when it
// was read; rename-based writes give every version a new inode, and the
// nanosecond time stamp and size catch an edit in place.
struct TIniFile::Cache {
    bool present = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    IniDocument document;

    bool Matches(const struct stat& info) const
    {
        return present && device == info.st_dev && inode == info.st_ino && size == info.st_size &&
               modified.tv_sec == info.st_mtim.tv_sec && modified.tv_nsec == info.st_mtim.tv_nsec;
    }
    void Remember(const struct stat& info)
    {
        present = true;
        device = info.st_dev;
        inode = info.st_ino;
        size = info.st_size;
        modified = info.st_mtim;
    }
    IniDocument* Missing()
    {
        present = false;
        document = IniDocument{};
        return &document;
    }
};

IniDocument* TIniFile::Load() const
{
    if (!m_cache)
        m_cache = std::make_unique<Cache>();
    Cache& cache = *m_cache;
    if (m_path.empty())
        return cache.Missing();
    // Non-blocking so that a FIFO or a device put in the file's place cannot
    // stall the program; such a thing is refused below anyway.
    FileDescriptor fd(::open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.Valid())
        return errno == ENOENT || errno == ENOTDIR ? cache.Missing() : nullptr;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uintmax_t>(info.st_size) > kMaxFileBytes)
        return nullptr;
    if (cache.Matches(info))
        return &cache.document;
    cache.present = false;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return nullptr;
        if (n == 0)
            break;
        bytes.append(chunk, static_cast<std::size_t>(n));
        if (bytes.size() > kMaxFileBytes)
            return nullptr;
    }
    cache.document = IniDocument::Parse(bytes);
    // A file that grew while we read it is parsed as read but not remembered.
    if (bytes.size() == static_cast<std::size_t>(info.st_size))
        cache.Remember(info);
    return &cache.document;
}

void TIniFile::ThrowWriteError() const
{
    throw EFileError("Unable to write to " + (m_path.empty() ? m_fileName : m_path.string()));
}

void TIniFile::Store(const std::string& bytes) const
{
    std::error_code error;
    // A link to a file kept elsewhere stays a link: its target is what we update.
    std::filesystem::path target = m_path;
    if (std::filesystem::is_symlink(m_path, error)) {
        auto resolved = std::filesystem::canonical(m_path, error);
        if (!error)
            target = std::move(resolved);
    }
    const std::filesystem::path directory = target.parent_path();
    if (!ProfileNameHasDirectory(m_fileName))
        std::filesystem::create_directories(directory, error);  // a failure shows in the next step

    std::string pattern = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
    FileDescriptor fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!fd.Valid())
        ThrowWriteError();
    TemporaryFile temporary(pattern);
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd.Get(), old.st_mode & 07777);
    if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0 || !fd.Close())
        ThrowWriteError();
    if (::rename(temporary.Path().c_str(), target.c_str()) != 0)
        ThrowWriteError();
    temporary.Release();
    // Make the rename itself durable; the data is already safe either way.
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid())
        ::fsync(dir.Get());
}

template <typename Change>
void TIniFile::Update(Change&& change)
{
    if (m_path.empty())
        ThrowWriteError();
    // A file we cannot read is never replaced: that would lose what it holds.
    IniDocument* document = Load();
    if (!document)
        ThrowWriteError();
    if (!change(*document))
        return;
    const std::string bytes = document->Serialize();
    try {
        // Past the limit the file would read as missing from then on.
        if (bytes.size() > kMaxFileBytes)
            ThrowWriteError();
        Store(bytes);
    } catch (...) {
        m_cache.reset();
        throw;
    }
    // The document now is the file's text; remember the file it is in.
    struct stat info {};
    if (::stat(m_path.c_str(), &info) == 0 && static_cast<std::size_t>(info.st_size) == bytes.size())
        m_cache->Remember(info);
    else
        m_cache.reset();
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
        ThrowWriteError();
    Update([&](IniDocument& document) { return document.Set(section, key, value); });
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
    Update([&](IniDocument& document) { return document.DeleteKey(section, key); });
}

void TIniFile::EraseSection(std::string_view section)
{
    Update([&](IniDocument& document) { return document.EraseSection(section); });
}

}  // namespace dw
