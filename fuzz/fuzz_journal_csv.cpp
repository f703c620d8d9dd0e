// SPDX-License-Identifier: MIT
// Arbitrary bytes as a journal file to import: reading either gives records
// or lists bad lines (never anything else), and records read write back to a
// file that reads to the same records.

#include "fuzz/fuzz_support.h"
#include "journal/core/journal_csv.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using dw::fuzz::Check;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<dw::JournalRecord> records;
    try {
        records = dw::ParseJournalCsv(bytes, "fuzz.csv");
    } catch (const dw::EJournalCsvError& error) {
        Check(!error.Faults().empty(), "a refused file names at least one bad line");
        return 0;
    }
    for (const dw::JournalCsvForm& form : {dw::kJournalCsv, dw::kJournalSpreadsheetCsv}) {
        std::string file = dw::JournalCsvHeader(form);
        for (const dw::JournalRecord& record : records) file += dw::JournalCsvRow(record, form);
        const std::vector<dw::JournalRecord> again = dw::ParseJournalCsv(file, "again.csv");
        Check(again.size() == records.size(), "every record written reads back");
        for (std::size_t i = 0; i < records.size(); ++i) {
            Check(again[i].Key() == records[i].Key(), "date, time and inputs read back");
            Check(again[i].Values == records[i].Values, "every value reads back");
            Check(again[i].Indicator == records[i].Indicator, "the reading reads back");
            Check(again[i].Printed == records[i].Printed, "printed reads back");
            Check(again[i].Note == records[i].Note, "the note reads back");
        }
    }
    return 0;
}
