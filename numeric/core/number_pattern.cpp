// SPDX-License-Identifier: MIT
#include "numeric/core/number_format.h"

#include "common/errors.h"
#include "common/message_text.h"
#include "common/utf8.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format_p.h"

#include <algorithm>
#include <array>
#include <cstring>

// Display patterns: "#,##0.00 т'.';-..." sections, placeholders, quoted
// literals and the exponent, each pattern planned once and written by steps.

namespace dw {

namespace {

using namespace number_text;

constexpr std::size_t kPatternLimit = 224;
constexpr std::size_t kNoSection = std::string_view::npos;
constexpr int kNoZero = 32767;

// The output of one pattern. Its size follows from the 224-character limit:
// the leading "-" (1 byte); each pattern character at most 5 bytes (a literal
// is at most 4; a placeholder writes one digit plus at most one mark of at
// most 4 bytes; "E+" writes at most 6 bytes for its 2 characters); the first
// placeholder up to 18 more digits and 6 more marks (42 bytes). That is at
// most 1 + 224 * 5 + 42 = 1163 bytes (in characters: 3 per pattern character
// at most, about 700 in all), so the text is never cut; the capacity checks
// only keep the bound should that sum ever be wrong.
class PatternOutput {
public:
    void Put(char c) noexcept
    {
        if (m_length < kCapacity)
            m_text[m_length++] = c;
    }
    void Put(std::string_view s) noexcept
    {
        const std::size_t n = std::min(s.size(), kCapacity - m_length);
        if (n <= 4) {
            // Marks and short literals: cheaper than a library call.
            for (std::size_t i = 0; i < n; ++i) m_text[m_length + i] = s[i];
        } else {
            std::memcpy(m_text + m_length, s.data(), n);
        }
        m_length += n;
    }
    std::string Text() const { return std::string(m_text, m_length); }

private:
    static constexpr std::size_t kCapacity = 2048;
    char m_text[kCapacity];
    std::size_t m_length = 0;
};

struct SectionLayout {
    int DigitCount = 0;
    int DecimalIndex = 0;
    int FirstZero = kNoZero;
    int LastZero = 0;
    bool Grouping = false;
    bool Scientific = false;
    int RequiredInteger = 0;
    int RequiredDecimals = 0;
};

bool LongerThan(std::string_view text, std::size_t limit) noexcept
{
    if (text.size() <= limit)
        return false;  // a character takes at least one byte
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) {
        if (count == limit)
            return true;
        pos += static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : utf8::CharLength(text, pos);
    }
    return false;
}

// Every character the pattern language gives a meaning to is ASCII, and no
// byte of a multi-byte UTF-8 sequence (nor a stray byte) is, so the pattern is
// walked byte by byte and runs of other bytes are copied as they stand.
constexpr auto kMeaningful = [] {
    std::array<bool, 256> table{};
    for (const unsigned char c : std::string_view(";'\"0#.,Ee")) table[c] = true;
    return table;
}();

bool IsMeaningful(char c) noexcept
{
    return kMeaningful[static_cast<unsigned char>(c)];
}

bool IsQuote(char c) noexcept
{
    return c == '\'' || c == '"';
}

// Position of the quote closing the one at pos, or the pattern's size. Quoted
// texts are short, so a plain loop beats a library search here.
std::size_t ClosingQuote(std::string_view pattern, std::size_t pos) noexcept
{
    const char quote = pattern[pos];
    std::size_t close = pos + 1;
    while (close < pattern.size() && pattern[close] != quote) ++close;
    return close;
}

bool IsExponentSign(std::string_view pattern, std::size_t pos) noexcept
{
    return pos < pattern.size() && (pattern[pos] == '+' || pattern[pos] == '-');
}

// Start of section `index` (0-based), or kNoSection when it does not exist, is
// empty, or lies behind an unclosed quote.
std::size_t FindSection(std::string_view pattern, int index) noexcept
{
    std::size_t pos = 0;
    while (index > 0) {
        if (pos >= pattern.size())
            return kNoSection;
        const char c = pattern[pos];
        if (IsQuote(c)) {
            const std::size_t close = pattern.find(c, pos + 1);
            if (close == std::string_view::npos)
                return kNoSection;
            pos = close + 1;
            continue;
        }
        if (c == ';')
            --index;
        ++pos;
    }
    if (pos >= pattern.size() || pattern[pos] == ';')
        return kNoSection;
    return pos;
}

// What the write step does, in pattern order: copy pattern bytes, fill a
// placeholder, or write the exponent. Quotes, ".", "," and the exponent's
// zeros leave no step of their own.
enum class StepKind : std::uint8_t { Literal, Placeholder, Exponent };

struct WriteStep {
    std::uint16_t Offset = 0;  // Literal: the bytes copied
    std::uint16_t Length = 0;
    StepKind Kind = StepKind::Literal;
    char Letter = 0;         // Exponent: "E" or "e" as written,
    bool Plus = false;       // whether "+" is written for a non-negative exponent,
    std::uint8_t Width = 0;  // and the minimum number of digits (at most 4)
};

// Every step takes at least one character of the pattern and the sections do
// not overlap, so a pattern within the length limit has at most this many.
constexpr std::size_t kMaxSteps = kPatternLimit;

struct WriteSteps {
    WriteStep* Steps;
    std::size_t Capacity;
    std::size_t Count = 0;
    std::size_t SectionBegin = 0;  // literals merge only within a section

