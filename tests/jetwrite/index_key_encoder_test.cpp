// Index keys sort by plain byte comparison in the order of their values: numbers, dates and
// Booleans, ascending and descending, NULL first (ascending) or last (descending).
#include "jetwrite/index_key_encoder.h"

#include <gtest/gtest.h>

#include "jetwrite/write_error.h"

namespace zl::jetwrite {
namespace {

ColumnLayout columnOf(jet::ColumnType type, std::uint16_t length) {
    ColumnLayout column;
    column.name = "C";
    column.type = type;
    column.length = length;
    return column;
}

Bytes key(const ColumnLayout& column, const Value& value, bool ascending) {
    PhysicalIndexLayout index;
    index.columns = {{0, ascending}};
    return encodeIndexKey(index, {column}, {value}, "test");
}

struct OrderCase {
    const char* name;
    ColumnLayout column;
    std::vector<Value> ascendingValues;  // NULL first, then increasing
};

class KeyOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(KeyOrder, BytesSortLikeValuesBothWays) {
    const OrderCase& c = GetParam();
    for (std::size_t i = 1; i < c.ascendingValues.size(); ++i) {
        EXPECT_LT(key(c.column, c.ascendingValues[i - 1], true),
                  key(c.column, c.ascendingValues[i], true))
            << i;
        EXPECT_GT(key(c.column, c.ascendingValues[i - 1], false),
                  key(c.column, c.ascendingValues[i], false))
            << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, KeyOrder,
    ::testing::Values(OrderCase{"Byte",
                                columnOf(jet::ColumnType::Byte, 1),
                                {Value{}, std::int64_t{0}, std::int64_t{1}, std::int64_t{255}}},
                      OrderCase{"Integer",
                                columnOf(jet::ColumnType::Integer, 2),
                                {Value{}, std::int64_t{-32768}, std::int64_t{-1}, std::int64_t{0},
                                 std::int64_t{1}, std::int64_t{32767}}},
                      OrderCase{"Long",
                                columnOf(jet::ColumnType::Long, 4),
                                {Value{}, std::int64_t{-2147483648LL}, std::int64_t{-256},
                                 std::int64_t{-1}, std::int64_t{0}, std::int64_t{255},
                                 std::int64_t{256}, std::int64_t{2147483647}}},
                      OrderCase{"Currency",
                                columnOf(jet::ColumnType::Currency, 8),
                                {Value{}, std::string("-1000.5"), std::string("-0.0001"),
                                 std::int64_t{0}, std::string("0.0001"), std::int64_t{1000}}},
                      OrderCase{"Double",
                                columnOf(jet::ColumnType::Double, 8),
                                {Value{}, -1e300, -2.5, -0.5, 0.0, 0.25, 3.0, 1e300}},
                      OrderCase{"Single",
                                columnOf(jet::ColumnType::Single, 4),
                                {Value{}, -100.0, -1.0, 0.0, 0.5, 100.0}},
                      OrderCase{"Date",
                                columnOf(jet::ColumnType::Date, 8),
                                {Value{}, DateTime{1899, 12, 29, 6, 0, 0},
                                 DateTime{1899, 12, 30, 0, 0, 0}, DateTime{1970, 1, 1, 0, 0, 0},
                                 DateTime{2024, 2, 29, 23, 59, 59}}},
                      OrderCase{"Boolean", columnOf(jet::ColumnType::Boolean, 1), {true, false}}),
    [](const ::testing::TestParamInfo<OrderCase>& param) { return std::string(param.param.name); });

TEST(IndexKey, LongKeyIsFlagAndBigEndianWithSignBitFlipped) {
    const Bytes expected{std::byte{0x7F}, std::byte{0x80}, std::byte{0x00}, std::byte{0x01},
                         std::byte{0x02}};
    EXPECT_EQ(key(columnOf(jet::ColumnType::Long, 4), std::int64_t{0x0102}, true), expected);
}

TEST(IndexKey, NullIsOneFlagByte) {
    EXPECT_EQ(key(columnOf(jet::ColumnType::Long, 4), Value{}, true), Bytes{std::byte{0x00}});
    EXPECT_EQ(key(columnOf(jet::ColumnType::Long, 4), Value{}, false), Bytes{std::byte{0xFF}});
}

TEST(IndexKey, RefusesKeyTypesItCannotEncode) {
    for (const jet::ColumnType type :
         {jet::ColumnType::Text, jet::ColumnType::Memo, jet::ColumnType::Binary,
          jet::ColumnType::Guid, jet::ColumnType::Numeric}) {
        EXPECT_FALSE(isKeyTypeSupported(type));
        EXPECT_THROW(key(columnOf(type, 10), std::string("x"), true), WriteError);
    }
}

}  // namespace
}  // namespace zl::jetwrite
