// Value conversion to the stored form of each column type.
#include "jetwrite/value_encoder.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>

#include "jetwrite/decimal_text.h"
#include "jetwrite/utf16.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

using jet::ColumnType;

[[noreturn]] void fail(std::string_view where, const std::string& why) {
    throw WriteError(std::string(where) + ": " + why);
}

std::int64_t integerValue(const Value& value, std::int64_t low, std::int64_t high,
                          std::string_view where) {
    std::int64_t result = 0;
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        result = *i;
    } else if (const auto* b = std::get_if<bool>(&value)) {
        result = *b ? -1 : 0;
    } else if (const auto* d = std::get_if<double>(&value)) {
        if (!std::isfinite(*d) || std::floor(*d) != *d || std::fabs(*d) > 9e15) {
            fail(where, "expects a whole number");
        }
        result = static_cast<std::int64_t>(*d);
    } else {
        fail(where, "expects a number");
    }
    if (result < low || result > high)
        fail(where, "number " + std::to_string(result) + " out of range");
    return result;
}

double floatingValue(const Value& value, std::string_view where) {
    if (const auto* d = std::get_if<double>(&value)) return *d;
    if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
    fail(where, "expects a number");
}

void putLittleEndian(Bytes& out, std::uint64_t bits, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        out.push_back(static_cast<std::byte>((bits >> (8 * i)) & 0xFFu));
    }
}

Bytes encodeCurrency(const Value& value, std::string_view where) {
    std::int64_t scaled = 0;
    if (const auto* text = std::get_if<std::string>(&value)) {
        const ScaledDecimal parsed = parseDecimalText(*text, 4, where);
        const auto magnitude =
            (static_cast<std::uint64_t>(parsed.magnitude[1]) << 32) | parsed.magnitude[0];
        // The range is that of a signed 64-bit count of ten-thousandths: the negative end is
        // one larger in magnitude (-922337203685477.5808).
        const std::uint64_t limit =
            parsed.negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
        if (parsed.magnitude[2] != 0 || parsed.magnitude[3] != 0 || magnitude > limit) {
            fail(where, "currency value out of range");
        }
        scaled = parsed.negative ? static_cast<std::int64_t>(0 - magnitude)
                                 : static_cast<std::int64_t>(magnitude);
    } else if (const auto* d = std::get_if<double>(&value)) {
        if (!std::isfinite(*d) || std::fabs(*d) > 9e14) fail(where, "currency value out of range");
        scaled = std::llround(*d * 10000.0);
    } else {
        scaled = integerValue(value, -922337203685477, 922337203685477, where) * 10000;
    }
    Bytes out;
    putLittleEndian(out, static_cast<std::uint64_t>(scaled), 8);
    return out;
}

Bytes encodeNumeric(const ColumnLayout& column, const Value& value, std::string_view where) {
    std::string text;
    if (const auto* s = std::get_if<std::string>(&value)) {
        text = *s;
    } else if (const auto* i = std::get_if<std::int64_t>(&value)) {
        text = std::to_string(*i);
    } else {
        fail(where, "expects a decimal text or a whole number");
    }
    const ScaledDecimal parsed = parseDecimalText(text, column.scale, where);
    if (decimalDigits(parsed) > column.precision)
        fail(where, "decimal value exceeds the precision");
    Bytes out;
    out.push_back(std::byte{static_cast<std::uint8_t>(parsed.negative ? 0x80 : 0x00)});
    // Four 32-bit words, most significant word first, each word little-endian.
    for (int word = 3; word >= 0; --word)
        putLittleEndian(out, parsed.magnitude[static_cast<std::size_t>(word)], 4);
    return out;
}