    void Add(const WriteStep& step) noexcept
    {
        if (Count < Capacity)
            Steps[Count++] = step;
    }
    void AddLiteral(std::size_t offset, std::size_t length) noexcept
    {
        if (length == 0)
            return;
        if (Count > SectionBegin) {
            WriteStep& last = Steps[Count - 1];
            if (last.Kind == StepKind::Literal && last.Offset + last.Length == offset) {
                last.Length = static_cast<std::uint16_t>(last.Length + length);
                return;
            }
        }
        WriteStep step;
        step.Offset = static_cast<std::uint16_t>(offset);
        step.Length = static_cast<std::uint16_t>(length);
        Add(step);
    }
};

// Reads one section from pos to its ";" (or the end): the counts the
// conversion needs, and the write steps.
SectionLayout ScanSection(std::string_view pattern, std::size_t pos, WriteSteps& steps) noexcept
{
    SectionLayout s;
    bool pointSeen = false;
    const std::size_t size = pattern.size();
    while (pos < size) {
        const char c = pattern[pos];
        if (!IsMeaningful(c)) {
            std::size_t run = pos + 1;
            while (run < size && !IsMeaningful(pattern[run])) ++run;
            steps.AddLiteral(pos, run - pos);
            pos = run;
            continue;
        }
        if (c == ';')
            break;
        if (IsQuote(c)) {
            const std::size_t close = ClosingQuote(pattern, pos);
            steps.AddLiteral(pos + 1, close - pos - 1);
            pos = std::min(close + 1, size);
            continue;
        }
        ++pos;
        switch (c) {
            case '0':
            case '#':
                if (c == '0') {
                    if (s.FirstZero == kNoZero)
                        s.FirstZero = s.DigitCount;
                    s.LastZero = s.DigitCount + 1;
                }
                ++s.DigitCount;
                {
                    WriteStep step;
                    step.Kind = StepKind::Placeholder;
                    steps.Add(step);
                }
                break;
            case '.':
                if (!pointSeen) {
                    pointSeen = true;
                    s.DecimalIndex = s.DigitCount;
                }
                break;
            case ',':
                s.Grouping = true;
                break;
            case 'E':
            case 'e':
                if (IsExponentSign(pattern, pos)) {
                    s.Scientific = true;
                    WriteStep step;
                    step.Kind = StepKind::Exponent;
                    step.Letter = c;
                    step.Plus = pattern[pos] == '+';
                    ++pos;
                    while (pos < size && pattern[pos] == '0') {
                        ++pos;
                        step.Width = static_cast<std::uint8_t>(std::min(step.Width + 1, 4));
                    }
                    steps.Add(step);
                } else {
                    steps.AddLiteral(pos - 1, 1);
                }
                break;
            default:
                break;
        }
    }
    if (!pointSeen)
        s.DecimalIndex = s.DigitCount;
    s.RequiredInteger = std::max(0, s.DecimalIndex - s.FirstZero);
    s.RequiredDecimals = std::max(0, s.LastZero - s.DecimalIndex);
    return s;
}

// The digit cursor of the write step. DigitPlace counts positions from the
// decimal point: 1 is the units digit, 0 the first decimal.
class DigitWriter {
public:
    DigitWriter(PatternOutput& out, const DecimalDigits& digits, const SectionLayout& layout,
                std::string_view decimalMark, std::string_view thousandsMark) noexcept
        : m_out(out),
          m_next(digits.DigitText),
          m_requiredInteger(layout.RequiredInteger),
          m_requiredDecimals(layout.RequiredDecimals),
          m_grouping(layout.Grouping),
          m_decimalMark(decimalMark),
          m_thousandsMark(thousandsMark)
    {
        if (layout.Scientific) {
            m_place = layout.DecimalIndex;
            m_delta = 0;
        } else {
            m_place = std::max<int>(digits.DecimalExponent, layout.DecimalIndex);
            m_delta = digits.DecimalExponent - layout.DecimalIndex;
        }
    }

