// SPDX-License-Identifier: MIT
#include "storage/core/ini_document.h"

#include "common/utf8.h"
#include "storage/core/cp1251.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

namespace dw {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Simple case folding for the scripts a profile name may be written in: Latin
// (ASCII and Latin-1) and Cyrillic. Anything else compares as it is.
char32_t FoldChar(char32_t ch)
{
    if (ch >= U'A' && ch <= U'Z')
        return ch + 0x20;
    if (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7)
        return ch + 0x20;
    if (ch >= 0x0410 && ch <= 0x042F)
        return ch + 0x20;
    if (ch >= 0x0400 && ch <= 0x040F)
        return ch + 0x50;
    if (ch == 0x0490)
        return 0x0491;
    return ch;
}

bool IsAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

std::string FoldName(std::string_view name)
{
    name = Trim(name);
    std::string folded(name);
    // Names are nearly always plain ASCII: fold those in place, byte by byte.
    if (IsAscii(name)) {
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 0x20);
        return folded;
    }
    folded.clear();
    for (std::size_t pos = 0; pos < name.size();) utf8::Append(folded, FoldChar(utf8::Next(name, pos)));
    return folded;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 0x20);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 0x20);
        if (x != y)
            return false;
    }
    return true;
}

// FNV-1a of the folded name; an ASCII name is folded byte by byte as it is
// hashed, so that it never has to be copied.
std::size_t HashFolded(std::string_view folded)
{
    std::size_t hash = 14695981039346656037ull;
    for (const char c : folded) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

// The hash of an ASCII name, folded as it goes; nullopt for a name that is
// not plain ASCII.
std::optional<std::size_t> HashAsciiFolded(std::string_view name)
{
    std::size_t hash = 14695981039346656037ull;
    for (char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return std::nullopt;
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 0x20);
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return hash;
}

// A name (trimmed) as it is matched. Folding never turns a non-ASCII name
// into an ASCII one or back, so two ASCII names match by their letters, case
// aside, without folding either; only a non-ASCII name keeps a folded copy.
struct MatchKey {
    bool ascii = true;
    std::string folded;  // non-ASCII names only
    std::size_t hash = 0;

    explicit MatchKey(std::string_view name)
    {
        if (const auto asciiHash = HashAsciiFolded(name)) {
            hash = *asciiHash;
        } else {
            ascii = false;
            folded = FoldName(name);
            hash = HashFolded(folded);
        }
    }
};

// A name looked up, prepared once for comparing with every stored name.
class NameKey {
public:
    explicit NameKey(std::string_view name) : m_name(Trim(name)), m_key(m_name) {}
    template <typename Meaning>
    bool Matches(const Meaning& meaning) const
    {
        if (meaning.hash != m_key.hash || meaning.ascii != m_key.ascii)
            return false;
        if (!m_key.ascii)
            return meaning.folded == m_key.folded;
        // Mostly spelt as in the file.
        return meaning.name == m_name || EqualIgnoringAsciiCase(meaning.name, m_name);
    }

private:
    std::string_view m_name;
    MatchKey m_key;
};

bool HasLineBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != text.npos;
}

// What Set writes for a value: it must read back as one line of valid UTF-8,
// so line breaks and NULs become blanks and stray bytes become U+FFFD.
std::string CleanValue(std::string_view value)
{
    if (IsAscii(value) && !HasLineBreakOrNul(value))
        return std::string(value);
    std::string out;
    out.reserve(value.size());
    for (std::size_t pos = 0; pos < value.size();) {
        const std::size_t len = utf8::CharLength(value, pos);
        const std::string_view ch = value.substr(pos, len);
        const bool stray = len == 1 && static_cast<unsigned char>(ch[0]) >= 0x80;
        if (stray)
            out += "\xEF\xBF\xBD";
        else if (ch == "\r" || ch == "\n" || ch[0] == '\0')
            out.push_back(' ');
        else
            out += ch;
        pos += len;
    }
    return out;
}

}  // namespace

std::string_view IniDocument::EolText(Eol eol)
{
    switch (eol) {
        case Eol::Lf:
            return "\n";
        case Eol::CrLf:
            return "\r\n";
        case Eol::Cr:
            return "\r";
        case Eol::None:
            break;
    }
    return {};
}

