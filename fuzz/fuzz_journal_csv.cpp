// SPDX-License-Identifier: MIT
// Arbitrary bytes as a journal file to import: reading either gives records
// or lists bad lines (never anything else), and records read write back to a
// file that reads to the same records. An oilfield record's numbers pass
// through their metric columns: the values a field holds come back exactly,
// any other value may settle on a neighbour on its first trip and never
// moves after it.

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
    auto trip = [](const std::vector<dw::JournalRecord>& from, const dw::JournalCsvForm& form) {
        std::string file = dw::JournalCsvHeader(form);
        for (const dw::JournalRecord& record : from) file += dw::JournalCsvRow(record, form);
        return dw::ParseJournalCsv(file, "again.csv");
    };
    const std::vector<dw::JournalRecord> read = records;
    records = trip(records, dw::kJournalCsv);
    Check(records.size() == read.size(), "every record written reads back");
    for (std::size_t i = 0; i < read.size(); ++i)
        if (read[i].Units == dw::units::TUnitSystem::Metric)
            Check(records[i].Values == read[i].Values && records[i].Indicator == read[i].Indicator,
                  "a metric record's numbers read back at once");
    for (const dw::JournalCsvForm& form : {dw::kJournalCsv, dw::kJournalSpreadsheetCsv}) {
        const std::vector<dw::JournalRecord> again = trip(records, form);
        Check(again.size() == records.size(), "every record written reads back");
        for (std::size_t i = 0; i < records.size(); ++i) {
            Check(again[i].Key() == records[i].Key(), "date, time and inputs read back");
            Check(again[i].Values == records[i].Values, "every value reads back");
            Check(again[i].Indicator == records[i].Indicator, "the reading reads back");
            Check(again[i].Printed == records[i].Printed, "printed reads back");
            Check(again[i].Note == records[i].Note, "the note reads back");
            Check(again[i].Units == records[i].Units, "the unit system reads back");
        }
    }
    return 0;
}