    void Placeholder() noexcept
    {
        if (m_delta > 0) {
            // More integer digits than integer placeholders: the first one takes them all.
            for (int i = 0; i <= m_delta; ++i) Digit();
            m_delta = 0;
        } else if (m_delta < 0) {
            ++m_delta;
            if (m_place <= m_requiredInteger)
                Emit('0');
            else
                --m_place;
        } else {
            Digit();
        }
    }

private:
    void Digit() noexcept
    {
        if (*m_next != '\0')
            Emit(*m_next++);
        else if (m_place > -m_requiredDecimals)
            Emit('0');
        else
            --m_place;
    }

    void Emit(char c) noexcept
    {
        if (m_place == 0) {
            m_out.Put(m_decimalMark);
            m_out.Put(c);
        } else {
            m_out.Put(c);
            if (m_grouping && m_place > 1 && m_place % 3 == 1)
                m_out.Put(m_thousandsMark);
        }
        --m_place;
    }

    PatternOutput& m_out;
    const char* m_next;
    int m_place = 0;
    int m_delta = 0;
    int m_requiredInteger;
    int m_requiredDecimals;
    bool m_grouping;
    std::string_view m_decimalMark;
    std::string_view m_thousandsMark;
};

// Where each of the three sections starts (kNoSection when it cannot be
// used), what its scan found, and its write steps.
struct PatternPlan {
    std::size_t Start[3] = {kNoSection, kNoSection, kNoSection};
    SectionLayout Layout[3];
    std::uint16_t FirstStep[3] = {};
    std::uint16_t StepCount[3] = {};
    WriteStep Steps[kMaxSteps];

    void Build(std::string_view pattern) noexcept
    {
        WriteSteps steps{Steps, kMaxSteps};
        for (int i = 0; i < 3; ++i) {
            const std::size_t first = steps.Count;
            steps.SectionBegin = first;
            Start[i] = FindSection(pattern, i);
            if (Start[i] != kNoSection)
                Layout[i] = ScanSection(pattern, Start[i], steps);
            FirstStep[i] = static_cast<std::uint16_t>(first);
            StepCount[i] = static_cast<std::uint16_t>(steps.Count - first);
        }
    }
};

// A field formats its value with the same pattern again and again, so the
// plans of the last few patterns are kept, per thread, keyed by the whole
// pattern text. The entries are fixed-size: nothing is allocated.
class PatternPlanCache {
public:
    const PatternPlan& PlanOf(std::string_view pattern) noexcept
    {
        if (Matches(m_entries[m_last], pattern))
            return m_entries[m_last].Plan;
        for (std::size_t i = 0; i < kEntries; ++i) {
            if (Matches(m_entries[i], pattern)) {
                m_last = i;
                return m_entries[i].Plan;
            }
        }
        m_last = m_next;
        m_next = (m_next + 1) % kEntries;
        Entry& entry = m_entries[m_last];
        entry.Used = true;
        entry.Size = pattern.size();
        std::memcpy(entry.Text, pattern.data(), pattern.size());
        entry.Plan.Build(pattern);
        return entry.Plan;
    }

private:
    static constexpr std::size_t kEntries = 8;
    // The length limit is checked first; a character is at most 4 bytes.
    static constexpr std::size_t kMaxBytes = 4 * kPatternLimit;
    struct Entry {
        bool Used = false;
        std::size_t Size = 0;
        char Text[kMaxBytes] = {};
        PatternPlan Plan;
    };

