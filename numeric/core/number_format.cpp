// SPDX-License-Identifier: MIT
#include "numeric/core/number_format.h"

#include "common/errors.h"
#include "common/utf8.h"
#include "numeric/core/locale_formats.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <cstring>

namespace dw {

namespace {

// ---------------------------------------------------------------------------
// Powers of ten. Each entry is the extended value nearest to the power (the
// compiler rounds long double literals correctly), so a scaling is at most
// three correctly rounded operations.

constexpr Extended kPowersUnits[32] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L,
    1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L,
};
constexpr Extended kPowersTens[16] = {
    1e0L,   1e32L,  1e64L,  1e96L,  1e128L, 1e160L, 1e192L, 1e224L,
    1e256L, 1e288L, 1e320L, 1e352L, 1e384L, 1e416L, 1e448L, 1e480L,
};
constexpr Extended kPowersHundreds[10] = {
    1e0L, 1e512L, 1e1024L, 1e1536L, 1e2048L, 1e2560L, 1e3072L, 1e3584L, 1e4096L, 1e4608L,
};

constexpr int kScaleLimit = 5120;

constexpr Extended kOneE17 = 1e17L;
constexpr Extended kOneE18 = 1e18L;

// ---------------------------------------------------------------------------
// Marks and small text helpers.

// A mark is one character; only the first is ever written, so a locale record
// that holds more cannot stretch the output past its bound.
std::string_view FirstCharacter(const std::string& mark) noexcept
{
    if (!mark.empty() && static_cast<unsigned char>(mark[0]) < 0x80)
        return std::string_view(mark.data(), 1);
    if (mark.size() >= 2 && static_cast<unsigned char>(mark[0]) >= 0xC2 &&
        static_cast<unsigned char>(mark[0]) <= 0xDF && (static_cast<unsigned char>(mark[1]) & 0xC0) == 0x80)
        return std::string_view(mark.data(), 2);  // a no-break space, say
    return std::string_view(mark).substr(0, utf8::CharLength(mark, 0));
}

bool HasDigits(const DecimalDigits& d) noexcept
{
    return d.DigitText[0] != '\0';
}

bool IsSpecial(const DecimalDigits& d) noexcept
{
    return d.DecimalExponent == kInfinityExponent || d.DecimalExponent == kNanExponent;
}

// Writes |value| in decimal (value fits in an int) into buf, returns the length.
int UnsignedText(int value, char* buf) noexcept
{
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    char reversed[12];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    for (int i = 0; i < n; ++i) buf[i] = reversed[n - 1 - i];
    return n;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Nine digits of value (< 10^9), zero-padded; constant divisors only, this
// sits on every formatting path.
void NineDigits(std::uint32_t value, char* out) noexcept
{
    out[0] = static_cast<char>('0' + value / 100000000);
    value %= 100000000;
    const std::uint32_t high = value / 10000;
    const std::uint32_t low = value % 10000;
    std::memcpy(out + 1, kDigitPairs + 2 * (high / 100), 2);
    std::memcpy(out + 3, kDigitPairs + 2 * (high % 100), 2);
    std::memcpy(out + 5, kDigitPairs + 2 * (low / 100), 2);
    std::memcpy(out + 7, kDigitPairs + 2 * (low % 100), 2);
}

// The integer an integral extended value in [1, 2^64) holds, read off its
// bits: a plain conversion would switch the x87 rounding mode twice.
std::uint64_t IntegerOf(Extended integral) noexcept
{
    const ExtendedBits bits = BitsOf(integral);
    const int shift = 63 - (bits.ExponentField() - 16383);
    return shift >= 0 && shift < 64 ? bits.significand >> shift : 0;
}

// x x 10^n; inlined into the conversion, which sits on every formatting path.
inline __attribute__((always_inline)) Extended Scale(Extended x, int n)
{
    if (n == 0)
        return x;
    if (n >= kScaleLimit || n <= -kScaleLimit) {
        if (x == 0 || !std::isfinite(x))
            return x;
        if (n > 0) {
            std::feraiseexcept(FE_OVERFLOW | FE_INEXACT);
            return std::copysign(HUGE_VALL, x);
        }
        std::feraiseexcept(FE_UNDERFLOW | FE_INEXACT);
        return std::copysign(0.0L, x);
    }
    const unsigned magnitude = n > 0 ? static_cast<unsigned>(n) : static_cast<unsigned>(-n);
    const Extended units = kPowersUnits[magnitude % 32];
    const Extended tens = kPowersTens[(magnitude / 32) % 16];
    const Extended hundreds = kPowersHundreds[magnitude / 512];
    if (n > 0) {
        if (magnitude % 32 != 0)
            x *= units;
        if ((magnitude / 32) % 16 != 0)
            x *= tens;
        if (magnitude / 512 != 0)
            x *= hundreds;
    } else {
        if (magnitude % 32 != 0)
            x /= units;
        if ((magnitude / 32) % 16 != 0)
            x /= tens;
        if (magnitude / 512 != 0)
            x /= hundreds;
    }
    return x;
}

}  // namespace

// ---------------------------------------------------------------------------

Extended ScaleByPowerOfTen(Extended x, int n)
{
    return Scale(x, n);
}

DecimalDigits ToDecimalDigits(Extended value, int precision, int decimals)
{
    DecimalDigits result;
    const ExtendedBits bits = BitsOf(value);
    const int field = bits.ExponentField();
    if (field == 0)
        return result;  // zero or denormal, either sign
    if (field == 0x7FFF) {
        if ((bits.significand >> 48) == 0x8000) {
            result.DecimalExponent = kInfinityExponent;
            result.IsNegative = bits.Negative();
        } else {
            result.DecimalExponent = kNanExponent;
        }
        return result;
    }
    if ((bits.significand >> 63) == 0) {
        // An unnormal: the arithmetic unit refuses it as an operand, as it
        // would a NaN.
        result.DecimalExponent = kNanExponent;
        return result;
    }

    // Estimate of the decimal exponent; the shift floors towards minus infinity.
    int e = (((field - 16383) * 19728) >> 16) + 1;
    const Extended magnitude = std::fabs(value);
    Extended scaled = std::rint(Scale(magnitude, 18 - e));
    if (scaled < kOneE17) {
        // 19728/65536 is slightly below log10(2), so for some tiny magnitudes
        // (binary exponents -681, -877, -1166, ...) the estimate is one too
        // high and only 17 digits would come out behind a leading zero.
        // Scale again one power lower so the text keeps 18 significant digits.
        --e;
        scaled = std::rint(Scale(magnitude, 18 - e));
    }
    if (scaled >= kOneE18) {
        scaled = std::rint(scaled / 10);
        ++e;
    }
    const std::int64_t places = static_cast<std::int64_t>(e) + decimals;
    if (places < 0)
        return result;  // rounded away entirely: a plain zero
    const std::int64_t n = std::min<std::int64_t>(places, std::max(precision, 0));

    // Only the digits up to position n count; most values need the first nine.
    const std::uint64_t integer = IntegerOf(scaled);
    char text[18];
    NineDigits(static_cast<std::uint32_t>(integer / 1000000000u), text);
    if (n >= 9)
        NineDigits(static_cast<std::uint32_t>(integer % 1000000000u), text + 9);
    int length = 18;
    if (n < 18) {
        length = static_cast<int>(n);
        if (text[length] >= '5') {
            int i = length - 1;
            while (i >= 0 && text[i] == '9') --i;
            if (i < 0) {
                text[0] = '1';
                length = 1;
                ++e;
            } else {
                ++text[i];
                length = i + 1;
            }
        }
    }
    while (length > 0 && text[length - 1] == '0') --length;
    std::memcpy(result.DigitText, text, static_cast<std::size_t>(length));
    result.DigitText[length] = '\0';
    result.DecimalExponent = static_cast<std::int16_t>(e);
    result.IsNegative = bits.Negative();
    return result;
}

// ---------------------------------------------------------------------------
// Styled text.

namespace {

void AppendExponentDigits(std::string& out, int value, int width)
{
    char buf[12];
    const int n = UnsignedText(value, buf);
    for (int i = n; i < width; ++i) out += '0';
    out.append(buf, static_cast<std::size_t>(n));
}

void AppendGeneral(std::string& out, const DecimalDigits& d, int precision, std::string_view decimalMark)
{
    const char* text = d.DigitText;
    const int length = static_cast<int>(std::strlen(text));
    const int e = d.DecimalExponent;
    if (d.IsNegative)
        out += '-';
    if (length > 0 && (e > precision || e < -3)) {
        out += text[0];
        if (length > 1) {
            out += decimalMark;
            out.append(text + 1, static_cast<std::size_t>(length - 1));
        }
        out += 'E';
        if (e - 1 < 0)
            out += '-';
        AppendExponentDigits(out, e - 1, 0);
    } else if (e > 0) {
        for (int i = 0; i < e; ++i) out += i < length ? text[i] : '0';
        if (length > e) {
            out += decimalMark;
            out.append(text + e, static_cast<std::size_t>(length - e));
        }
    } else {
        out += '0';
        if (length > 0) {
            out += decimalMark;
            out.append(static_cast<std::size_t>(-e), '0');
            out.append(text, static_cast<std::size_t>(length));
        }
    }
}

void AppendExponentStyle(std::string& out, const DecimalDigits& d, int precision, int digits,
                         std::string_view decimalMark)
{
    const char* text = d.DigitText;
    const int length = static_cast<int>(std::strlen(text));
    if (d.IsNegative)
        out += '-';
    out += length > 0 ? text[0] : '0';
    out += decimalMark;
    for (int i = 1; i < precision; ++i) out += i < length ? text[i] : '0';
    out += 'E';
    const int exponent = length > 0 ? d.DecimalExponent - 1 : 0;
    out += exponent < 0 ? '-' : '+';
    AppendExponentDigits(out, exponent, std::clamp(digits, 0, 4));
}

// The unsigned fixed-point text, grouped or not.
void AppendFixed(std::string& out, const DecimalDigits& d, int digits, bool grouped, std::string_view decimalMark,
                 std::string_view thousandsMark)
{
    const char* text = d.DigitText;
    const int length = static_cast<int>(std::strlen(text));
    const int e = d.DecimalExponent;
    int next = 0;
    if (e <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < e; ++i) {
            out += next < length ? text[next++] : '0';
            const int left = e - 1 - i;
            if (grouped && left > 0 && left % 3 == 0)
                out += thousandsMark;
        }
    }
    if (digits <= 0)
        return;
    out += decimalMark;
    int written = 0;
    for (int i = e; i < 0 && written < digits; ++i, ++written) out += '0';
    for (; written < digits; ++written) out += next < length ? text[next++] : '0';
}

constexpr std::string_view kPositiveCurrency[4] = {"$*", "*$", "$ *", "* $"};
constexpr std::string_view kNegativeCurrency[16] = {
    "($*)", "-$*",  "$-*",  "$*-",  "(*$)", "-*$",  "*-$",   "*$-",
    "-* $", "-$ *", "* $-", "$ *-", "$ -*", "*- $", "($ *)", "(* $)",
};

}  // namespace