bool ProfileNamesEqual(std::string_view a, std::string_view b)
{
    return FoldName(a) == FoldName(b);
}

IniDocument::Line IniDocument::MakeLine(std::string raw, Eol eol)
{
    Line line;
    const std::string decoded = IsAscii(raw) || utf8::IsValid(raw) ? std::string() : Cp1251ToUtf8(raw);
    const std::string_view text = Trim(decoded.empty() ? std::string_view(raw) : std::string_view(decoded));
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.rfind(']');
        if (close != text.npos) {
            line.kind = Kind::Header;
            line.meaning = std::make_unique<Meaning>();
            line.meaning->name = Trim(text.substr(1, close - 1));
        }
    } else if (!text.empty() && text.front() != ';') {
        const std::size_t eq = text.find('=');
        if (eq != text.npos && !Trim(text.substr(0, eq)).empty()) {
            line.kind = Kind::Entry;
            line.meaning = std::make_unique<Meaning>();
            line.meaning->name = Trim(text.substr(0, eq));
            line.meaning->value = Trim(text.substr(eq + 1));
        }
    }
    if (line.kind != Kind::Other) {
        MatchKey key(line.meaning->name);
        line.meaning->ascii = key.ascii;
        line.meaning->hash = key.hash;
        line.meaning->folded = std::move(key.folded);
    }
    line.raw = std::move(raw);
    line.eol = eol;
    return line;
}

IniDocument IniDocument::Parse(std::string_view bytes)
{
    IniDocument doc;
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kBom.size()) == kBom) {
        doc.m_bom = kBom;
        bytes.remove_prefix(kBom.size());
    }
    doc.m_lines.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    while (!bytes.empty()) {
        // A line ends at LF, CR LF or a CR alone (as files from old
        // editors end their lines); each line keeps its own ending.
        const std::size_t end = bytes.find_first_of("\r\n");
        std::string_view raw = bytes.substr(0, end);
        Eol eol = Eol::None;
        if (end == bytes.npos) {
            bytes = {};
        } else if (bytes[end] == '\n') {
            bytes.remove_prefix(end + 1);
            eol = Eol::Lf;
        } else if (end + 1 < bytes.size() && bytes[end + 1] == '\n') {
            bytes.remove_prefix(end + 2);
            eol = Eol::CrLf;
        } else {
            bytes.remove_prefix(end + 1);
            eol = Eol::Cr;
        }
        doc.m_lines.push_back(MakeLine(std::string(raw), eol));
    }
    return doc;
}

std::string IniDocument::Serialize() const
{
    std::size_t size = m_bom.size();
    for (const Line& line : m_lines) size += line.raw.size() + EolText(line.eol).size();
    std::string out;
    out.reserve(size);
    out += m_bom;
    for (const Line& line : m_lines) {
        out += line.raw;
        out += EolText(line.eol);
    }
    return out;
}

std::size_t IniDocument::FindHeader(std::string_view section) const
{
    const NameKey wanted(section);
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Kind::Header && wanted.Matches(*m_lines[i].meaning))
            return i;
    return std::string::npos;
}

std::size_t IniDocument::SectionEnd(std::size_t h) const
{
    std::size_t i = h + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Header) ++i;
    return i;
}

std::size_t IniDocument::FindEntry(std::size_t h, std::string_view key) const
{
    const NameKey wanted(key);
    for (std::size_t i = h + 1; i < m_lines.size() && m_lines[i].kind != Kind::Header; ++i)
        if (m_lines[i].kind == Kind::Entry && wanted.Matches(*m_lines[i].meaning))
            return i;
    return std::string::npos;
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const
{
    const std::size_t h = FindHeader(section);
    if (h == std::string::npos)
        return std::nullopt;
    const std::size_t e = FindEntry(h, key);
    if (e == std::string::npos)
        return std::nullopt;
    return m_lines[e].meaning->value;
}

bool IniDocument::SectionExists(std::string_view section) const
{
    return FindHeader(section) != std::string::npos;
}

std::vector<std::string> IniDocument::SectionNames() const
{
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const Line& line : m_lines)
        if (line.kind == Kind::Header && seen.insert(FoldName(line.meaning->name)).second)
            names.push_back(line.meaning->name);
    return names;
}

