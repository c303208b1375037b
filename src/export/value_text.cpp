// Written forms of values.
#include "export/value_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace zl::exporter {
namespace {

constexpr double kMinDays = -657434;  // 0100-01-01
constexpr double kMaxDays = 2958466;  // 10000-01-01
constexpr std::int64_t kMicrosPerDay = 86'400'000'000;

// Civil date of a day count from 1899-12-30 (proleptic Gregorian calendar).
void civilFromDays(std::int64_t days, int& year, int& month, int& day) {
    const std::int64_t z = days - 25569 + 719468;  // days from 0000-03-01
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

std::size_t writeCurrency(std::int64_t tenThousandths, char* out) {
    const bool negative = tenThousandths < 0;
    // The magnitude of INT64_MIN does not fit int64_t; unsigned arithmetic holds it.
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(tenThousandths)
                                       : static_cast<std::uint64_t>(tenThousandths);
    // Digits from the right: four of the fraction, the point, then at least one whole digit.
    char digits[kValueChars];
    std::size_t at = sizeof digits;
    for (int i = 0; i < 4; ++i, magnitude /= 10) {
        digits[--at] = static_cast<char>('0' + magnitude % 10);
    }
    digits[--at] = '.';
    do {
        digits[--at] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) digits[--at] = '-';
    std::memcpy(out, digits + at, sizeof digits - at);
    return sizeof digits - at;
}

std::string currencyText(std::int64_t tenThousandths) {
    char text[kValueChars];
    return {text, writeCurrency(tenThousandths, text)};
}

std::size_t writeDate(double days, char* out) {
    if (!std::isfinite(days) || days <= kMinDays - 1 || days >= kMaxDays) {
        return 0;
    }
    auto day = static_cast<std::int64_t>(std::trunc(days));
    const double fraction = std::fabs(days - static_cast<double>(day));
    // Whole milliseconds when the stored double is exactly that time; else microseconds.
    const double millis = std::round(fraction * 86'400'000.0);
    const double rebuilt = millis / 86'400'000.0;
    const double back =
        days < 0 ? static_cast<double>(day) - rebuilt : static_cast<double>(day) + rebuilt;
    std::int64_t micros = back == days
                              ? static_cast<std::int64_t>(millis) * 1000
                              : std::llround(fraction * static_cast<double>(kMicrosPerDay));
    if (micros >= kMicrosPerDay) {
        micros -= kMicrosPerDay;
        ++day;  // the next calendar day, whichever side of day 0
    }
    int year = 0;
    int month = 0;
    int dayOfMonth = 0;
    civilFromDays(day, year, month, dayOfMonth);
    // Written digit by digit: this runs once per date of every exported row.
    const std::int64_t seconds = micros / 1'000'000;
    constexpr std::string_view kShape = "0000-00-00 00:00:00.000000";
    std::copy(kShape.begin(), kShape.end(), out);
    auto put = [&](std::size_t end, std::int64_t number, int digits) {
        for (int i = 0; i < digits; ++i, number /= 10) {
            out[end - static_cast<std::size_t>(i)] = static_cast<char>('0' + number % 10);
        }
    };
    put(3, year, 4);
    put(6, month, 2);
    put(9, dayOfMonth, 2);
    put(12, seconds / 3600, 2);
    put(15, seconds / 60 % 60, 2);
    put(18, seconds % 60, 2);
    if (micros % 1'000'000 == 0) return 19;
    put(25, micros % 1'000'000, 6);
    return 26;
}

std::optional<std::string> dateText(double days) {
    char text[kValueChars];
    const std::size_t length = writeDate(days, text);
    if (length == 0) return std::nullopt;
    return std::string(text, length);
}

std::string guidText(const std::vector<std::byte>& bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text.push_back('-');
        }
        const auto b = std::to_integer<unsigned>(bytes[i]);
        text.push_back(kHex[b >> 4]);
        text.push_back(kHex[b & 15]);
    }
    return text;
}

std::string realText(double value, bool single) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Infinity" : "Infinity";
    }
    char text[64];
    const auto result = single ? std::to_chars(text, text + sizeof text, static_cast<float>(value))
                               : std::to_chars(text, text + sizeof text, value);
    return {text, result.ptr};
}

std::string_view extendedDateText(std::string_view text) {
    constexpr std::size_t kSeconds = 19;  // "YYYY-MM-DD HH:MM:SS"
    constexpr std::size_t kMicroseconds = kSeconds + 7;
    if (text.size() != kMicroseconds + 1 || text.back() != '0') return text;
    return text.substr(0, text.compare(kSeconds + 1, 6, "000000") == 0 ? kSeconds : kMicroseconds);
}

std::string describeValue(const schema::Value& value) {
    using schema::ValueKind;
    switch (value.kind) {
        case ValueKind::Null:
            return "NULL";
        case ValueKind::Boolean:
            return value.integer != 0 ? "True" : "False";
        case ValueKind::Integer:
            return std::to_string(value.integer);
        case ValueKind::Currency:
            return currencyText(value.integer);
        case ValueKind::Single:
            return realText(value.real, true);
        case ValueKind::Double:
            return realText(value.real, false);
        case ValueKind::Date:
            return dateText(value.real).value_or(realText(value.real, false));
        case ValueKind::Guid:
            return "{" + guidText(value.bytes) + "}";
        case ValueKind::Binary:
            return std::to_string(value.bytes.size()) + " bytes";
        case ValueKind::Decimal:
        case ValueKind::ExtendedDate:
        case ValueKind::Text:
            break;
    }
    std::string text;
    std::size_t characters = 0;
    for (const char c : value.text) {
        const bool lead = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (lead && ++characters > 60) {
            return text + "...";
        }
        text.push_back(c == '\0' ? ' ' : c);
    }
    return text;
}

}  // namespace zl::exporter
