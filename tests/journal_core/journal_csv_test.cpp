// SPDX-License-Identifier: MIT
#include "journal/core/journal_csv.h"
#include "tests/journal_core/journal_test_support.h"
#include "tests/support/file_bytes.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace dw {
namespace {

using test::ReadBytes;
using test::SampleRecord;
using test::TemporaryFolder;
using test::WriteBytes;

// A crew exports its journal to a file and imports that file on another
// computer: every record arrives as it was, whatever its note holds.
TEST(JournalCsv, ExportedRecordsImportAsTheyWere)
{
    struct Row {
        const char* Name;
        std::string Note;
        std::optional<Extended> Indicator;
        bool Printed;
        JournalCsvForm Form;
    };
    const std::vector<Row> rows{
        {"plain note", "well 12", std::nullopt, false, kJournalCsv},
        {"comma", "well 12, depth 1500", 41.5L, true, kJournalCsv},
        {"quotes", "shift \"B\" said \"ok\"", 0, false, kJournalCsv},
        {"line breaks", "first line\nsecond line\r\nthird", std::nullopt, true, kJournalCsv},
        {"Cyrillic", "Скважина 12, смена «Б»", 39.75L, false, kJournalCsv},
        {"spreadsheet form", "куст 4; скважина 7, глубина 1 500,5", 40.25L, true, kJournalSpreadsheetCsv},
        {"empty note", "", std::nullopt, false, kJournalCsv},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TemporaryFolder folder;
        Journal from((folder.Path() / "a.sqlite").string());
        JournalRecord record = SampleRecord(3, row.Note);
        record.Indicator = row.Indicator;
        record.Printed = row.Printed;
        from.Add(record);
        from.Add(SampleRecord(4));
        const std::string file = (folder.Path() / "shift.csv").string();
        EXPECT_EQ(ExportJournal(from, file, row.Form), 2u);

        Journal to((folder.Path() / "b.sqlite").string());
        const JournalImportCount count = ImportJournal(to, file);
        EXPECT_EQ(count.Added, 2u);
        EXPECT_EQ(count.Skipped, 0u);
        std::vector<JournalRecord> arrived;
        to.ForEachRecord([&](const JournalRecord& r) { arrived.push_back(r); });
        ASSERT_EQ(arrived.size(), 2u);
        const JournalRecord& got = arrived[0];  // oldest first
        EXPECT_EQ(got.DateTime, record.DateTime);
        EXPECT_EQ(got.Values, record.Values);
        EXPECT_EQ(got.Indicator, record.Indicator);
        EXPECT_EQ(got.Printed, record.Printed);
        EXPECT_EQ(got.Note, record.Note);
        // Brought twice, nothing is doubled.
        const JournalImportCount again = ImportJournal(to, file);
        EXPECT_EQ(again.Added, 0u);
        EXPECT_EQ(again.Skipped, 2u);
        EXPECT_EQ(to.Count(), 2u);
    }
}

TEST(JournalCsv, FileHasTheFixedColumnsInOrder)
{
    JournalRecord record = SampleRecord(0, "a, b");
    record.Indicator = 12.5L;
    const std::string header = JournalCsvHeader();
    EXPECT_EQ(header,
              "datetime,kelly_t,block_t,line_t,hook_t,swivel_t,hose_t,mud_sg,metal_sg,"
              "length1_m,length2_m,length3_m,length4_m,length5_m,length6_m,length7_m,length8_m,"
              "diameter1_mm,diameter2_mm,diameter3_mm,diameter4_mm,diameter5_mm,diameter6_mm,diameter7_mm,"
              "diameter8_mm,metre_weight1_kg,metre_weight2_kg,metre_weight3_kg,metre_weight4_kg,"
              "metre_weight5_kg,metre_weight6_kg,metre_weight7_kg,metre_weight8_kg,travelling_system_t,"
              "net_string_t,buoyed_string_t,hook_load_t,total_length_m,indicator_t,printed,note,units\r\n");
    const std::string row = JournalCsvRow(record);
    EXPECT_EQ(row.substr(0, 25), "2026-12-01T00:15:30,1,2,3");
    EXPECT_NE(row.find(",40.125,37,12.5,0,\"a, b\",metric\r\n"), std::string::npos) << row;
    EXPECT_EQ(
        JournalCsvRow(record, kJournalSpreadsheetCsv).find("40,125;37;12,5;0;a, b;metric\r\n") != std::string::npos,
        true);
}

// A file with rows that are not records is refused whole, and the message
// lists every bad line by its number in the file.
TEST(JournalCsv, BadRowsAreListedAndNothingIsImported)
{
    const std::string header = JournalCsvHeader();
    const std::string good = JournalCsvRow(SampleRecord(1));
    auto withField = [&](std::size_t column, const std::string& value) {
        // Replaces one field of the good row.
        std::string row = good.substr(0, good.size() - 2);
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t comma; (comma = row.find(',', start)) != std::string::npos; start = comma + 1)
            fields.push_back(row.substr(start, comma - start));
        fields.push_back(row.substr(start));
        fields.at(column) = value;
        std::string out;
        for (const std::string& f : fields) out += (out.empty() ? "" : ",") + f;
        return out + "\r\n";
    };
    struct Row {
        const char* Name;
        std::string File;
        std::vector<std::size_t> Lines;
        const char* Said;
    };
    const std::vector<Row> rows{
        {"letters for a number", header + good + withField(1, "abc"), {3}, "line 3: kelly_t: not a number"},
        {"a decimal comma in the point form", header + withField(2, "1,5"), {2}, "line 2"},
        {"an input the calculation cannot hold", header + withField(9, "1e39"), {2}, "too large"},
        {"infinity", header + withField(34, "inf"), {2}, "not a number"},
        {"negative indicator", header + withField(38, "-1"), {2}, "indicator_t"},
        {"printed neither 0 nor 1", header + withField(39, "yes"), {2}, "printed: 0 or 1"},
        {"30 February", header + withField(0, "2026-02-30T10:00:00"), {2}, "datetime"},
        {"a date without time", header + withField(0, "2026-02-03"), {2}, "datetime"},
        {"too few fields", header + "2026-12-01T00:15:30,1,2\r\n", {2}, "3 fields where the journal has 42"},
        {"units neither metric nor oilfield", header + withField(41, "imperial"), {2}, "units: metric or oilfield"},
        {"no units under a header with them",
         header + good.substr(0, good.rfind(',')) + "\r\n",
         {2},
         "41 fields where the journal has 42"},
        {"units under a header from before them",
         header.substr(0, header.rfind(',')) + "\r\n" + good,
         {2},
         "42 fields where the journal has 41"},
        {"two bad lines, both listed", header + withField(1, "x") + good + withField(3, "y"), {2, 4}, "line 4"},
        {"lines counted across a note's line breaks",
         header + withField(40, "\"one\ntwo\nthree\"") + withField(5, "?"),
         {5},
         "line 5: swivel_t"},
        {"a quote never closed", header + good + withField(40, "\"open"), {3}, "never closed"},
        {"another program's header", "a,b,c\r\n1,2,3\r\n", {1}, "header"},
        {"empty file", "", {1}, "header"},
        {"not UTF-8", header + withField(40, "\xff\xfe"), {1, 2}, "UTF-8"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TemporaryFolder folder;
        Journal journal((folder.Path() / "j.sqlite").string());
        journal.Add(SampleRecord(7));
        const std::string file = (folder.Path() / "in.csv").string();
        WriteBytes(file, row.File);
        try {
            ImportJournal(journal, file);
            ADD_FAILURE() << "imported";
        } catch (const EJournalCsvError& error) {
            std::vector<std::size_t> lines;
            for (const JournalCsvFault& fault : error.Faults()) lines.push_back(fault.Line);
            EXPECT_EQ(lines, row.Lines);
            EXPECT_NE(error.Message().find(row.Said), std::string::npos) << error.Message();
            EXPECT_NE(error.Message().find("nothing was imported"), std::string::npos);
        }
        EXPECT_EQ(journal.Count(), 1u);
    }
}

}  // namespace
}  // namespace dw