    static bool Matches(const Entry& entry, std::string_view pattern) noexcept
    {
        return entry.Used && entry.Size == pattern.size() &&
               std::memcmp(entry.Text, pattern.data(), pattern.size()) == 0;
    }

    Entry m_entries[kEntries];
    std::size_t m_last = 0;
    std::size_t m_next = 0;
};

constinit thread_local PatternPlanCache t_planCache;

}  // namespace

std::string FormatNumberPattern(std::string_view pattern, Extended value)
{
    if (LongerThan(pattern, kPatternLimit))
        throw EConvertError(DW_TEXT("Message", "Format string too long"));

    // The section follows the binary value: a negative zero starts in the
    // negative section.
    const ExtendedBits bits = BitsOf(value);
    int wanted = 0;
    if (bits.Negative())
        wanted = 1;
    else if (bits.ExponentField() == 0 && bits.significand == 0)
        wanted = 2;
    const PatternPlan& plan = t_planCache.PlanOf(pattern);
    int used = plan.Start[wanted] != kNoSection ? wanted : 0;
    if (plan.Start[used] == kNoSection)
        return NumberToText(value);

    const SectionLayout* layout = &plan.Layout[used];
    const DecimalDigits digits = layout->Scientific
                                     ? ToDecimalDigits(value, layout->DigitCount, 9999)
                                     : ToDecimalDigits(value, 18, layout->DigitCount - layout->DecimalIndex);
    if (IsSpecial(digits) || (!layout->Scientific && digits.DecimalExponent > 18))
        return NumberToText(value);

    if (!HasDigits(digits)) {
        // Zero after rounding: the zero section, else the first; the digits
        // are not computed again.
        const int zeroUsed = plan.Start[2] != kNoSection ? 2 : 0;
        if (plan.Start[zeroUsed] == kNoSection)
            return NumberToText(value);
        used = zeroUsed;
        layout = &plan.Layout[used];
        // A scientific section without placeholders rounds any value to
        // nothing while keeping its exponent; a plain section chosen again
        // would then fill thousands of integer zeros. The same limit as for
        // a plain section applies.
        if (!layout->Scientific && digits.DecimalExponent > 18)
            return NumberToText(value);
    }

    const LocaleFormatSettings& formats = LocaleFormats();
    PatternOutput out;
    if (digits.IsNegative && used == 0)
        out.Put('-');
    DigitWriter writer(out, digits, *layout, FirstCharacter(formats.DecimalMark),
                       FirstCharacter(formats.ThousandsMark));

    const WriteStep* step = plan.Steps + plan.FirstStep[used];
    const WriteStep* const stepsEnd = step + plan.StepCount[used];
    for (; step != stepsEnd; ++step) {
        switch (step->Kind) {
            case StepKind::Literal:
                out.Put(pattern.substr(step->Offset, step->Length));
                break;
            case StepKind::Placeholder:
                writer.Placeholder();
                break;
            case StepKind::Exponent: {
                const int exponent = HasDigits(digits) ? digits.DecimalExponent - layout->DecimalIndex : 0;
                out.Put(step->Letter);
                if (exponent < 0)
                    out.Put('-');
                else if (step->Plus)
                    out.Put('+');
                char buf[12];
                const int n = UnsignedText(exponent, buf);
                for (int i = n; i < step->Width; ++i) out.Put('0');
                out.Put(std::string_view(buf, static_cast<std::size_t>(n)));
                break;
            }
        }
    }
    return out.Text();
}

}  // namespace dw
