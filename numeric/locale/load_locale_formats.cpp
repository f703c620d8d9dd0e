// SPDX-License-Identifier: MIT
#include "numeric/locale/load_locale_formats.h"

#include "common/utf8.h"
#include "numeric/core/date_time_format.h"
#include "numeric/core/locale_formats.h"

#include <QLocale>

#include <array>
#include <string_view>

namespace dw {

namespace {

// Locale texts are taken whole up to this many characters, as the record's
// text fields always were.
constexpr std::size_t kTextLimit = 255;

std::string ToUtf8(const QString& text)
{
    return text.toStdString();
}

// A text item: the whole item (within the limit), or the default when empty.
std::string TextOr(const QString& item, const std::string& fallback)
{
    if (item.isEmpty())
        return fallback;
    return std::string(utf8::Left(ToUtf8(item), kTextLimit));
}

// A mark is one character; a missing item, or one of several characters,
// leaves the default.
std::string MarkOr(const QString& item, const std::string& fallback)
{
    if (item.toUcs4().size() != 1)
        return fallback;
    return ToUtf8(item);
}

// Direction marks and other invisible formatting characters the locale data
// wraps around signs and symbols.
bool IsFormatCharacter(char32_t ch)
{
    return QChar::category(ch) == QChar::Other_Format;
}

// The first character of a locale format that separates its fields: not a
// letter, digit, space, quote or invisible mark. Empty when there is none.
QString FirstSeparator(const QString& localeFormat)
{
    bool quoted = false;
    for (const char32_t ch : localeFormat.toUcs4()) {
        if (ch == U'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted || QChar::isLetter(ch) || QChar::isDigit(ch) || QChar::isSpace(ch) || QChar::isMark(ch) ||
            IsFormatCharacter(ch))
            continue;
        return QString::fromUcs4(&ch, 1);
    }
    return {};
}

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Builds a formatter pattern, keeping literal text literal.
class PatternBuilder {
public:
    void Token(char letter, std::size_t count)
    {
        CloseQuote();
        // Two runs of the same letter would merge into one longer token; an
        // empty quote keeps them apart.
        if (!m_out.empty() && m_out.back() == letter && m_lastWasToken)
            m_out += "''";
        m_out.append(count, letter);
        m_lastWasToken = true;
    }

    // quoted: the locale format quoted it, so even "/" and ":" are plain text.
    void Literal(std::string_view text, bool quoted)
    {
        std::size_t pos = 0;
        while (pos < text.size()) {
            const char c = text[pos];
            if (c == '\'') {
                CloseQuote();
                m_out += "\"'\"";
            } else if (IsAsciiLetter(c) || c == '"' || (quoted && (c == '/' || c == ':'))) {
                if (!m_inQuote) {
                    m_out += '\'';
                    m_inQuote = true;
                }
                m_out += c;
            } else {
                CloseQuote();
                const std::size_t length = utf8::CharLength(text, pos);
                m_out.append(text.substr(pos, length));
                pos += length;
                m_lastWasToken = false;
                continue;
            }
            m_lastWasToken = false;
            ++pos;
        }
    }

    std::string Take()
    {
        CloseQuote();
        return std::move(m_out);
    }

private:
    void CloseQuote()
    {
        if (m_inQuote) {
            m_out += '\'';
            m_inQuote = false;
        }
    }