std::vector<std::pair<std::string, std::string>> IniDocument::SectionEntries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    const std::size_t h = FindHeader(section);
    if (h == std::string::npos)
        return entries;
    std::unordered_set<std::string> seen;
    const std::size_t end = SectionEnd(h);
    for (std::size_t i = h + 1; i < end; ++i)
        if (m_lines[i].kind == Kind::Entry && seen.insert(FoldName(m_lines[i].meaning->name)).second)
            entries.emplace_back(m_lines[i].meaning->name, m_lines[i].meaning->value);
    return entries;
}

bool IniDocument::IsValidSectionName(std::string_view section)
{
    bool ascii = true;
    for (const char c : section) {
        if (c == '\r' || c == '\n' || c == '\0')
            return false;
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    return ascii || utf8::IsValid(section);
}

bool IniDocument::IsValidKeyName(std::string_view key)
{
    const std::string_view name = Trim(key);
    if (name.empty() || name.front() == '[' || name.front() == ';')
        return false;
    bool ascii = true;
    for (const char c : name) {
        if (c == '=' || c == '\r' || c == '\n' || c == '\0')
            return false;
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    return ascii || utf8::IsValid(name);
}

IniDocument::Eol IniDocument::NewLineEnding() const
{
    for (const Line& line : m_lines)
        if (line.eol != Eol::None)
            return line.eol;
    return Eol::Lf;
}

void IniDocument::EndLastLine()
{
    if (!m_lines.empty() && m_lines.back().eol == Eol::None)
        m_lines.back().eol = NewLineEnding();
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string cleaned = CleanValue(value);
    const std::string_view keyName = Trim(key);
    const std::size_t h = FindHeader(section);
    if (h == std::string::npos) {
        EndLastLine();
        const Eol eol = NewLineEnding();
        m_lines.push_back(MakeLine("[" + std::string(Trim(section)) + "]", eol));
        m_lines.push_back(MakeLine(std::string(keyName) + "=" + cleaned, eol));
        return true;
    }
    const std::size_t e = FindEntry(h, key);
    if (e != std::string::npos) {
        if (m_lines[e].meaning->value == Trim(cleaned))
            return false;
        // The key keeps the spelling it has in the file.
        m_lines[e] = MakeLine(m_lines[e].meaning->name + "=" + cleaned, m_lines[e].eol);
        return true;
    }
    // A new key goes after the section's last entry, so comments and blank
    // lines that lead into the next section stay with it.
    std::size_t at = h + 1;
    const std::size_t end = SectionEnd(h);
    for (std::size_t i = h + 1; i < end; ++i)
        if (m_lines[i].kind == Kind::Entry)
            at = i + 1;
    if (at == m_lines.size())
        EndLastLine();
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at),
                   MakeLine(std::string(keyName) + "=" + cleaned, NewLineEnding()));
    return true;
}

bool IniDocument::DeleteKey(std::string_view section, std::string_view key)
{
    const std::size_t h = FindHeader(section);
    if (h == std::string::npos)
        return false;
    const NameKey wanted(key);
    const auto first = m_lines.begin() + static_cast<std::ptrdiff_t>(h + 1);
    const auto last = m_lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(h));
    const auto kept = std::remove_if(
        first, last, [&](const Line& line) { return line.kind == Kind::Entry && wanted.Matches(*line.meaning); });
    if (kept == last)
        return false;
    m_lines.erase(kept, last);
    return true;
}

bool IniDocument::EraseSection(std::string_view section)
{
    const NameKey wanted(section);
    bool erased = false;
    std::vector<Line> kept;
    kept.reserve(m_lines.size());
    for (std::size_t i = 0; i < m_lines.size();) {
        if (m_lines[i].kind == Kind::Header && wanted.Matches(*m_lines[i].meaning)) {
            i = SectionEnd(i);
            erased = true;
        } else {
            kept.push_back(std::move(m_lines[i]));
            ++i;
        }
    }
    m_lines = std::move(kept);
    return erased;
}

}  // namespace dw