std::string NumberToStyledText(Extended value, NumberStyle style, int precision, int digits)
{
    precision = std::clamp(precision, 2, 18);
    const bool fixedPoint =
        style == NumberStyle::Fixed || style == NumberStyle::Grouped || style == NumberStyle::Currency;
    if (fixedPoint)
        digits = std::min(digits, 18);
    const DecimalDigits d = ToDecimalDigits(value, precision, fixedPoint ? digits : 9999);
    if (d.DecimalExponent == kInfinityExponent)
        return "INF";
    if (d.DecimalExponent == kNanExponent)
        return "NAN";
    if (style != NumberStyle::Exponent && d.DecimalExponent > precision)
        style = NumberStyle::General;

    const LocaleFormatSettings& formats = LocaleFormats();
    const std::string_view decimalMark = FirstCharacter(formats.DecimalMark);
    const std::string_view thousandsMark = FirstCharacter(formats.ThousandsMark);
    std::string out;
    out.reserve(32);
    switch (style) {
        case NumberStyle::Exponent:
            AppendExponentStyle(out, d, precision, digits, decimalMark);
            break;
        case NumberStyle::Fixed:
        case NumberStyle::Grouped:
            if (d.IsNegative)
                out += '-';
            AppendFixed(out, d, digits, style == NumberStyle::Grouped, decimalMark, thousandsMark);
            break;
        case NumberStyle::Currency: {
            std::string number;
            AppendFixed(number, d, digits, true, decimalMark, thousandsMark);
            const std::string_view arrangement =
                d.IsNegative ? kNegativeCurrency[std::min<int>(formats.NegativeCurrencyPlacement, 15)]
                             : kPositiveCurrency[std::min<int>(formats.CurrencyPlacement, 3)];
            for (const char c : arrangement) {
                if (c == '$')
                    out += formats.CurrencySymbol;
                else if (c == '*')
                    out += number;
                else
                    out += c;
            }
            break;
        }
        case NumberStyle::General:
        default:
            AppendGeneral(out, d, precision, decimalMark);
            break;
    }
    return out;
}

std::string NumberToText(Extended value)
{
    return NumberToStyledText(value, NumberStyle::General, 15, 0);
}

// ---------------------------------------------------------------------------
// Display patterns.

namespace {

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
