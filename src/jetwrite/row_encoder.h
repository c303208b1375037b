// Encodes one data row of a table: fixed area, variable area, offset table and null mask.
#pragma once

#include <string_view>
#include <vector>

#include "jetwrite/byte_writer.h"
#include "jetwrite/database_description.h"
#include "jetwrite/long_value_store.h"
#include "jetwrite/table_schema.h"

namespace zl::jetwrite {

class RowEncoder {
public:
    // `longValues` holds one store per column (used for memo and long binary columns only).
    RowEncoder(const std::vector<ColumnLayout>& columns, std::vector<LongValueStore>& longValues);

    // The row bytes for `values` (one per column, in column order). Throws WriteError naming
    // `where` when a value does not fit its column or the row exceeds the largest row size.
    Bytes encode(const std::vector<Value>& values, std::string_view where);

private:
    void writeFixed(Bytes& row, std::size_t column, const Value& value, std::string_view where);
    void markPresent(Bytes& nullMask, std::size_t column) const;
    Bytes fixedArea(const std::vector<Value>& values, Bytes& nullMask, std::string_view where);
    void appendVariableArea(Bytes& row, const std::vector<Value>& values, Bytes& nullMask,
                            std::string_view where);

    const std::vector<ColumnLayout>& m_columns;
    std::vector<LongValueStore>& m_longValues;
    std::vector<std::size_t> m_varOrder;  // column positions by variable slot
    std::uint16_t m_fixedSize = 0;
};

}  // namespace zl::jetwrite
