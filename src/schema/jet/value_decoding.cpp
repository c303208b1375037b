// Row values by column type.
//
// Fixed-size values (little-endian):
//   Byte 1 (unsigned), Integer 2, Long 4, BigInt 8 (signed); Single 4 / Double 8 (IEEE);
//   Currency 8: signed ten-thousandths; Date/Time 8: a double, days since 1899-12-30;
//   GUID 16: the first three groups little-endian, the last eight bytes as written;
//   Decimal 17: sign byte (0x80 negative), then four 32-bit words of the magnitude, most
//   significant word first, each word little-endian; the scale is the column's;
//   complex 4: the key into the column's hidden table;
//   extended date/time 42: ASCII digits, see extendedDateText.
// Calculated columns wrap their result: 16 unknown bytes, a 4-byte data length, the data and
// 3 unknown bytes. A calculated Decimal's data is: 2 bytes length, 1 byte scale, 1 byte sign
// (non-zero negative), then the magnitude in a multiple of 4 bytes: when that is not a
// multiple of 8 its first 4 bytes are one little-endian word, then each 8 bytes are one
// little-endian 64-bit word, most significant first.
#include "schema/jet/value_decoding.h"

#include <bit>
#include <cstdio>

#include "schema/jet/code_page.h"
#include "schema/jet/long_value.h"