namespace dw {
namespace {

// A number written to the journal or its file reads back to the very value
// the calculation used, also where a field's two decimals do not hold it.
TEST(JournalNumbers, ReadBackExactly)
{
    struct Row {
        const char* Name;
        Extended Value;
        const char* Text;  // nullptr: only the value must come back
    };
    const std::vector<Row> rows{
        {"two decimals", 12.35L, "12.35"},        {"one decimal", 1500.5L, "1500.5"}, {"whole", 2000, "2000"},
        {"negative hundredths", -0.05L, "-0.05"}, {"negative zero", -0.0L, "0"},      {"a third", 1.0L / 3, nullptr},
        {"three decimals", 40.125L, "40.125"},    {"huge", 1.5e30L, nullptr},         {"tiny", 3e-20L, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::string text = JournalNumberText(row.Value);
        if (row.Text) {
            EXPECT_EQ(text, row.Text);
        }
        EXPECT_EQ(text.find('e'), std::string::npos) << text;
        const std::optional<Extended> back = ParseJournalNumber(text);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, row.Value) << text;
    }
}

}  // namespace
}  // namespace dw

namespace dw {
namespace {

// The worked example as a crew in oilfield units types it: 10,000 ft of
// 19.50 lb/ft and 500 ft of 91.00 lb/ft, 6.625 in and 8.000 in pipe, the
// equipment in klb, mud 10.50 ppg, steel 65.50 ppg, and its results.
JournalRecord OilfieldExample()
{
    JournalRecord record;
    record.DateTime = "2026-12-08T06:30:00";
    record.Units = units::TUnitSystem::Oilfield;
    const Extended equipment[] = {8.00L, 35.00L, 6.50L, 4.50L, 3.20L, 0.80L};
    for (std::size_t i = 0; i < 6; ++i) record.Values[i] = equipment[i];
    record.Values[6] = 10.50L;
    record.Values[7] = 65.50L;
    record.Values[kJournalFirstLength] = 10000.0L;
    record.Values[kJournalFirstLength + 1] = 500.0L;
    record.Values[kJournalFirstDiameter] = 6.625L;
    record.Values[kJournalFirstDiameter + 1] = 8.000L;
    record.Values[kJournalFirstMetreWeight] = 19.50L;
    record.Values[kJournalFirstMetreWeight + 1] = 91.00L;
    const Extended results[] = {58.000L, 240.500L, 201.950L, 259.950L, 10500.0L};
    for (std::size_t i = 0; i < 5; ++i) record.Values[kJournalFirstResult + i] = results[i];
    record.Indicator = 250.35L;
    record.Note = "well 7";
    return record;
}

// An oilfield record goes out under the metric column names with its
// numbers converted by the defined factors, not rounded, and marked
// oilfield; imported, it is the record as it was typed.
TEST(JournalCsv, OilfieldRecordsTravelInMetricColumns)
{
    struct Row {
        const char* Name;
        const char* Column;
        Extended Typed;           // in the record's oilfield units
        units::TFieldKind Kind;   // what converts it
        long double MetricTruth;  // the exact product, to the digits it has
    };
    const std::vector<Row> rows{
        {"6.625 in of diameter", "diameter1_mm", 6.625L, units::TFieldKind::Diameter, 168.275L},
        {"8.000 in of diameter", "diameter2_mm", 8.0L, units::TFieldKind::Diameter, 203.2L},
        {"19.50 lb/ft", "metre_weight1_kg", 19.50L, units::TFieldKind::MetreWeight, 29.0191968885L},
        {"91.00 lb/ft", "metre_weight2_kg", 91.00L, units::TFieldKind::MetreWeight, 135.422918813L},
        {"10.50 ppg of mud", "mud_sg", 10.50L, units::TFieldKind::Gravity, 1.2581774835L},
        {"65.50 ppg of steel", "metal_sg", 65.50L, units::TFieldKind::Gravity, 7.8486309685L},
        {"10,000.0 ft", "length1_m", 10000.0L, units::TFieldKind::Length, 3048.0L},
        {"35.00 klb of block", "block_t", 35.00L, units::TFieldKind::EquipmentWeight, 15.87573295L},
        {"a hook load of 259.950 klb", "hook_load_t", 259.950L, units::TFieldKind::ResultWeight, 117.9113365815L},
        {"a total length of 10,500.0 ft", "total_length_m", 10500.0L, units::TFieldKind::ResultLength, 3200.4L},
        {"a reading of 250.35 klb", "indicator_t", 250.35L, units::TFieldKind::EquipmentWeight, 113.5568498295L},
    };
    TemporaryFolder folder;
    Journal from((folder.Path() / "a.sqlite").string());
    const JournalRecord typed = OilfieldExample();
    from.Add(typed);
    const std::string file = (folder.Path() / "shift.csv").string();
    ASSERT_EQ(ExportJournal(from, file), 1u);

    // The file as another program reads it: the header, then the row.
    const std::string bytes = ReadBytes(file);
    auto split = [](const std::string& line) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
            fields.push_back(line.substr(start, comma - start));
        fields.push_back(line.substr(start));
        return fields;
    };
    const std::size_t headerEnd = bytes.find("\r\n");
    const std::vector<std::string> names = split(bytes.substr(0, headerEnd));
    const std::vector<std::string> fields = split(bytes.substr(headerEnd + 2, bytes.size() - headerEnd - 4));
    ASSERT_EQ(fields.size(), names.size());
    EXPECT_EQ(fields.back(), "oilfield");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const auto column = std::find(names.begin(), names.end(), row.Column);
        ASSERT_NE(column, names.end());
        const std::optional<Extended> metric =
            ParseJournalNumber(fields[static_cast<std::size_t>(column - names.begin())]);
        ASSERT_TRUE(metric);
        EXPECT_EQ(*metric,
                  units::ConvertExact(row.Typed, row.Kind, units::TUnitSystem::Oilfield, units::TUnitSystem::Metric));
        EXPECT_NEAR(static_cast<double>(*metric), static_cast<double>(row.MetricTruth),
                    1e-12 * static_cast<double>(row.MetricTruth));
    }

