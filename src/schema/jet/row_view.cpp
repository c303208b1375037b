// Row frame decoding.
//
// Row (Jet 4 / Jet 3 widths):
//   OFFSET     SIZE  DESCRIPTION
//   0x00       2/1   number of columns when the row was written (N)
//   0x02/0x01  ...   fixed-length columns, each at its descriptor's fixed offset
//   ...        ...   variable-length column data
//   end-M-2-2k 2/1   variable offsets, stored backwards: offset 0 nearest the end, then
//                    offset 1, ..., and last the end of the variable data (Jet 3: 1 byte each,
//                    plus 256 for each jump-table entry at or below the column)
//   (Jet 3)    J     jump table: for each 256-byte boundary, the first variable column at or
//                    past it; J = (row length - 1) / 256, the last entry may be a dummy
//   end-M-2/1  2/1   number of variable columns (V)
//   end-M      M     null mask, M = (N + 7) / 8, bit per column number, 1 = not null
//                    (for booleans the bit is the value)
#include "schema/jet/row_view.h"

#include "schema/jet/column_types.h"

namespace zl::schema::jet {
namespace {

constexpr std::size_t kJumpSize = 256;

}  // namespace

std::size_t fixedSizeOf(std::uint8_t type, std::uint16_t length) {
    const ColumnTypeTraits* traits = columnTypeTraits(type);
    if (traits == nullptr || traits->storedSize == kDeclaredLength) return length;
    return static_cast<std::size_t>(traits->storedSize);
}

Result<RowView> RowView::parse(Bytes row, const Origin& origin, const JetFormat& format,
                               bool hasVariableColumns) {
    RowView view;
    JET_TRY(parseInto(view, row, origin, format, hasVariableColumns));
    return view;
}

Status RowView::parseInto(RowView& view, Bytes row, const Origin& origin, const JetFormat& format,
                          bool hasVariableColumns) {
    view.m_row = row;
    view.m_origin = origin;
    view.m_format = &format;
    view.m_columnCount = 0;
    view.m_nullMaskStart = 0;
    view.m_varOffsets.clear();
    ByteCursor cursor(row, view.m_origin);
    view.m_columnCount =
        format.rowCountWidth == 1 ? cursor.u8("row column count") : cursor.u16("row column count");
    JET_TRY(cursor.status());
    const std::size_t maskSize = (view.m_columnCount + 7) / 8;
    if (maskSize > row.size() - format.rowCountWidth) {
        return cursor.failAt(0, "row of " + std::to_string(row.size()) + " bytes cannot hold " +
                                    std::to_string(view.m_columnCount) + " columns");
    }
    view.m_nullMaskStart = row.size() - maskSize;
    if (hasVariableColumns) {
        JET_TRY(format.isJet3() ? view.parseOffsetsJet3(cursor) : view.parseOffsetsJet4(cursor));
    }
    return {};
}

Status RowView::parseOffsetsJet4(ByteCursor& cursor) {
    if (m_nullMaskStart < 2 + 2) {
        return cursor.failAt(0, "row too short for its variable column count");
    }
    cursor.seek(m_nullMaskStart - 2);
    const std::size_t count = cursor.u16("variable column count");
    // The table holds count + 1 offsets below the count itself.
    if (count + 1 > (m_nullMaskStart - 2 - 2) / 2) {
        return cursor.failAt(m_nullMaskStart - 2, "variable column count " + std::to_string(count) +
                                                      " does not fit the row");
    }
    m_varOffsets.reserve(count + 1);
    for (std::size_t i = 0; i <= count; ++i) {
        cursor.seek(m_nullMaskStart - 4 - 2 * i);
        m_varOffsets.push_back(cursor.u16("variable column offset"));
    }
    return cursor.status();
}

Status RowView::parseOffsetsJet3(ByteCursor& cursor) {
    if (m_nullMaskStart < 2) {
        return cursor.failAt(0, "row too short for its variable column count");
    }
    cursor.seek(m_nullMaskStart - 1);
    const std::size_t count = cursor.u8("variable column count");
    std::size_t jumps = (m_row.size() - 1) / kJumpSize;
    // Below the count: the jump table, then count + 1 one-byte offsets, above the column count.
    if (m_nullMaskStart < 3 + jumps + count) {
        return cursor.failAt(m_nullMaskStart - 1, "variable column count " + std::to_string(count) +
                                                      " does not fit the row");
    }
    const std::size_t lastOffset = m_nullMaskStart - 2 - jumps;  // offset of variable column 0
    if ((lastOffset - count) / kJumpSize < jumps) {
        --jumps;  // the last jump entry is a filler, not a boundary
    }
    std::size_t used = 0;
    m_varOffsets.reserve(count + 1);
    for (std::size_t i = 0; i <= count; ++i) {
        while (used < jumps) {
            cursor.seek(m_nullMaskStart - 2 - used);
            if (cursor.u8("jump table entry") != i) {
                break;
            }
            ++used;
        }
        cursor.seek(lastOffset - i);
        m_varOffsets.push_back(cursor.u8("variable column offset") + used * kJumpSize);
    }
    return cursor.status();
}

bool RowView::isNull(std::uint16_t number) const {
    if (number >= m_columnCount) {
        return true;
    }
    const auto bits = std::to_integer<unsigned>(m_row[m_nullMaskStart + number / 8]);
    return (bits & (1u << (number % 8))) == 0;
}

Result<std::optional<Bytes>> RowView::value(const ColumnDef& column) const {
    if (isNull(column.number)) {
        return std::optional<Bytes>();
    }
    if (column.type == column_type::kBoolean) {
        return std::optional<Bytes>(Bytes());
    }
    return column.fixed() ? fixedValue(column) : variableValue(column);
}

Result<std::optional<Bytes>> RowView::fixedValue(const ColumnDef& column) const {
    const std::size_t start = m_format->rowCountWidth + column.fixedOffset;
    const std::size_t size = fixedSizeOf(column.type, column.length);
    if (start > m_nullMaskStart || size > m_nullMaskStart - start) {
        return corruption(m_origin, 0,
                          "column " + column.name + " at " + std::to_string(start) + "+" +
                              std::to_string(size) + " lies outside the row's " +
                              std::to_string(m_nullMaskStart) + " data bytes");
    }
    return std::optional<Bytes>(m_row.subspan(start, size));
}

Result<std::optional<Bytes>> RowView::variableValue(const ColumnDef& column) const {
    if (column.varIndex + 1u >= m_varOffsets.size()) {
        return std::optional<Bytes>();  // written before the column was added
    }
    const std::size_t start = m_varOffsets[column.varIndex];
    const std::size_t end = m_varOffsets[column.varIndex + 1u];
    if (start < m_format->rowCountWidth || start > end || end > m_nullMaskStart) {
        return corruption(m_origin, 0,
                          "column " + column.name + " spans " + std::to_string(start) + ".." +
                              std::to_string(end) + ", outside the row's " +
                              std::to_string(m_nullMaskStart) + " data bytes");
    }
    return std::optional<Bytes>(m_row.subspan(start, end - start));
}

}  // namespace zl::schema::jet