Bytes encodeGuid(const Value& value, std::string_view where) {
    const auto* text = std::get_if<std::string>(&value);
    if (text == nullptr) fail(where, "expects a GUID text");
    std::string hex;
    for (char c : *text) {
        if (c == '{' || c == '}' || c == '-') continue;
        hex.push_back(c);
    }
    std::array<std::uint8_t, 16> raw{};
    if (hex.size() != 32) fail(where, "malformed GUID \"" + *text + "\"");
    for (std::size_t i = 0; i < 16; ++i) {
        const std::string pair = hex.substr(2 * i, 2);
        char* end = nullptr;
        const long byte = std::strtol(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2) fail(where, "malformed GUID \"" + *text + "\"");
        raw[i] = static_cast<std::uint8_t>(byte);
    }
    // The first three groups are stored little-endian, the last eight bytes as written.
    static constexpr std::array<std::size_t, 16> kOrder{3, 2, 1,  0,  5,  4,  7,  6,
                                                        8, 9, 10, 11, 12, 13, 14, 15};
    Bytes out;
    for (const std::size_t i : kOrder) out.push_back(std::byte{raw[i]});
    return out;
}

Bytes encodeText(const ColumnLayout& column, const Value& value, std::string_view where) {
    const auto* text = std::get_if<std::string>(&value);
    if (text == nullptr) fail(where, "expects a text");
    Bytes out = toUtf16le(*text, where);
    if (column.type == ColumnType::Text && out.size() > column.length) {
        fail(where, "text longer than the field size");
    }
    if (column.fixed) {
        // Fixed-length text is padded with spaces to its full length.
        while (out.size() < column.length) {
            out.push_back(std::byte{0x20});
            out.push_back(std::byte{0x00});
        }
    }
    return out;
}

Bytes encodeBinary(const ColumnLayout& column, const Value& value, std::string_view where) {
    const auto* raw = std::get_if<std::vector<std::uint8_t>>(&value);
    if (raw == nullptr) fail(where, "expects binary data");
    Bytes out;
    out.reserve(raw->size());
    for (const std::uint8_t byte : *raw) out.push_back(std::byte{byte});
    if (column.type == ColumnType::Binary) {
        if (out.size() > column.length) fail(where, "binary data longer than the field size");
        if (column.fixed) out.resize(column.length, std::byte{0});
    }
    return out;
}

Bytes encodeDate(const Value& value, std::string_view where) {
    double days = 0;
    if (const auto* date = std::get_if<DateTime>(&value)) {
        days = dateToDays(*date);
    } else {
        days = floatingValue(value, where);
    }
    Bytes out;
    putLittleEndian(out, std::bit_cast<std::uint64_t>(days), 8);
    return out;
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// Reads `count` digits of `text` at `at` into `number`; false when one is not a digit.
bool readDigits(std::string_view text, std::size_t at, std::size_t count, std::int64_t& number) {
    number = 0;
    if (at + count > text.size()) return false;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        number = number * 10 + (text[i] - '0');
    }
    return true;
}

// Extended date/time, 42 bytes of ASCII: 19 digits of days since 0001-01-01, ':', 19 digits of
// 100-nanosecond ticks since midnight, ':', '7' (the digits of the fraction) and a blank.
Bytes encodeExtendedDate(const Value& value, std::string_view where) {
    const auto* text = std::get_if<std::string>(&value);
    if (text == nullptr) fail(where, "expects an extended date as text");
    std::int64_t year = 0;
    std::int64_t month = 0;
    std::int64_t day = 0;
    std::int64_t hour = 0;
    std::int64_t minute = 0;
    std::int64_t second = 0;
    const std::string_view t = *text;
    const bool shaped = t.size() >= 19 && t[4] == '-' && t[7] == '-' && t[10] == ' ' &&
                        t[13] == ':' && t[16] == ':' && readDigits(t, 0, 4, year) &&
                        readDigits(t, 5, 2, month) && readDigits(t, 8, 2, day) &&
                        readDigits(t, 11, 2, hour) && readDigits(t, 14, 2, minute) &&
                        readDigits(t, 17, 2, second) &&
                        (t.size() == 19 || (t[19] == '.' && t.size() <= 27 && t.size() > 20));
    std::int64_t fraction = 0;
    if (shaped && t.size() > 19 && !readDigits(t, 20, t.size() - 20, fraction)) {
        fail(where, "expects an extended date \"YYYY-MM-DD HH:MM:SS.fffffff\"");
    }
    if (!shaped || year < 1 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
        minute > 59 || second > 59) {
        fail(where, "expects an extended date \"YYYY-MM-DD HH:MM:SS.fffffff\"");
    }
    for (std::size_t digits = t.size() > 19 ? t.size() - 20 : 0; digits < 7; ++digits) {
        fraction *= 10;
    }
    const std::int64_t days =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        daysFromCivil(1, 1, 1);
    const std::int64_t ticks = ((hour * 60 + minute) * 60 + second) * 10'000'000 + fraction;
    char stored[64];
    std::snprintf(stored, sizeof stored, "%019lld:%019lld:7 ", static_cast<long long>(days),
                  static_cast<long long>(ticks));
    Bytes out;
    for (std::size_t k = 0; k < 42; ++k) out.push_back(static_cast<std::byte>(stored[k]));
    return out;
}

}  // namespace