    // Back in, it is the record as typed, and once only.
    Journal to((folder.Path() / "b.sqlite").string());
    EXPECT_EQ(ImportJournal(to, file).Added, 1u);
    std::vector<JournalRecord> arrived;
    to.ForEachRecord([&](const JournalRecord& r) { arrived.push_back(r); });
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived[0].Units, units::TUnitSystem::Oilfield);
    EXPECT_EQ(arrived[0].Values, typed.Values);
    EXPECT_EQ(arrived[0].Indicator, typed.Indicator);
    EXPECT_EQ(ImportJournal(to, file).Skipped, 1u);
    EXPECT_EQ(ImportJournal(from, file).Skipped, 1u);
}

// A file written before records kept their units (41 columns, no units)
// still imports, each record as metric, in either form.
TEST(JournalCsv, FileFromBeforeUnitsImportsAsMetric)
{
    const std::string header =
        "datetime,kelly_t,block_t,line_t,hook_t,swivel_t,hose_t,mud_sg,metal_sg,"
        "length1_m,length2_m,length3_m,length4_m,length5_m,length6_m,length7_m,length8_m,"
        "diameter1_mm,diameter2_mm,diameter3_mm,diameter4_mm,diameter5_mm,diameter6_mm,diameter7_mm,"
        "diameter8_mm,metre_weight1_kg,metre_weight2_kg,metre_weight3_kg,metre_weight4_kg,"
        "metre_weight5_kg,metre_weight6_kg,metre_weight7_kg,metre_weight8_kg,travelling_system_t,"
        "net_string_t,buoyed_string_t,hook_load_t,total_length_m,indicator_t,printed,note\r\n";
    std::string spreadsheetHeader = header;
    std::replace(spreadsheetHeader.begin(), spreadsheetHeader.end(), ',', ';');
    std::string values;
    for (std::size_t i = 0; i < kJournalValueCount; ++i) values += "," + std::to_string(i + 1) + ".5";
    std::string spreadsheetValues = values;
    for (char& c : spreadsheetValues) c = c == ',' ? ';' : c == '.' ? ',' : c;
    struct Row {
        const char* Name;
        std::string File;
    };
    const std::vector<Row> rows{
        {"point form", header + "2026-11-30T10:00:00" + values + ",41.5,1,well 3\r\n"},
        {"spreadsheet form", spreadsheetHeader + "2026-11-30T10:00:00" + spreadsheetValues + ";41,5;1;well 3\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TemporaryFolder folder;
        const std::string file = (folder.Path() / "old.csv").string();
        WriteBytes(file, row.File);
        Journal journal((folder.Path() / "j.sqlite").string());
        EXPECT_EQ(ImportJournal(journal, file).Added, 1u);
        const std::optional<JournalRecord> record = journal.Read(1);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->Units, units::TUnitSystem::Metric);
        EXPECT_EQ(record->Values[kJournalFirstDiameter], 17.5L);
        EXPECT_EQ(record->Values[kJournalFirstResult + 4], 37.5L);
        EXPECT_EQ(record->Indicator, 41.5L);
        EXPECT_EQ(record->Note, "well 3");
    }
}

}  // namespace
}  // namespace dw
