// Facts of each stored column type in one table: what a row stores for a fixed column of the
// type, and what DAO reports as the field's Size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "schema/jet/table_definition.h"

namespace zl::schema::jet {

// Stands for "the column's declared length" in the table below.
inline constexpr int kDeclaredLength = -1;

struct ColumnTypeTraits {
    std::uint8_t type;
    int storedSize;  // bytes of a fixed column in a row
    int daoSize;     // Field.Size
};

// Types not listed (Text, Binary and unknown ones) take the declared length for both; Text's
// DAO size counts characters (see dao_mapping.cpp).
inline constexpr ColumnTypeTraits kColumnTypeTraits[] = {
    {column_type::kBoolean, 0, 1},  // the value lives in the null mask
    {column_type::kByte, 1, 1},
    {column_type::kInteger, 2, 2},
    {column_type::kLong, 4, 4},
    {column_type::kCurrency, 8, 8},
    {column_type::kSingle, 4, 4},
    {column_type::kDouble, 8, 8},
    {column_type::kDateTime, 8, 8},
    {column_type::kGuid, 16, 16},
    {column_type::kNumeric, 17, 16},  // the row adds a sign byte to the 16 value bytes
    {column_type::kComplex, 4, kDeclaredLength},
    {column_type::kBigInt, 8, 8},
    {column_type::kExtendedDate, kDeclaredLength, 42},
    {column_type::kMemo, kDeclaredLength, 0},
    {column_type::kOle, kDeclaredLength, 0},
};

// For each type byte, 1 + the index of its entry in kColumnTypeTraits, or 0 when the table does
// not list it: the lookup runs for every fixed value of every row read.
inline constexpr auto kColumnTypeIndex = [] {
    std::array<std::uint8_t, 256> index{};
    for (std::size_t i = std::size(kColumnTypeTraits); i-- > 0;) {
        index[kColumnTypeTraits[i].type] = static_cast<std::uint8_t>(i + 1);
    }
    return index;
}();

// The entry of `type`, or nullptr for a type the table does not list.
constexpr const ColumnTypeTraits* columnTypeTraits(std::uint8_t type) {
    const std::uint8_t at = kColumnTypeIndex[type];
    return at == 0 ? nullptr : &kColumnTypeTraits[at - 1];
}

}  // namespace zl::schema::jet