namespace zl::schema::jet {
namespace {

constexpr std::size_t kCalculatedLengthOffset = 16;
constexpr std::size_t kCalculatedDataOffset = 20;
constexpr std::size_t kDecimalSize = 17;
constexpr std::uint8_t kNegativeDecimal = 0x80;
constexpr std::size_t kExtendedDateSize = 42;

std::uint64_t loadU64(Bytes data, std::size_t offset) {
    return static_cast<std::uint64_t>(loadU32(data, offset)) |
           (static_cast<std::uint64_t>(loadU32(data, offset + 4)) << 32);
}

Error wrongSize(const RowView& row, const ColumnDef& column, std::size_t found,
                std::size_t expected) {
    return corruption(row.origin(), 0,
                      "column " + column.name + " holds " + std::to_string(found) + " bytes, " +
                          std::to_string(expected) + " expected for its type");
}

// A run of ASCII digits as a number; false when a byte is not a digit or it overflows.
bool digitsValue(Bytes bytes, std::uint64_t& value) {
    value = 0;
    for (const std::byte b : bytes) {
        const int c = std::to_integer<int>(b);
        if (c < '0' || c > '9' || value > (UINT64_MAX - 9) / 10) {
            return false;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

// Extended date/time (42 bytes of ASCII): 19 digits of days since 0001-01-01, ':', 19 digits
// of 100-nanosecond ticks since midnight, ':', one digit (7, the digits of the fraction) and a
// blank. Kept as "YYYY-MM-DD HH:MM:SS.fffffff"; false when the bytes do not have that shape
// or the date lies past 9999-12-31.
bool extendedDateText(Bytes bytes, std::string& out) {
    constexpr std::uint64_t kTicksPerDay = 864'000'000'000;
    constexpr std::uint64_t kDaysTo9999 = 3'652'059;  // 0001-01-01 .. 9999-12-31
    std::uint64_t days = 0;
    std::uint64_t ticks = 0;
    if (std::to_integer<char>(bytes[19]) != ':' || std::to_integer<char>(bytes[39]) != ':' ||
        !digitsValue(bytes.subspan(0, 19), days) || !digitsValue(bytes.subspan(20, 19), ticks) ||
        days > kDaysTo9999 || ticks >= kTicksPerDay) {
        return false;
    }
    // Civil date from days since 0001-01-01 (proleptic Gregorian), via days since 0000-03-01.
    const std::uint64_t shifted = days + 306;
    const std::uint64_t era = shifted / 146097;
    const std::uint64_t dayOfEra = shifted % 146097;
    const std::uint64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::uint64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const std::uint64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const std::uint64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::uint64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    const std::uint64_t seconds = ticks / 10'000'000;
    char text[128];
    std::snprintf(text, sizeof text, "%04llu-%02llu-%02llu %02llu:%02llu:%02llu.%07llu",
                  static_cast<unsigned long long>(year), static_cast<unsigned long long>(month),
                  static_cast<unsigned long long>(day),
                  static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60),
                  static_cast<unsigned long long>(seconds % 60),
                  static_cast<unsigned long long>(ticks % 10'000'000));
    out = text;
    return true;
}

void setDecimal(Value& out, bool negative, const std::uint32_t (&magnitude)[4], int scale) {
    out.kind = ValueKind::Decimal;
    out.text = decimalText(negative, magnitude, scale);
}

Status decodeCalculatedDecimal(const RowView& row, const ColumnDef& column, Bytes data,
                               Value& out) {
    if (data.size() < 4) {
        return wrongSize(row, column, data.size(), 4);
    }
    const int scale = std::to_integer<int>(data[2]);
    const bool negative = std::to_integer<int>(data[3]) != 0;
    std::size_t length = std::min<std::size_t>(((data.size() - 4) / 4) * 4, 16);
    Bytes digits = data.subspan(4, length);
    std::uint32_t magnitude[4] = {0, 0, 0, 0};
    // Most significant first: an optional leading 32-bit word, then 64-bit words.
    std::size_t word = length / 4;  // number of 32-bit words
    std::size_t at = 0;
    if (length % 8 != 0) {
        magnitude[--word] = loadU32(digits, 0);
        at = 4;
    }
    for (; at + 8 <= length; at += 8) {
        const std::uint64_t value = loadU64(digits, at);
        magnitude[--word] = static_cast<std::uint32_t>(value >> 32);
        magnitude[--word] = static_cast<std::uint32_t>(value);
    }
    if (scale > 28) {
        return corruption(row.origin(), 0,
                          "column " + column.name + " has decimal scale " + std::to_string(scale));
    }
    setDecimal(out, negative, magnitude, scale);
    return {};
}

Status decodeFixed(const RowView& row, const ColumnDef& column, Bytes bytes, Value& out) {
    const std::size_t need = fixedSizeOf(column.type, 0);
    if (bytes.size() < need) {
        return wrongSize(row, column, bytes.size(), need);
    }
    switch (column.type) {
        case column_type::kByte:
            out.kind = ValueKind::Integer;
            out.integer = std::to_integer<std::uint8_t>(bytes[0]);
            return {};
        case column_type::kInteger:
            out.kind = ValueKind::Integer;
            out.integer = static_cast<std::int16_t>(loadU16(bytes, 0));
            return {};
        case column_type::kLong:
        case column_type::kComplex:
            out.kind = ValueKind::Integer;
            out.integer = static_cast<std::int32_t>(loadU32(bytes, 0));
            return {};
        case column_type::kBigInt:
            out.kind = ValueKind::Integer;
            out.integer = static_cast<std::int64_t>(loadU64(bytes, 0));
            return {};
        case column_type::kCurrency:
            out.kind = ValueKind::Currency;
            out.integer = static_cast<std::int64_t>(loadU64(bytes, 0));
            return {};
        case column_type::kSingle:
            out.kind = ValueKind::Single;
            out.real = static_cast<double>(std::bit_cast<float>(loadU32(bytes, 0)));
            return {};
        case column_type::kDouble:
        case column_type::kDateTime:
            out.kind = column.type == column_type::kDouble ? ValueKind::Double : ValueKind::Date;
            out.real = std::bit_cast<double>(loadU64(bytes, 0));
            return {};
        case column_type::kGuid: {
            static constexpr std::size_t kOrder[16] = {3, 2, 1,  0,  5,  4,  7,  6,
                                                       8, 9, 10, 11, 12, 13, 14, 15};
            out.kind = ValueKind::Guid;
            out.bytes.resize(16);
            for (std::size_t i = 0; i < 16; ++i) {
                out.bytes[i] = bytes[kOrder[i]];
            }
            return {};
        }
        case column_type::kNumeric: {
            if (bytes.size() < kDecimalSize) {
                return wrongSize(row, column, bytes.size(), kDecimalSize);
            }
            const bool negative = (std::to_integer<std::uint8_t>(bytes[0]) & kNegativeDecimal) != 0;
            std::uint32_t magnitude[4];
            for (std::size_t word = 0; word < 4; ++word) {
                magnitude[3 - word] = loadU32(bytes, 1 + 4 * word);
            }
            if (column.scale > 28) {
                return corruption(
                    row.origin(), 0,
                    "column " + column.name + " has decimal scale " + std::to_string(column.scale));
            }
            setDecimal(out, negative, magnitude, column.scale);
            return {};
        }
        default:
            // A type the reader does not know: its stored bytes as they are.
            out.kind = ValueKind::Binary;
            out.bytes.assign(bytes.begin(), bytes.end());
            return {};
    }
}

Status decodeData(PageReader& reader, const JetFormat& format, const TextDecoder& text,
                  const RowView& row, const ColumnDef& column, Bytes bytes, Value& out) {
    switch (column.type) {
        case column_type::kText:
            out.kind = ValueKind::Text;
            if (format.isJet3()) {
                out.text = text.value(bytes);
            } else {
                decodeJet4Text(bytes, out.text, out.inexact);
            }
            return {};
        case column_type::kBinary:
            out.kind = ValueKind::Binary;
            out.bytes.assign(bytes.begin(), bytes.end());
            return {};
        case column_type::kMemo:
        case column_type::kOle: {
            JET_ASSIGN_OR_RETURN(
                std::vector<std::byte> data,
                readLongValue(reader, format, bytes, row.origin(), kMaxRowLongValue));
            if (column.type == column_type::kOle) {
                out.kind = ValueKind::Binary;
                out.bytes = std::move(data);
            } else if (format.isJet3()) {
                out.kind = ValueKind::Text;
                out.text = text.value(data);
            } else {
                out.kind = ValueKind::Text;
                decodeJet4Text(data, out.text, out.inexact);
            }
            return {};
        }
        case column_type::kExtendedDate:
            if (bytes.size() < kExtendedDateSize || !extendedDateText(bytes, out.text)) {
                return corruption(row.origin(), 0,
                                  "column " + column.name + " holds no extended date");
            }
            out.kind = ValueKind::ExtendedDate;
            return {};
        default:
            return decodeFixed(row, column, bytes, out);
    }
}

}  // namespace

std::string decimalText(bool negative, const std::uint32_t (&magnitude)[4], int scale) {
    std::uint32_t words[4] = {magnitude[0], magnitude[1], magnitude[2], magnitude[3]};
    std::string digits;
    // Repeated division by ten over the 128-bit value, most significant word first.
    while (words[0] != 0 || words[1] != 0 || words[2] != 0 || words[3] != 0) {
        std::uint64_t remainder = 0;
        for (int word = 3; word >= 0; --word) {
            const std::uint64_t current = (remainder << 32) | words[word];
            words[word] = static_cast<std::uint32_t>(current / 10);
            remainder = current % 10;
        }
        digits.push_back(static_cast<char>('0' + remainder));
    }
    while (digits.size() < static_cast<std::size_t>(scale) + 1) {
        digits.push_back('0');
    }
    std::string text;
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    if (negative && !zero) {
        text.push_back('-');
    }
    for (std::size_t i = digits.size(); i-- > 0;) {
        text.push_back(digits[i]);
        if (i == static_cast<std::size_t>(scale) && scale > 0) {
            text.push_back('.');
        }
    }
    return text;
}

Status decodeColumnValue(PageReader& reader, const JetFormat& format, const TextDecoder& text,
                         const RowView& row, const ColumnDef& column, std::uint8_t resultType,
                         Value& out) {
    out.kind = ValueKind::Null;
    out.inexact = false;
    const bool calculated = !format.isJet3() && column.calculated();
    if (column.type == column_type::kBoolean && !calculated) {
        // A Boolean's value is its null-mask bit; it is never null.
        out.kind = ValueKind::Boolean;
        out.integer = row.isNull(column.number) ? 0 : 1;
        return {};
    }
    JET_ASSIGN_OR_RETURN(const std::optional<Bytes> stored, row.value(column));
    if (!stored) {
        return {};
    }
    Bytes bytes = *stored;
    if (!calculated) {
        return decodeData(reader, format, text, row, column, bytes, out);
    }
    if (column.type == column_type::kMemo || resultType == column_type::kMemo) {
        JET_ASSIGN_OR_RETURN(const std::vector<std::byte> wrapped,
                             readLongValue(reader, format, bytes, row.origin(), kMaxRowLongValue));
        if (wrapped.size() < kCalculatedDataOffset) {
            return wrongSize(row, column, wrapped.size(), kCalculatedDataOffset);
        }
        const std::size_t length = std::min<std::size_t>(loadU32(wrapped, kCalculatedLengthOffset),
                                                         wrapped.size() - kCalculatedDataOffset);
        out.kind = ValueKind::Text;
        decodeJet4Text(Bytes(wrapped).subspan(kCalculatedDataOffset, length), out.text,
                       out.inexact);
        return {};
    }
    if (bytes.size() < kCalculatedDataOffset) {
        return wrongSize(row, column, bytes.size(), kCalculatedDataOffset);
    }
    const std::size_t length = std::min<std::size_t>(loadU32(bytes, kCalculatedLengthOffset),
                                                     bytes.size() - kCalculatedDataOffset);
    const Bytes data = bytes.subspan(kCalculatedDataOffset, length);
    ColumnDef result = column;
    if (resultType != 0) {
        result.type = resultType;
    }
    if (data.empty()) {
        return {};  // no result stored: null
    }
    if (result.type == column_type::kBoolean) {
        out.kind = ValueKind::Boolean;
        out.integer = !data.empty() && std::to_integer<int>(data[0]) != 0 ? 1 : 0;
        return {};
    }
    if (result.type == column_type::kNumeric) {
        return decodeCalculatedDecimal(row, result, data, out);
    }
    return decodeData(reader, format, text, row, result, data, out);
}

}  // namespace zl::schema::jet
