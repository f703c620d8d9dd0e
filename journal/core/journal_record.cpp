// SPDX-License-Identifier: MIT
#include "journal/core/journal_record.h"

#include "common/errors.h"
#include "common/utf8.h"
#include "numeric/core/real48.h"

#include <charconv>
#include <cmath>

namespace dw {

namespace {

const std::array<std::string, kJournalValueCount>& ValueNames()
{
    static const std::array<std::string, kJournalValueCount> names = [] {
        std::array<std::string, kJournalValueCount> n{"kelly_t",  "block_t", "line_t", "hook_t",
                                                      "swivel_t", "hose_t",  "mud_sg", "metal_sg"};
        for (int s = 1; s <= 8; ++s) {
            n[kJournalFirstLength + s - 1] = "length" + std::to_string(s) + "_m";
            n[kJournalFirstDiameter + s - 1] = "diameter" + std::to_string(s) + "_mm";
            n[kJournalFirstMetreWeight + s - 1] = "metre_weight" + std::to_string(s) + "_kg";
        }
        const char* results[] = {"travelling_system_t", "net_string_t", "buoyed_string_t", "hook_load_t",
                                 "total_length_m"};
        for (std::size_t r = 0; r < kWeightResultCount; ++r) n[kJournalFirstResult + r] = results[r];
        return n;
    }();
    return names;
}

bool Digits(std::string_view text, std::size_t from, std::size_t count, int& value)
{
    value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::size_t JournalIndex(WeightInput input) noexcept
{
    const auto i = static_cast<std::size_t>(input);
    const auto length1 = static_cast<std::size_t>(WeightInput::SectionLength1);
    const auto weight1 = static_cast<std::size_t>(WeightInput::SectionMetreWeight1);
    if (i < length1)
        return i;  // the six pieces of equipment
    if (i < weight1)
        return kJournalFirstLength + (i - length1);
    if (input == WeightInput::MudGravity)
        return 6;
    if (input == WeightInput::MetalGravity)
        return 7;
    return kJournalFirstMetreWeight + (i - weight1);
}

std::size_t JournalIndex(WeightResult result) noexcept
{
    return kJournalFirstResult + static_cast<std::size_t>(result);
}

std::size_t JournalDiameterIndex(int section) noexcept
{
    return kJournalFirstDiameter + static_cast<std::size_t>(section - 1);
}

const std::string& JournalValueName(std::size_t index)
{
    return ValueNames().at(index);
}

std::optional<Extended> JournalRecord::Difference() const
{
    if (!Indicator)
        return std::nullopt;
    return Value(WeightResult::HookLoad) - *Indicator;
}

std::string JournalRecord::Key() const
{
    std::array<std::string, kJournalValueCount> texts;
    for (std::size_t i = 0; i < kJournalInputCount; ++i) texts[i] = JournalNumberText(Values[i]);
    return JournalKey(DateTime, texts, Units);
}

std::string JournalKey(const std::string& dateTime, const std::array<std::string, kJournalValueCount>& valueTexts,
                       units::TUnitSystem system)
{
    std::string key = dateTime;
    for (std::size_t i = 0; i < kJournalInputCount; ++i) {
        key += '|';
        key += valueTexts[i];
    }
    if (system != units::TUnitSystem::Metric)
        key += "|" + JournalUnitsName(system);
    return key;
}

units::TFieldKind JournalValueKind(std::size_t index)
{
    if (index < 6)
        return units::TFieldKind::EquipmentWeight;
    if (index < kJournalFirstLength)
        return units::TFieldKind::Gravity;
    if (index < kJournalFirstDiameter)
        return units::TFieldKind::Length;
    if (index < kJournalFirstMetreWeight)
        return units::TFieldKind::Diameter;
    if (index < kJournalFirstResult)
        return units::TFieldKind::MetreWeight;
    if (index == JournalIndex(WeightResult::TotalLength))
        return units::TFieldKind::ResultLength;
    return units::TFieldKind::ResultWeight;
}

const std::string& JournalUnitsName(units::TUnitSystem system)
{
    static const std::string metric = "metric", oilfield = "oilfield";
    return system == units::TUnitSystem::Oilfield ? oilfield : metric;
}

std::optional<units::TUnitSystem> ParseJournalUnits(std::string_view text)
{
    if (text == "metric")
        return units::TUnitSystem::Metric;
    if (text == "oilfield")
        return units::TUnitSystem::Oilfield;
    return std::nullopt;
}

std::string JournalNumberText(Extended value)
{
    // Nearly every value a field holds has at most two decimals: those are
    // written from their hundredths, which is many times quicker than the
    // general shortest form and gives the same text.
    if (std::fabs(value) < 1e15L) {
        const long long hundredths = std::llround(value * 100);
        if (static_cast<Extended>(hundredths) / 100 == value) {
            const unsigned long long magnitude = hundredths < 0 ? 0ull - static_cast<unsigned long long>(hundredths)
                                                                : static_cast<unsigned long long>(hundredths);
            std::string text = std::to_string(magnitude / 100);
            const unsigned fraction = static_cast<unsigned>(magnitude % 100);
            if (fraction != 0) {
                text += '.';
                text += static_cast<char>('0' + fraction / 10);
                if (fraction % 10 != 0)
                    text += static_cast<char>('0' + fraction % 10);
            }
            return hundredths < 0 ? "-" + text : text;
        }
    }
    // Fixed notation at its shortest still reads back exactly, and a file
    // opened in a spreadsheet shows 1234.5 rather than 1.2345e+03. The
    // largest extended value takes under 5000 characters that way.
    char buffer[5000];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (error != std::errc())
        return "nan";
    std::string text(buffer, end);
    if (text == "-0")
        text = "0";
    return text;
}

std::optional<Extended> ParseJournalNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() ||
        !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '-' || text.front() == '.'))
        return std::nullopt;
    Extended value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsJournalDateTime(std::string_view text)
{
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day) ||
        !Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) || !Digits(text, 17, 2, second))
        return false;
    if (year < 1 || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::optional<MessageText> JournalValueFault(std::size_t index, Extended value)
{
    if (!std::isfinite(value))
        return MessageText(DW_TEXT("Message", "not a number"));
    const bool diameter = index >= kJournalFirstDiameter && index < kJournalFirstMetreWeight;
    if (index < kJournalInputCount && !diameter) {
        // An input the calculation could not have held is no record of one.
        try {
            Real48::FromExtended(value);
        } catch (const EOverflow&) {
            return MessageText(DW_TEXT("Message", "too large for the calculation"));
        }
    }
    return std::nullopt;
}

std::optional<MessageText> IndicatorFault(Extended value, units::TUnitSystem system)
{
    // The same weight in either system; in klb the bound is said as the
    // field shows it, rounded down so that what is said is taken.
    const Extended most = units::ConvertExact(kMaxIndicatorReading, kIndicatorKind, units::TUnitSystem::Metric, system);
    const Extended said = std::floor(most * 100) / 100;
    // A reading at the bound that went to the other system's columns and
    // back may stand a last digit above it; it is still the bound.
    if (!std::isfinite(value) || value < 0 || value > most * (1 + 1e-15L))
        return MessageText(
            DW_TEXT("Message", "an indicator reading is from 0 to %1 %2"),
            {MessageText::Verbatim(JournalNumberText(said)), MessageText(units::UnitOf(kIndicatorKind, system).Word)});
    return std::nullopt;
}

std::optional<MessageText> NoteFault(std::string_view note)
{
    if (!utf8::IsValid(note))
        return MessageText(DW_TEXT("Message", "the note is not UTF-8 text"));
    if (utf8::CodePointCount(note) > kMaxNoteLength)
        return MessageText(DW_TEXT("Message", "a note holds at most %1 characters"),
                           {MessageText::Verbatim(std::to_string(kMaxNoteLength))});
    return std::nullopt;
}

}  // namespace dw
