// The stored bytes of one column of a data row, as the typed Value the engine interface yields.
#pragma once

#include <optional>

#include "schema/engine.h"
#include "schema/jet/byte_cursor.h"
#include "schema/jet/jet_format.h"
#include "schema/jet/page_reader.h"
#include "schema/jet/row_view.h"
#include "schema/jet/table_definition.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// Memo and OLE values longer than this are refused as damage (Access stops at 1 GB).
inline constexpr std::size_t kMaxRowLongValue = std::size_t{1} << 30;

// Decodes the value of `column` in `row` into `out` (its buffers are reused from row to row).
// Long values are read through `reader`. `resultType` is a calculated column's result type (0:
// the column's own). Corrupt when the bytes break the type's layout.
Status decodeColumnValue(PageReader& reader, const JetFormat& format, const TextDecoder& text,
                         const RowView& row, const ColumnDef& column, std::uint8_t resultType,
                         Value& out);

// The exact decimal text of a sign and a 128-bit magnitude (four 32-bit words, least
// significant first) with `scale` digits after the point: "-12.3400", "0.05".
std::string decimalText(bool negative, const std::uint32_t (&magnitude)[4], int scale);

}  // namespace zl::schema::jet
