// SPDX-License-Identifier: MIT
#pragma once

#include "common/message_text.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dw {

class IniDocument;

// Access to one profile (INI) file by name. Outside a batch (below) every
// call looks at the file afresh (its text is parsed again only when the file
// changed) and every change rewrites it at once, so two objects (or two runs)
// on the same file always see each other's work.
//
// Reading never fails: a missing or unreadable file, section or key yields
// the default. A change that cannot be stored raises EFileError with
// "Unable to write to <full path>", and the file is then exactly as it was:
// a change is written to a temporary file beside it, flushed to disk and
// renamed over it.
class TIniFile {
public:
    // Groups the calls made on one object while it lasts, as a window's save
    // or restore does: the file is looked at once, at the first call, and
    // every call then works on that text (reads see the batch's own writes);
    // the changes are stored together, in one write, by Commit.
    //
    // - Commit stores only when something changed. Should the file have been
    //   replaced or edited by someone else meanwhile, the batch's changes are
    //   applied to the file as it is then, as if they had been made one by
    //   one at that moment, so nobody's work is lost.
    // - A change that cannot be stored raises EFileError from Commit (a name
    //   that can never be stored, or a file that exists but cannot be read,
    //   still raises it from the write call itself), and the file is then as
    //   it was before the batch: nothing of the batch is written.
    // - A batch that ends without Commit (an error left it) stores nothing:
    //   a half-done save must not overwrite a good file with a mix of old and
    //   new values. The file is then as it was before the batch.
    // - Batches on one object nest: an inner one joins the outer one, and its
    //   end (with Commit or without) leaves its changes to the outer one; the
    //   outermost one looks at the file and stores.
    // - Other objects and other programs see the changes once they are
    //   committed, not before.
    // - A batch ends before the object whose calls it groups.
    class Batch {
    public:
        explicit Batch(TIniFile& file);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        void Commit();

    private:
        TIniFile* m_file;
    };

    // The name is used unchanged; a bare name goes to ProfileDirectory().
    explicit TIniFile(std::string fileName);
    ~TIniFile();

    // The file actually read and written (empty when there is none).
    const std::filesystem::path& Path() const noexcept { return m_path; }

    // At most kMaxValueChars characters; one pair of enclosing quotes (both
    // double or both single) is removed. An empty value is returned as empty,
    // not as the default.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Decimal, or hexadecimal with "$" or (for a text longer than two
    // characters) a leading "0x"/"0X"; the default for an empty, invalid or
    // out-of-range text.
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const;
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

    // Any integer other than 0 is true; written as "1" or "0".
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    void WriteBool(std::string_view section, std::string_view key, bool value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // Section names in file order.
    std::vector<std::string> ReadSections() const;
    // Key names of a section in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    // Keys and their values as ReadString returns them, in file order.
    std::vector<std::pair<std::string, std::string>> ReadSectionValues(std::string_view section) const;

    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    // Why the file, which exists, cannot be read as a profile ("it is a
    // folder, not a file", "access denied"...); empty when it can be read or
    // is not there.
    MessageText ReadFailure() const;

    static constexpr std::size_t kMaxValueChars = 1023;
    // A profile file is a few kilobytes; one of a megabyte or more is not
    // ours to load into memory, reads as missing and is never overwritten,
    // and no change makes a file reach that size. Reading and writing ask the
    // same question, so a file that is read is never one that may not exist.
    static constexpr std::uintmax_t kFileBytesLimit = 1u << 20;
    static constexpr bool WithinSizeLimit(std::uintmax_t bytes) noexcept { return bytes < kFileBytesLimit; }

private:
    struct State;
    struct Change;
    struct Handover;
    // The parsed text an object leaves behind passes to the next object made
    // on the same file (a window's save follows its restore, each with an
    // object of its own), which checks the file before using it, as always.
    static Handover& LastClosed();

    // The text to work on: the batch's own, or the file's as it is now. An
    // empty document for a missing file, nullptr when the file exists but
    // cannot be read as a profile file.
    IniDocument* Load() const;
    // The file's text as it is now (parsed again only when it changed).
    IniDocument* LoadFile() const;
    void Update(Change change);
    void BeginBatch();
    // Ends one level of batch; the outermost level stores when asked to,
    // and otherwise drops the batch's changes.
    void EndBatch(bool store);
    void StoreBatch();
    // Writes the document as the file's new text and remembers the file.
    void StoreDocument(const IniDocument& document);
    // "Unable to write to <path>", and ": <reason>" when one is known.
    [[noreturn]] void ThrowWriteError(const MessageText& reason = {}) const;
    void Store(const std::string& bytes) const;

    std::string m_fileName;
    std::filesystem::path m_path;
    std::unique_ptr<State> m_state;
};

// The integer reading of a profile value (see ReadInteger); nullopt when the
// text is not an integer.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

}  // namespace dw