    std::string m_out;
    bool m_inQuote = false;
    bool m_lastWasToken = false;
};

std::size_t RunLength(std::string_view text, std::size_t pos)
{
    std::size_t count = 1;
    while (pos + count < text.size() && text[pos + count] == text[pos]) ++count;
    return count;
}

DatePatternCalendar CalendarOf(const QLocale& locale)
{
    // No alternate (era) calendars here: only the language decides.
    switch (locale.language()) {
        case QLocale::Chinese:
        case QLocale::Japanese:
        case QLocale::Korean:
            return DatePatternCalendar::GregorianEastAsian;
        default:
            return DatePatternCalendar::Gregorian;
    }
}

std::string DatePatternOr(const QLocale& locale, QLocale::FormatType type, const std::string& fallback)
{
    const std::string pattern =
        TranslateDatePattern(DatePatternFromLocaleFormat(locale.dateFormat(type)), CalendarOf(locale));
    if (pattern.empty())
        return fallback;
    return std::string(utf8::Left(pattern, kTextLimit));
}

// The arrangement of sign, symbol and number in an amount as the locale writes
// it: "$" the symbol, "*" the number, "-" the minus sign, " " any spacing.
QString ArrangementOf(const QLocale& locale, const QString& amount, const QString& symbol)
{
    std::u32string chars;
    for (const char32_t ch : amount.toUcs4()) {
        if (!IsFormatCharacter(ch))
            chars += ch;
    }
    const std::u32string sym = [&] {
        std::u32string s;
        for (const char32_t ch : symbol.toUcs4()) {
            if (!IsFormatCharacter(ch))
                s += ch;
        }
        return s;
    }();
    const std::size_t symbolAt = sym.empty() ? std::u32string::npos : chars.find(sym);
    if (symbolAt == std::u32string::npos)
        return {};
    chars.replace(symbolAt, sym.size(), U"$");

    const std::size_t firstDigit = [&] {
        for (std::size_t i = 0; i < chars.size(); ++i)
            if (QChar::isDigit(chars[i]))
                return i;
        return std::u32string::npos;
    }();
    if (firstDigit == std::u32string::npos)
        return {};
    std::size_t lastDigit = firstDigit;
    for (std::size_t i = firstDigit; i < chars.size(); ++i)
        if (QChar::isDigit(chars[i]))
            lastDigit = i;
    chars.replace(firstDigit, lastDigit - firstDigit + 1, U"*");

    std::u32string minus;
    for (const char32_t ch : locale.negativeSign().toUcs4())
        if (!IsFormatCharacter(ch))
            minus += ch;

    QString shape;
    for (const char32_t ch : chars) {
        if (ch == U'$' || ch == U'*' || ch == U'(' || ch == U')') {
            shape += QChar(static_cast<char16_t>(ch));
        } else if (ch == U'-' || ch == U'\u2212' || minus.find(ch) != std::u32string::npos) {
            shape += QLatin1Char('-');
        } else if (QChar::isSpace(ch)) {
            if (!shape.endsWith(QLatin1Char(' ')))
                shape += QLatin1Char(' ');
        } else {
            shape += QLatin1Char('?');
        }
    }
    return shape;
}

template <std::size_t N>
int CodeOf(const QString& shape, const std::array<const char*, N>& arrangements)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (shape == QLatin1String(arrangements[i]))
            return static_cast<int>(i);
    }
    return -1;
}

constexpr std::array<const char*, 4> kPositiveArrangements{"$*", "*$", "$ *", "* $"};
constexpr std::array<const char*, 16> kNegativeArrangements{"($*)", "-$*",  "$-*",   "$*-",  "(*$)", "-*$",
                                                            "*-$",  "*$-",  "-* $",  "-$ *", "* $-", "$ *-",
                                                            "$ -*", "*- $", "($ *)", "(* $)"};

}  // namespace

std::string DatePatternFromLocaleFormat(const QString& localeFormat)
{
    const std::string format = ToUtf8(localeFormat);
    const std::string_view text = format;
    PatternBuilder out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '\'') {
            if (pos + 1 < text.size() && text[pos + 1] == '\'') {
                out.Literal("'", true);  // a doubled quote is a quote character
                pos += 2;
                continue;
            }
            std::string literal;
            std::size_t i = pos + 1;
            while (i < text.size()) {
                if (text[i] == '\'') {
                    if (i + 1 < text.size() && text[i + 1] == '\'') {
                        literal += '\'';
                        i += 2;
                        continue;
                    }
                    break;
                }
                literal += text[i++];
            }
            out.Literal(literal, true);
            pos = i < text.size() ? i + 1 : text.size();
            continue;
        }
        const std::size_t run = RunLength(text, pos);
        switch (c) {
            case 'd':
            case 'M':
                // The locale letters stop at four; longer runs are several tokens.
                for (std::size_t left = run; left > 0;) {
                    const std::size_t count = left > 4 ? 4 : left;
                    out.Token(c == 'M' ? 'm' : 'd', count);
                    left -= count;
                }
                pos += run;
                break;
            case 'y':
                for (std::size_t left = run; left > 0;) {
                    // A lone y is the year as the locale data means it: in full.
                    const std::size_t count = left >= 4 ? 4 : left >= 2 ? 2 : 1;
                    out.Token('y', count == 1 ? 4 : count);
                    left -= count;
                }
                pos += run;
                break;
            default:
                // Other letters have no meaning in a date format: plain text.
                out.Literal(text.substr(pos, 1), false);
                pos += 1;
                break;
        }
    }
    return out.Take();
}

CurrencyLayout CurrencyLayoutOf(const QLocale& locale)
{
    CurrencyLayout layout;
    const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    const QString positive = locale.toCurrencyString(1234.5);

    // Decimal places: the digits after the decimal mark in a written amount.
    const QString decimal = locale.decimalPoint();
    const qsizetype markAt = decimal.isEmpty() ? -1 : positive.lastIndexOf(decimal);
    if (markAt >= 0) {
        int digits = 0;
        for (qsizetype i = markAt + decimal.size(); i < positive.size() && positive.at(i).isDigit(); ++i) ++digits;
        layout.Digits = static_cast<std::uint8_t>(digits);
    }

    const int placement = CodeOf(ArrangementOf(locale, positive, symbol), kPositiveArrangements);
    if (placement >= 0)
        layout.Placement = static_cast<std::uint8_t>(placement);
    const int negative = CodeOf(ArrangementOf(locale, locale.toCurrencyString(-1234.5), symbol), kNegativeArrangements);
    if (negative >= 0)
        layout.NegativePlacement = static_cast<std::uint8_t>(negative);
    return layout;
}

