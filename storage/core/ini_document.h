// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dw {

// The text of one profile file, held line by line so that an update touches
// only the line it changes: every other line (other sections, comments, blank
// lines, lines we cannot make sense of, lines still in the Windows code page)
// is written back byte for byte, in its place and with its own line ending.
//
// Reading rules, which follow what the profile files have always meant:
// - a line is "[name]" (a section header; the name runs to the last "]"),
//   "key=value" (an entry of the section above it), a comment (";..."), or
//   anything else, which is kept but means nothing;
// - names and values are trimmed of blanks; section and key names match
//   without regard to letter case (Latin and Cyrillic);
// - when a section or a key appears twice, the first one is the one that
//   counts, for reading and for updating;
// - a line that is not valid UTF-8 is read as Windows-1251.
// Names and values handed out are always valid UTF-8.
class IniDocument {
public:
    IniDocument() = default;
    static IniDocument Parse(std::string_view bytes);

    // The bytes to store: unchanged lines exactly as they were read.
    std::string Serialize() const;

    // The trimmed value of the first matching key of the first matching
    // section; nullopt when the section or the key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    bool SectionExists(std::string_view section) const;
    // Section names in file order, each name once (the first spelling).
    std::vector<std::string> SectionNames() const;
    // Key names and trimmed values of the first matching section, each key
    // once (the first occurrence), in file order.
    std::vector<std::pair<std::string, std::string>> SectionEntries(std::string_view section) const;

    // Whether Set can store this name without it reading back as something
    // else: keys must be non-empty and hold no "=", no line break and no NUL,
    // and may not start with "[" or ";"; sections may hold no line break or NUL.
    static bool IsValidSectionName(std::string_view section);
    static bool IsValidKeyName(std::string_view key);

    // Stores value under the key, replacing the first matching entry in place,
    // or adding it after the section's last entry, or adding the section at the
    // end. Line breaks and NULs in the value become blanks (they would break
    // the file's structure). Names must be valid (see above). Returns false
    // when the document already held exactly this.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // Removes every matching key of the first matching section; returns
    // whether anything was removed.
    bool DeleteKey(std::string_view section, std::string_view key);

    // Removes every section of that name, header and lines; returns whether
    // anything was removed.
    bool EraseSection(std::string_view section);

private:
    enum class Kind : unsigned char { Other, Header, Entry };
    enum class Eol : unsigned char { None, Lf, CrLf, Cr };
    // Only headers and entries carry a meaning; a file of a million blank or
    // junk lines then costs little more than its bytes.
    struct Meaning {
        std::string name;      // section name or key name, UTF-8, trimmed
        std::string folded;    // name as it is matched; empty for a plain ASCII name,
                               // which is matched by its letters without folding
        std::string value;     // entry value, UTF-8, trimmed
        std::size_t hash = 0;  // of the folded name: most names are told apart by it alone
        bool ascii = true;     // the name is plain ASCII
    };
    struct Line {
        std::string raw;  // bytes as read or as we wrote them, without line end
        std::unique_ptr<Meaning> meaning;
        Kind kind = Kind::Other;
        Eol eol = Eol::None;  // None only for a last line without a line end
    };

    static Line MakeLine(std::string raw, Eol eol);
    // Index of the first matching header, or npos.
    std::size_t FindHeader(std::string_view section) const;
    // One past the last line belonging to the section whose header is at h.
    std::size_t SectionEnd(std::size_t h) const;
    std::size_t FindEntry(std::size_t h, std::string_view key) const;
    Eol NewLineEnding() const;
    static std::string_view EolText(Eol eol);
    void EndLastLine();

    std::string m_bom;
    std::vector<Line> m_lines;
};

// Case-insensitive equality of two trimmed names as the profile matches them.
bool ProfileNamesEqual(std::string_view a, std::string_view b);

}  // namespace dw
