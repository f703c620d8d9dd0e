// SPDX-License-Identifier: MIT
#include "journal/core/journal_csv.h"

#include "common/input_file.h"
#include "common/replace_file.h"
#include "common/utf8.h"

#include <algorithm>
#include <cmath>

namespace dw {

namespace {

// The columns of a file written before records kept their units, and the
// units column added after them: other programs read the first ones by
// place, so they stay as they were and the new one comes last.
constexpr std::size_t kOldColumnCount = 1 + kJournalValueCount + 3;
constexpr std::size_t kColumnCount = kOldColumnCount + 1;
// A file listing more bad lines than this names the first of them and how
// many more there are: the user fixes the file's maker, not each line.
constexpr std::size_t kFaultsNamed = 20;

std::vector<std::string> ColumnNames()
{
    std::vector<std::string> names{"datetime"};
    for (std::size_t i = 0; i < kJournalValueCount; ++i) names.push_back(JournalValueName(i));
    names.insert(names.end(), {"indicator_t", "printed", "note", "units"});
    return names;
}

// A value of an oilfield record as its metric column holds it: converted
// with the defined factors and not rounded, so nothing is lost on the way.
Extended ToColumn(Extended value, units::TFieldKind kind, units::TUnitSystem system)
{
    return units::ConvertExact(value, kind, system, units::TUnitSystem::Metric);
}

// Back from a metric column to the record's own units: the value the record
// had. A field holds its value with its unit's decimals, and such a value
// is the one whose conversion the column holds (to the last of the 15
// digits a file made by hand may carry). A value with more decimals, which
// no field makes, comes back as the one beside the exact conversion that
// writes the same number again (so a second trip changes nothing), or as
// the exact conversion itself.
Extended FromColumn(Extended metric, units::TFieldKind kind, units::TUnitSystem system)
{
    if (system == units::TUnitSystem::Metric)
        return metric;
    const Extended exact = units::ConvertExact(metric, kind, units::TUnitSystem::Metric, system);
    // The value with the unit's decimals nearest to it, worked out in
    // numbers: the text a field would go through costs twice the rest of
    // an import, and a held value is never near half a step, where the
    // two could differ.
    Extended scale = 1;
    for (unsigned d = 0; d < units::UnitOf(kind, system).Decimals; ++d) scale *= 10;
    if (std::fabs(exact * scale) < 1e18L) {
        const Extended held = std::round(exact * scale) / scale;
        const Extended heldColumn = ToColumn(held, kind, system);
        if (heldColumn == metric || std::fabs(heldColumn - metric) <= 1e-15L * std::fabs(metric))
            return held;
    }
    Extended below = exact, above = exact;
    for (int step = 0; step <= 2; ++step) {
        if (ToColumn(below, kind, system) == metric)
            return below;
        if (ToColumn(above, kind, system) == metric)
            return above;
        below = std::nextafter(below, -HUGE_VALL);
        above = std::nextafter(above, HUGE_VALL);
    }
    return exact;
}

void AppendField(std::string& row, std::string_view field, char separator)
{
    const bool quote = field.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string_view::npos;
    if (!quote) {
        row += field;
        return;
    }
    row += '"';
    for (char c : field) {
        if (c == '"')
            row += '"';
        row += c;
    }
    row += '"';
}

std::string Number(Extended value, char mark)
{
    std::string text = JournalNumberText(value);
    if (mark != '.')
        std::replace(text.begin(), text.end(), '.', mark);
    return text;
}

struct Row {
    std::size_t Line = 0;
    std::vector<std::string> Fields;
};

// Splits the text into rows of fields as RFC 4180 has them; a quoted field
// may hold separators, doubled quotes and line breaks. Rows end in CR LF,
// LF or CR. Returns the line of an unclosed quote in *openQuoteLine.
std::vector<Row> SplitRows(std::string_view text, char separator, std::size_t& openQuoteLine)
{
    std::vector<Row> rows;
    std::size_t line = 1;
    std::size_t pos = 0;
    openQuoteLine = 0;
    while (pos < text.size()) {
        Row row;
        row.Line = line;
        std::string field;
        bool rowEnded = false;
        while (!rowEnded) {
            field.clear();
            if (pos < text.size() && text[pos] == '"') {
                const std::size_t quoteLine = line;
                ++pos;
                bool closed = false;
                while (pos < text.size()) {
                    const char c = text[pos];
                    if (c == '"') {
                        if (pos + 1 < text.size() && text[pos + 1] == '"') {
                            field += '"';
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        closed = true;
                        break;
                    }
                    if (c == '\n' || (c == '\r' && (pos + 1 >= text.size() || text[pos + 1] != '\n')))
                        ++line;
                    field += c;
                    ++pos;
                }
                if (!closed) {
                    openQuoteLine = quoteLine;
                    row.Fields.push_back(field);
                    rows.push_back(std::move(row));
                    return rows;
                }
                // Whatever follows the closing quote up to the separator
                // belongs to the field; a well-formed file has nothing there.
            }
            while (pos < text.size() && text[pos] != separator && text[pos] != '\r' && text[pos] != '\n')
                field += text[pos++];
            row.Fields.push_back(field);
            if (pos >= text.size()) {
                rowEnded = true;
            } else if (text[pos] == separator) {
                ++pos;
            } else {
                if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
                    ++pos;
                ++pos;
                ++line;
                rowEnded = true;
            }
        }
        // A blank line between rows (or at the end) is no row.
        if (!(row.Fields.size() == 1 && row.Fields[0].empty()))
            rows.push_back(std::move(row));
    }
    return rows;
}

std::string Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return std::string(text);
}

std::optional<Extended> ParseNumber(const std::string& field, char mark)
{
    std::string text = Trimmed(field);
    if (mark != '.') {
        if (text.find('.') != std::string::npos)
            return std::nullopt;
        std::replace(text.begin(), text.end(), mark, '.');
    }
    return ParseJournalNumber(text);
}

MessageText ColumnFault(const std::string& column, const MessageText& why)
{
    return MessageText(DW_TEXT("Message", "%1: %2"), {MessageText::Verbatim(column), why});
}

// The record of one row, or why not.
std::optional<MessageText> ParseRecord(const Row& row, const JournalCsvForm& form,
                                       const std::vector<std::string>& names, JournalRecord& record)
{
    if (row.Fields.size() != names.size())
        return MessageText(DW_TEXT("Message", "%1 fields where the journal has %2"),
                           {MessageText::Verbatim(std::to_string(row.Fields.size())),
                            MessageText::Verbatim(std::to_string(names.size()))});
    // The units first: every number of the row is read in them. A file
    // from before the column holds metric records only.
    if (names.size() == kColumnCount) {
        const std::optional<units::TUnitSystem> system = ParseJournalUnits(Trimmed(row.Fields[kColumnCount - 1]));
        if (!system)
            return ColumnFault(names[kColumnCount - 1], DW_TEXT("Message", "metric or oilfield"));
        record.Units = *system;
    }
    std::size_t column = 0;
    record.DateTime = Trimmed(row.Fields[column]);
    if (!IsJournalDateTime(record.DateTime))
        return ColumnFault(names[column], DW_TEXT("Message", "not a date and time YYYY-MM-DDTHH:MM:SS"));
    ++column;
    for (std::size_t i = 0; i < kJournalValueCount; ++i, ++column) {
        const std::optional<Extended> value = ParseNumber(row.Fields[column], form.DecimalMark);
        if (!value)
            return ColumnFault(names[column], DW_TEXT("Message", "not a number"));
        const Extended own = FromColumn(*value, JournalValueKind(i), record.Units);
        if (std::optional<MessageText> fault = JournalValueFault(i, own))
            return ColumnFault(names[column], *fault);
        record.Values[i] = own;
    }
    const std::string indicator = Trimmed(row.Fields[column]);
    if (!indicator.empty()) {
        const std::optional<Extended> value = ParseNumber(indicator, form.DecimalMark);
        if (!value)
            return ColumnFault(names[column], DW_TEXT("Message", "not a number"));
        // The column is in tonnes whatever the record's units.
        if (std::optional<MessageText> fault = IndicatorFault(*value))
            return ColumnFault(names[column], *fault);
        record.Indicator = FromColumn(*value, kIndicatorKind, record.Units);
    }
    ++column;
    const std::string printed = Trimmed(row.Fields[column]);
    if (printed != "0" && printed != "1")
        return ColumnFault(names[column], DW_TEXT("Message", "0 or 1"));
    record.Printed = printed == "1";
    ++column;
    if (std::optional<MessageText> fault = NoteFault(row.Fields[column]))
        return ColumnFault(names[column], *fault);
    record.Note = row.Fields[column];
    return std::nullopt;
}

MessageText FaultsText(const std::string& fileName, const std::vector<JournalCsvFault>& faults)
{
    // One line of the message per bad line of the file, each with why.
    MessageText list;
    for (std::size_t i = 0; i < faults.size() && i < kFaultsNamed; ++i) {
        const MessageText line(DW_TEXT("Message", "line %1: %2"),
                               {MessageText::Verbatim(std::to_string(faults[i].Line)), faults[i].Reason});
        list = i == 0 ? line
                      : MessageText(DW_TEXT3("Message", "%1\n%2", "one line of a list after another"), {list, line});
    }
    if (faults.size() > kFaultsNamed)
        list = MessageText(DW_TEXT3("Message", "%1\n%2", "one line of a list after another"),
                           {list, MessageText(DW_TEXT("Message", "and %1 more"),
                                              {MessageText::Verbatim(std::to_string(faults.size() - kFaultsNamed))})});
    return MessageText(DW_TEXT("Message", "%1 holds lines that are not journal records; nothing was imported.\n%2"),
                       {MessageText::Verbatim(fileName), list});
}

}  // namespace

std::string JournalCsvHeader(const JournalCsvForm& form)
{
    std::string row;
    for (const std::string& name : ColumnNames()) {
        if (!row.empty())
            row += form.Separator;
        row += name;
    }
    return row + "\r\n";
}

std::string JournalCsvRow(const JournalRecord& record, const JournalCsvForm& form)
{
    std::string row = record.DateTime;
    for (std::size_t i = 0; i < kJournalValueCount; ++i) {
        row += form.Separator;
        row += Number(ToColumn(record.Values[i], JournalValueKind(i), record.Units), form.DecimalMark);
    }
    row += form.Separator;
    if (record.Indicator)
        row += Number(ToColumn(*record.Indicator, kIndicatorKind, record.Units), form.DecimalMark);
    row += form.Separator;
    row += record.Printed ? '1' : '0';
    row += form.Separator;
    AppendField(row, record.Note, form.Separator);
    row += form.Separator;
    row += JournalUnitsName(record.Units);
    return row + "\r\n";
}

EJournalCsvError::EJournalCsvError(const std::string& fileName, std::vector<JournalCsvFault> faults)
    : EFileError(FaultsText(fileName, faults)), m_faults(std::move(faults))
{
}

std::vector<JournalRecord> ParseJournalCsv(std::string_view bytes, const std::string& fileName)
{
    // A spreadsheet may put a byte-order mark before the header.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::vector<JournalCsvFault> faults;
    if (!utf8::IsValid(bytes))
        faults.push_back({1, DW_TEXT("Message", "the file is not UTF-8 text")});
    // The header says which form the file is in.
    const std::string_view firstLine = bytes.substr(0, bytes.find_first_of("\r\n"));
    const JournalCsvForm form = firstLine.find(kJournalSpreadsheetCsv.Separator) != std::string_view::npos
                                    ? kJournalSpreadsheetCsv
                                    : kJournalCsv;
    std::size_t openQuote = 0;
    const std::vector<Row> rows = SplitRows(bytes, form.Separator, openQuote);
    std::vector<std::string> names = ColumnNames();
    // A file written before the units column holds the others alone.
    if (!rows.empty() && rows.front().Fields.size() == kOldColumnCount)
        names.pop_back();
    std::vector<JournalRecord> records;
    if (rows.empty() || rows.front().Fields != names) {
        faults.push_back({1, DW_TEXT("Message", "the header is not the journal's columns")});
        throw EJournalCsvError(fileName, std::move(faults));
    }
    // A row whose quote never closes runs to the end of the file: it is
    // said once, as that, not also as a row of the wrong fields.
    const std::size_t rowsToRead = openQuote != 0 ? rows.size() - 1 : rows.size();
    for (std::size_t r = 1; r < rowsToRead; ++r) {
        JournalRecord record;
        if (std::optional<MessageText> fault = ParseRecord(rows[r], form, names, record))
            faults.push_back({rows[r].Line, *fault});
        else if (faults.empty())
            records.push_back(std::move(record));
    }
    if (openQuote != 0)
        faults.push_back({openQuote, DW_TEXT("Message", "a quote that is never closed")});
    if (!faults.empty())
        throw EJournalCsvError(fileName, std::move(faults));
    return records;
}

std::size_t ExportJournal(Journal& journal, const std::string& fileName, const JournalCsvForm& form)
{
    ReplaceFileWriter writer(fileName);
    writer.Write(JournalCsvHeader(form));
    std::size_t count = 0;
    journal.ForEachRecord([&](const JournalRecord& record) {
        writer.Write(JournalCsvRow(record, form));
        ++count;
    });
    writer.Commit();
    return count;
}

JournalImportCount ImportJournal(Journal& journal, const std::string& fileName)
{
    InputFile file(fileName);
    const std::vector<std::uint8_t> bytes = file.ReadAll(kMaxJournalCsvSize, DW_TEXT("Message", "a journal file"));
    const std::vector<JournalRecord> records =
        ParseJournalCsv(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), fileName);
    return journal.Import(records);
}

}  // namespace dw
