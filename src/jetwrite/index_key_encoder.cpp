// Key encoding per column: a flag byte (0x7F present / 0x00 NULL ascending; 0x80 / 0xFF
// descending) followed by the value big-endian, with the sign bit flipped so that negative
// numbers sort first; descending columns have every byte inverted.
#include "jetwrite/index_key_encoder.h"

#include <algorithm>
#include <string>

#include "jetwrite/value_encoder.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

using jet::ColumnType;

constexpr std::byte kAscendingPresent{0x7F};
constexpr std::byte kAscendingNull{0x00};
constexpr std::byte kDescendingPresent{0x80};
constexpr std::byte kDescendingNull{0xFF};
constexpr std::byte kBooleanTrue{0x00};  // ascending order puts True (-1) before False (0)
constexpr std::byte kBooleanFalse{0xFF};

void invert(Bytes& bytes) {
    for (std::byte& b : bytes) b = ~b;
}

// The stored value bytes of a numeric column, most significant byte first.
Bytes bigEndianValue(const ColumnLayout& column, const Value& value, std::string_view where) {
    Bytes bytes = encodeValue(column, value, where);
    std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

Bytes numericKey(const ColumnLayout& column, const Value& value, bool ascending,
                 std::string_view where) {
    Bytes bytes = bigEndianValue(column, value, where);
    switch (column.type) {
        case ColumnType::Byte:
            break;  // unsigned already
        case ColumnType::Integer:
        case ColumnType::Long:
        case ColumnType::Currency:
            bytes[0] ^= std::byte{0x80};
            break;
        default: {
            // IEEE numbers: positive values get the sign bit set, negative ones are inverted.
            const bool negative = (bytes[0] & std::byte{0x80}) != std::byte{0};
            if (negative) {
                invert(bytes);
            } else {
                bytes[0] ^= std::byte{0x80};
            }
            break;
        }
    }
    if (!ascending) invert(bytes);
    return bytes;
}

}  // namespace

bool isKeyTypeSupported(ColumnType type) {
    switch (type) {
        case ColumnType::Boolean:
        case ColumnType::Byte:
        case ColumnType::Integer:
        case ColumnType::Long:
        case ColumnType::Currency:
        case ColumnType::Single:
        case ColumnType::Double:
        case ColumnType::Date:
            return true;
        default:
            return false;
    }
}

Bytes encodeIndexKey(const PhysicalIndexLayout& index, const std::vector<ColumnLayout>& columns,
                     const std::vector<Value>& row, std::string_view where) {
    Bytes key;
    for (const PhysicalIndexColumn& part : index.columns) {
        const ColumnLayout& column = columns.at(part.column);
        const Value& value = row.at(part.column);
        if (!isKeyTypeSupported(column.type)) {
            throw WriteError(
                std::string(where) + ": indexes over data rows on field \"" + column.name +
                "\" are not supported by this writer (only numbers, dates and Booleans)");
        }
        if (column.isBoolean()) {
            // A Boolean is never NULL in an index: NULL counts as False.
            key.push_back(part.ascending ? kAscendingPresent : kDescendingPresent);
            const bool truth = !isNull(value) && booleanValue(value, where);
            std::byte code = truth ? kBooleanTrue : kBooleanFalse;
            if (!part.ascending) code = ~code;
            key.push_back(code);
            continue;
        }
        if (isNull(value)) {
            key.push_back(part.ascending ? kAscendingNull : kDescendingNull);
            continue;
        }
        key.push_back(part.ascending ? kAscendingPresent : kDescendingPresent);
        const Bytes data = numericKey(column, value, part.ascending, where);
        key.insert(key.end(), data.begin(), data.end());
    }
    return key;
}

}  // namespace zl::jetwrite
