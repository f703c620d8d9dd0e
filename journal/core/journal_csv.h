// SPDX-License-Identifier: MIT
#pragma once

// The journal's exchange file: comma-separated values in UTF-8, one header
// row naming the columns, a point as the decimal mark, CR LF between rows,
// fields quoted when they hold a separator, a quote or a line break. The
// spreadsheet form of a locale that writes a decimal comma separates with
// semicolons instead. Reading takes either form (told apart by the header)
// and checks every field: a file is taken whole or not at all.

#include "common/errors.h"
#include "journal/core/journal.h"
#include "journal/core/journal_record.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dw {

struct JournalCsvForm {
    char Separator = ',';
    char DecimalMark = '.';
};
inline constexpr JournalCsvForm kJournalCsv{};
inline constexpr JournalCsvForm kJournalSpreadsheetCsv{';', ','};

// The largest file an import reads, in bytes.
inline constexpr std::int64_t kMaxJournalCsvSize = std::int64_t{1} << 30;

// The header row and one record's row, each ending in CR LF.
std::string JournalCsvHeader(const JournalCsvForm& form = kJournalCsv);
std::string JournalCsvRow(const JournalRecord& record, const JournalCsvForm& form = kJournalCsv);

// A line of the file that cannot become a record, and why.
struct JournalCsvFault {
    std::size_t Line = 0;  // where its row starts, from 1
    MessageText Reason;
};

// The file holds rows that are not records: every one is listed.
class EJournalCsvError : public EFileError {
public:
    EJournalCsvError(const std::string& fileName, std::vector<JournalCsvFault> faults);
    const std::vector<JournalCsvFault>& Faults() const noexcept { return m_faults; }

private:
    std::vector<JournalCsvFault> m_faults;
};

// The records of a file's bytes; raises EJournalCsvError naming fileName
// with every bad line (no record is given then).
std::vector<JournalRecord> ParseJournalCsv(std::string_view bytes, const std::string& fileName);

// Writes every record of the journal to fileName, whole or not at all
// (the file it replaces stays as it was on any failure); returns how many.
std::size_t ExportJournal(Journal& journal, const std::string& fileName, const JournalCsvForm& form = kJournalCsv);
// Reads fileName and brings its records into the journal, all or none.
JournalImportCount ImportJournal(Journal& journal, const std::string& fileName);

}  // namespace dw