bool isNull(const Value& value) { return std::holds_alternative<std::monostate>(value); }

bool booleanValue(const Value& value, std::string_view where) {
    if (const auto* b = std::get_if<bool>(&value)) return *b;
    if (const auto* i = std::get_if<std::int64_t>(&value)) return *i != 0;
    fail(where, "expects a Boolean");
}

double dateToDays(const DateTime& date) {
    // Day 0 is 1899-12-30; 25569 days before 1970-01-01.
    const std::int64_t day = daysFromCivil(date.year, static_cast<unsigned>(date.month),
                                           static_cast<unsigned>(date.day)) +
                             25569;
    const double fraction = (date.hour * 3600.0 + date.minute * 60.0 + date.second) / 86400.0;
    // Before day 0 the time still counts forward: -1.25 is 1899-12-29 06:00.
    return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

Bytes encodeValue(const ColumnLayout& column, const Value& value, std::string_view where) {
    Bytes out;
    switch (column.type) {
        case ColumnType::Byte:
            putLittleEndian(out, static_cast<std::uint64_t>(integerValue(value, 0, 255, where)), 1);
            return out;
        case ColumnType::Integer:
            putLittleEndian(
                out, static_cast<std::uint64_t>(integerValue(value, -32768, 32767, where)), 2);
            return out;
        case ColumnType::Long:
            putLittleEndian(out,
                            static_cast<std::uint64_t>(
                                integerValue(value, std::numeric_limits<std::int32_t>::min(),
                                             std::numeric_limits<std::int32_t>::max(), where)),
                            4);
            return out;
        case ColumnType::BigInt:
            putLittleEndian(out,
                            static_cast<std::uint64_t>(
                                integerValue(value, std::numeric_limits<std::int64_t>::min(),
                                             std::numeric_limits<std::int64_t>::max(), where)),
                            8);
            return out;
        case ColumnType::ExtendedDate:
            return encodeExtendedDate(value, where);
        case ColumnType::Currency:
            return encodeCurrency(value, where);
        case ColumnType::Single:
            putLittleEndian(
                out, std::bit_cast<std::uint32_t>(static_cast<float>(floatingValue(value, where))),
                4);
            return out;
        case ColumnType::Double:
            putLittleEndian(out, std::bit_cast<std::uint64_t>(floatingValue(value, where)), 8);
            return out;
        case ColumnType::Date:
            return encodeDate(value, where);
        case ColumnType::Guid:
            return encodeGuid(value, where);
        case ColumnType::Numeric:
            return encodeNumeric(column, value, where);
        case ColumnType::Text:
        case ColumnType::Memo:
            return encodeText(column, value, where);
        case ColumnType::Binary:
        case ColumnType::LongBinary:
            return encodeBinary(column, value, where);
        case ColumnType::Boolean:
            break;
    }
    fail(where, "a Boolean is stored in the null mask, not as bytes");
}

}  // namespace zl::jetwrite
