// One stored row, decoded far enough to find each column's bytes: column count, fixed area,
// variable-offset table (with the Jet 3 jump table) and null mask.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "schema/jet/byte_cursor.h"
#include "schema/jet/jet_format.h"
#include "schema/jet/table_definition.h"

namespace zl::schema::jet {

class RowView {
public:
    // Decodes the frame of `row`; `hasVariableColumns` is whether the table has any (rows of
    // tables without them carry no offset table). Corrupt when the frame does not fit.
    static Result<RowView> parse(Bytes row, const Origin& origin, const JetFormat& format,
                                 bool hasVariableColumns);
    // The same into `view`, reusing its storage: a cursor keeps one view for all its rows, so
    // that reading a row allocates nothing.
    static Status parseInto(RowView& view, Bytes row, const Origin& origin, const JetFormat& format,
                            bool hasVariableColumns);
    RowView() = default;  // no row; for parseInto

    // The bytes of `column`, or nullopt when the row holds it as null or was written before the
    // column existed. Booleans have no bytes: use isNull(). Corrupt when the bytes fall
    // outside the row.
    Result<std::optional<Bytes>> value(const ColumnDef& column) const;
    // Whether the null mask marks column number `number` as null (for booleans: false).
    bool isNull(std::uint16_t number) const;
    const Origin& origin() const { return m_origin; }

private:
    Status parseOffsetsJet4(ByteCursor& cursor);
    Status parseOffsetsJet3(ByteCursor& cursor);
    Result<std::optional<Bytes>> fixedValue(const ColumnDef& column) const;
    Result<std::optional<Bytes>> variableValue(const ColumnDef& column) const;

    Bytes m_row;
    Origin m_origin;
    const JetFormat* m_format = nullptr;
    std::size_t m_columnCount = 0;
    std::size_t m_nullMaskStart = 0;
    std::vector<std::size_t> m_varOffsets;  // variable column i spans [i], [i+1]
};

// Bytes a fixed-length column of `type` occupies (text and binary: `length`).
std::size_t fixedSizeOf(std::uint8_t type, std::uint16_t length);

}  // namespace zl::schema::jet
