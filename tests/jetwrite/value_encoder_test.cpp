// Stored bytes of every column type, and the values each type refuses.
#include "jetwrite/value_encoder.h"

#include <gtest/gtest.h>

#include <limits>

#include "jetwrite/write_error.h"

namespace zl::jetwrite {
namespace {

ColumnLayout columnOf(jet::ColumnType type, std::uint16_t length, bool fixed = true) {
    ColumnLayout column;
    column.name = "C";
    column.type = type;
    column.length = length;
    column.fixed = fixed;
    column.precision = 10;
    column.scale = 2;
    return column;
}

std::string hex(const Bytes& bytes) {
    static const char* const kDigits = "0123456789abcdef";
    std::string text;
    for (const std::byte b : bytes) {
        text += kDigits[std::to_integer<unsigned>(b) >> 4];
        text += kDigits[std::to_integer<unsigned>(b) & 15];
    }
    return text;
}

struct EncodeCase {
    const char* name;
    ColumnLayout column;
    Value value;
    const char* expectedHex;
};

class Encoding : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Encoding, StoresTheDocumentedBytes) {
    EXPECT_EQ(hex(encodeValue(GetParam().column, GetParam().value, "test")),
              GetParam().expectedHex);
}

INSTANTIATE_TEST_SUITE_P(
    Types, Encoding,
    ::testing::Values(
        EncodeCase{"Byte", columnOf(jet::ColumnType::Byte, 1), std::int64_t{200}, "c8"},
        EncodeCase{"IntegerNegative", columnOf(jet::ColumnType::Integer, 2), std::int64_t{-2},
                   "feff"},
        EncodeCase{"Long", columnOf(jet::ColumnType::Long, 4), std::int64_t{0x01020304},
                   "04030201"},
        EncodeCase{"LongFromTrue", columnOf(jet::ColumnType::Long, 4), true, "ffffffff"},
        EncodeCase{"CurrencyText", columnOf(jet::ColumnType::Currency, 8), std::string("1.5"),
                   "983a000000000000"},
        EncodeCase{"CurrencyWhole", columnOf(jet::ColumnType::Currency, 8), std::int64_t{-1},
                   "f0d8ffffffffffff"},
        EncodeCase{"Single", columnOf(jet::ColumnType::Single, 4), 1.5, "0000c03f"},
        EncodeCase{"Double", columnOf(jet::ColumnType::Double, 8), -2.0, "00000000000000c0"},
        EncodeCase{"DateDayZero", columnOf(jet::ColumnType::Date, 8),
                   DateTime{1899, 12, 30, 0, 0, 0}, "0000000000000000"},
        EncodeCase{"DateNoon", columnOf(jet::ColumnType::Date, 8), DateTime{1900, 1, 1, 12, 0, 0},
                   "0000000000000440"},
        EncodeCase{"DateBeforeDayZero", columnOf(jet::ColumnType::Date, 8),
                   DateTime{1899, 12, 29, 6, 0, 0}, "000000000000f4bf"},
        EncodeCase{"BigIntMinimum", columnOf(jet::ColumnType::BigInt, 8),
                   std::int64_t{std::numeric_limits<std::int64_t>::min()}, "0000000000000080"},
        EncodeCase{"Guid", columnOf(jet::ColumnType::Guid, 16),
                   std::string("{00112233-4455-6677-8899-AABBCCDDEEFF}"),
                   "33221100554477668899aabbccddeeff"},
        EncodeCase{"DecimalNegative", columnOf(jet::ColumnType::Numeric, 17), std::string("-1.5"),
                   "8000000000000000000000000096000000"},
        EncodeCase{"TextIsUtf16", columnOf(jet::ColumnType::Text, 20, false), std::string("Aß€"),
                   "4100df00ac20"},
        EncodeCase{"TextAboveBmp", columnOf(jet::ColumnType::Text, 20, false),
                   std::string("\xF0\x9F\x98\x80"), "3dd800de"},
        EncodeCase{"FixedTextPadsSpaces", columnOf(jet::ColumnType::Text, 6, true),
                   std::string("A"), "410020002000"},
        EncodeCase{"FixedBinaryPadsZeros", columnOf(jet::ColumnType::Binary, 3, true),
                   std::vector<std::uint8_t>{7}, "070000"},
        EncodeCase{"Memo", columnOf(jet::ColumnType::Memo, 0, false), std::string("hi"),
                   "68006900"}),
    [](const ::testing::TestParamInfo<EncodeCase>& param) {
        return std::string(param.param.name);
    });

struct RefusalCase {
    const char* name;
    ColumnLayout column;
    Value value;
    const char* messagePart;
};

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, ThrowsWithTheReason) {
    try {
        encodeValue(GetParam().column, GetParam().value, "table \"T\", row 3");
        FAIL() << "no error";
    } catch (const WriteError& error) {
        EXPECT_NE(std::string(error.what()).find("table \"T\", row 3"), std::string::npos)
            << error.what();
        EXPECT_NE(std::string(error.what()).find(GetParam().messagePart), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, Refusal,
    ::testing::Values(
        RefusalCase{"ByteTooLarge", columnOf(jet::ColumnType::Byte, 1), std::int64_t{256},
                    "out of range"},
        RefusalCase{"LongTooLarge", columnOf(jet::ColumnType::Long, 4), std::int64_t{1LL << 31},
                    "out of range"},
        RefusalCase{"IntegerFraction", columnOf(jet::ColumnType::Integer, 2), 1.5, "whole number"},
        RefusalCase{"TextTooLong", columnOf(jet::ColumnType::Text, 4, false), std::string("abc"),
                    "longer than the field"},
        RefusalCase{"BadUtf8", columnOf(jet::ColumnType::Text, 40, false), std::string("\xC3("),
                    "not valid UTF-8"},
        RefusalCase{"GuidMalformed", columnOf(jet::ColumnType::Guid, 16), std::string("{1234}"),
                    "malformed GUID"},
        RefusalCase{"DecimalTooPrecise", columnOf(jet::ColumnType::Numeric, 17),
                    std::string("1.234"), "decimal places"},
        RefusalCase{"DecimalTooManyDigits", columnOf(jet::ColumnType::Numeric, 17),
                    std::string("123456789.5"), "exceeds the precision"},
        RefusalCase{"CurrencyNotANumber", columnOf(jet::ColumnType::Currency, 8),
                    std::string("12a"), "not a decimal"},
        RefusalCase{"BinaryFromText", columnOf(jet::ColumnType::Binary, 8, false), std::string("x"),
                    "expects binary"},
        RefusalCase{"ExtendedDateEightDigits", columnOf(jet::ColumnType::ExtendedDate, 42),
                    std::string("2024-01-01 00:00:00.12345678"), "extended date"},
        RefusalCase{"ExtendedDateMonth13", columnOf(jet::ColumnType::ExtendedDate, 42),
                    std::string("2024-13-01 00:00:00"), "extended date"}),
    [](const ::testing::TestParamInfo<RefusalCase>& param) {
        return std::string(param.param.name);
    });

}  // namespace
}  // namespace zl::jetwrite
