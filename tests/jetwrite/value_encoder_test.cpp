// Stored bytes the independent reader's export does not show (mdbtools_test checks the rest),
// and the values each type refuses.
#include "jetwrite/value_encoder.h"

#include <gtest/gtest.h>

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
    ::testing::Values(EncodeCase{"LongFromTrue", columnOf(jet::ColumnType::Long, 4), true,
                                 "ffffffff"},
                      EncodeCase{"CurrencyWhole", columnOf(jet::ColumnType::Currency, 8),
                                 std::int64_t{-1}, "f0d8ffffffffffff"},
                      EncodeCase{"DateDayZero", columnOf(jet::ColumnType::Date, 8),
                                 DateTime{1899, 12, 30, 0, 0, 0}, "0000000000000000"},
                      EncodeCase{"DateBeforeDayZero", columnOf(jet::ColumnType::Date, 8),
                                 DateTime{1899, 12, 29, 6, 0, 0}, "000000000000f4bf"},
                      EncodeCase{"Guid", columnOf(jet::ColumnType::Guid, 16),
                                 std::string("{00112233-4455-6677-8899-AABBCCDDEEFF}"),
                                 "33221100554477668899aabbccddeeff"},
                      EncodeCase{"TextAboveBmp", columnOf(jet::ColumnType::Text, 20, false),
                                 std::string("\xF0\x9F\x98\x80"), "3dd800de"},
                      EncodeCase{"FixedBinaryPadsZeros", columnOf(jet::ColumnType::Binary, 3, true),
                                 std::vector<std::uint8_t>{7}, "070000"}),
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
    ::testing::Values(RefusalCase{"ByteTooLarge", columnOf(jet::ColumnType::Byte, 1),
                                  std::int64_t{256}, "out of range"},
                      RefusalCase{"LongTooLarge", columnOf(jet::ColumnType::Long, 4),
                                  std::int64_t{1LL << 31}, "out of range"},
                      RefusalCase{"IntegerFraction", columnOf(jet::ColumnType::Integer, 2), 1.5,
                                  "whole number"},
                      RefusalCase{"TextTooLong", columnOf(jet::ColumnType::Text, 4, false),
                                  std::string("abc"), "longer than the field"},
                      RefusalCase{"BadUtf8", columnOf(jet::ColumnType::Text, 40, false),
                                  std::string("\xC3("), "not valid UTF-8"},
                      RefusalCase{"GuidMalformed", columnOf(jet::ColumnType::Guid, 16),
                                  std::string("{1234}"), "malformed GUID"},
                      RefusalCase{"DecimalTooPrecise", columnOf(jet::ColumnType::Numeric, 17),
                                  std::string("1.234"), "decimal places"},
                      RefusalCase{"DecimalTooManyDigits", columnOf(jet::ColumnType::Numeric, 17),
                                  std::string("123456789.5"), "exceeds the precision"},
                      RefusalCase{"CurrencyNotANumber", columnOf(jet::ColumnType::Currency, 8),
                                  std::string("12a"), "not a decimal"},
                      RefusalCase{"BinaryFromText", columnOf(jet::ColumnType::Binary, 8, false),
                                  std::string("x"), "expects binary"}),
    [](const ::testing::TestParamInfo<RefusalCase>& param) {
        return std::string(param.param.name);
    });

}  // namespace
}  // namespace zl::jetwrite