TimeFormatShape TimeFormatShapeOf(const QString& localeTimeFormat)
{
    const std::string format = ToUtf8(localeTimeFormat);
    const std::string_view text = format;
    TimeFormatShape shape;
    bool quoted = false;
    bool hourSeen = false;
    char hourLetter = 0;
    bool amPmSeen = false;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if ((c == 'h' || c == 'H') && !hourSeen) {
            hourSeen = true;
            hourLetter = c;
            shape.LeadingZero = RunLength(text, pos) >= 2;
            shape.AmPmFirst = amPmSeen;
        } else if ((c == 'a' || c == 'A') && !amPmSeen) {
            amPmSeen = true;
        }
    }
    // "H" is the 24-hour clock even beside a morning/afternoon text.
    shape.TwelveHour = amPmSeen && hourLetter == 'h';
    if (!shape.TwelveHour)
        shape.AmPmFirst = false;
    return shape;
}

void LoadLocaleNames(const QLocale& locale)
{
    const LocaleFormatSettings defaults;
    auto& formats = LocaleFormats();
    // The forms a date with a day needs ("6 декабря 2026"), which is how the
    // long date pattern uses them; standalone forms would read wrong there.
    for (int month = 1; month <= 12; ++month) {
        formats.MonthAbbreviations[month - 1] =
            TextOr(locale.monthName(month, QLocale::ShortFormat), defaults.MonthAbbreviations[month - 1]);
        formats.MonthNames[month - 1] =
            TextOr(locale.monthName(month, QLocale::LongFormat), defaults.MonthNames[month - 1]);
    }
    // Our index 0 is Sunday; the locale numbers the days from Monday (1) to Sunday (7).
    for (int index = 0; index < 7; ++index) {
        const int day = index == 0 ? 7 : index;
        formats.DayAbbreviations[index] =
            TextOr(locale.dayName(day, QLocale::ShortFormat), defaults.DayAbbreviations[index]);
        formats.DayNames[index] = TextOr(locale.dayName(day, QLocale::LongFormat), defaults.DayNames[index]);
    }
}

void LoadLocaleConventions(const QLocale& locale)
{
    const LocaleFormatSettings defaults;
    auto& formats = LocaleFormats();
    const CurrencyLayout currency = CurrencyLayoutOf(locale);
    formats.CurrencySymbol = TextOr(locale.currencySymbol(QLocale::CurrencySymbol), defaults.CurrencySymbol);
    formats.CurrencyPlacement = currency.Placement;
    formats.NegativeCurrencyPlacement = currency.NegativePlacement;
    formats.ThousandsMark = MarkOr(locale.groupSeparator(), defaults.ThousandsMark);
    formats.DecimalMark = MarkOr(locale.decimalPoint(), defaults.DecimalMark);
    formats.CurrencyDigits = currency.Digits;
    formats.DateMark = MarkOr(FirstSeparator(locale.dateFormat(QLocale::ShortFormat)), defaults.DateMark);
    formats.ShortDatePattern = DatePatternOr(locale, QLocale::ShortFormat, defaults.ShortDatePattern);
    formats.LongDatePattern = DatePatternOr(locale, QLocale::LongFormat, defaults.LongDatePattern);
    const QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    formats.TimeMark = MarkOr(FirstSeparator(timeFormat), defaults.TimeMark);
    formats.AmText = TextOr(locale.amText(), defaults.AmText);
    formats.PmText = TextOr(locale.pmText(), defaults.PmText);

    const TimeFormatShape shape = TimeFormatShapeOf(timeFormat);
    const std::string hour = shape.LeadingZero ? "hh" : "h";
    std::string prefix;
    std::string suffix;
    if (shape.TwelveHour) {
        if (shape.AmPmFirst)
            prefix = "AMPM ";
        else
            suffix = " AMPM";
    }
    formats.ShortTimePattern = prefix + hour + ":mm" + suffix;
    formats.LongTimePattern = prefix + hour + ":mm:ss" + suffix;
}

void LoadLocaleFormats(const QLocale& locale)
{
    LoadLocaleNames(locale);
    LoadLocaleConventions(locale);
}

void LoadLocaleFormats()
{
    LoadLocaleFormats(QLocale::system());
}

}  // namespace dw
