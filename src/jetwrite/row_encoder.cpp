// Row format: column count, fixed columns at their offsets, variable columns in slot order,
// then (when there are variable columns) the end-of-data offset, the slot offsets last to first
// and the slot count, and finally the null mask (one bit per column, 1 = present or true).
#include "jetwrite/row_encoder.h"

#include <string>

#include "jetwrite/jet_format.h"
#include "jetwrite/value_encoder.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {
constexpr std::size_t kColumnCountSize = 2;

std::string columnWhere(std::string_view where, const ColumnLayout& column) {
    return std::string(where) + ", field \"" + column.name + "\"";
}
}  // namespace

RowEncoder::RowEncoder(const std::vector<ColumnLayout>& columns,
                       std::vector<LongValueStore>& longValues)
    : m_columns(columns), m_longValues(longValues), m_fixedSize(fixedAreaSize(columns)) {
    m_varOrder.resize(variableColumnCount(columns));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i].fixed) m_varOrder.at(columns[i].varIndex) = i;
    }
}

void RowEncoder::writeFixed(Bytes& row, std::size_t column, const Value& value,
                            std::string_view where) {
    const ColumnLayout& columnLayout = m_columns[column];
    const Bytes data = encodeValue(columnLayout, value, columnWhere(where, columnLayout));
    const std::size_t offset = kColumnCountSize + columnLayout.fixedOffset;
    for (std::size_t i = 0; i < data.size(); ++i) row[offset + i] = data[i];
}

void RowEncoder::markPresent(Bytes& nullMask, std::size_t column) const {
    const std::uint16_t number = m_columns[column].number;
    nullMask[number / 8] |= std::byte{static_cast<std::uint8_t>(1u << (number % 8))};
}

Bytes RowEncoder::fixedArea(const std::vector<Value>& values, Bytes& nullMask,
                            std::string_view where) {
    Bytes row(kColumnCountSize + m_fixedSize);
    storeU16(row, 0, static_cast<std::uint16_t>(m_columns.size()));
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const ColumnLayout& columnLayout = m_columns[i];
        if (!columnLayout.fixed || isNull(values[i])) continue;
        if (columnLayout.isBoolean()) {
            // A Boolean is its bit in the null mask: set for True.
            if (booleanValue(values[i], columnWhere(where, columnLayout))) markPresent(nullMask, i);
        } else {
            writeFixed(row, i, values[i], where);
            markPresent(nullMask, i);
        }
    }
    return row;
}

void RowEncoder::appendVariableArea(Bytes& row, const std::vector<Value>& values, Bytes& nullMask,
                                    std::string_view where) {
    std::vector<std::uint16_t> offsets;
    for (const std::size_t column : m_varOrder) {
        offsets.push_back(static_cast<std::uint16_t>(row.size()));
        if (isNull(values[column])) continue;
        const ColumnLayout& columnLayout = m_columns[column];
        Bytes data = encodeValue(columnLayout, values[column], columnWhere(where, columnLayout));
        if (columnLayout.isLongValue()) data = m_longValues.at(column).fieldFor(data);
        row.insert(row.end(), data.begin(), data.end());
        markPresent(nullMask, column);
    }
    ByteWriter trailer;
    trailer.u16(static_cast<std::uint16_t>(row.size()));
    // The offset table is stored last slot first.
    for (std::size_t slot = offsets.size(); slot-- > 0;) trailer.u16(offsets[slot]);
    trailer.u16(static_cast<std::uint16_t>(offsets.size()));
    row.insert(row.end(), trailer.data().begin(), trailer.data().end());
}

Bytes RowEncoder::encode(const std::vector<Value>& values, std::string_view where) {
    if (values.size() != m_columns.size()) {
        throw WriteError(std::string(where) + ": " + std::to_string(values.size()) +
                         " values for " + std::to_string(m_columns.size()) + " fields");
    }
    Bytes nullMask((m_columns.size() + 7) / 8);
    Bytes row = fixedArea(values, nullMask, where);
    // Without variable columns a row has no offset table at all.
    if (!m_varOrder.empty()) appendVariableArea(row, values, nullMask, where);
    row.insert(row.end(), nullMask.begin(), nullMask.end());
    if (row.size() > jet::kMaxRowSize) {
        throw WriteError(std::string(where) + ": the row needs " + std::to_string(row.size()) +
                         " bytes, more than the " + std::to_string(jet::kMaxRowSize) +
                         " a row can hold");
    }
    return row;
}

}  // namespace zl::jetwrite
