// Visiting the live rows of a system table, and reading typed values from them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "schema/jet/page_reader.h"
#include "schema/jet/row_view.h"
#include "schema/jet/table_definition.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// Called for each live row; a failure stops the scan and is returned by scanRows.
using RowVisitor = std::function<Status(const RowView&)>;

// Visits every live row of `table`: the data pages its usage map lists (pages now owned by
// another table are skipped), deleted rows skipped, moved rows followed to their data.
Status scanRows(PageReader& reader, const JetFormat& format, const TableDefinition& table,
                const RowVisitor& visit);

// Typed column values of system-table rows. A column that the table lacks (nullptr) reads as
// null; a column of an unexpected type is Corrupt.
class RecordReader {
public:
    RecordReader(PageReader& reader, const JetFormat& format, const TextDecoder& text)
        : m_reader(&reader), m_format(&format), m_text(&text) {}

    // Byte, Integer or Long columns (signed as stored: Byte unsigned, the others signed).
    Result<std::optional<std::int64_t>> integer(const RowView& row, const ColumnDef* column) const;
    // Text or Memo columns, as UTF-8.
    Result<std::optional<std::string>> text(const RowView& row, const ColumnDef* column) const;
    // Binary or OLE columns, raw.
    Result<std::optional<std::vector<std::byte>>> binary(const RowView& row,
                                                         const ColumnDef* column) const;

private:
    Result<std::vector<std::byte>> longValue(const RowView& row, Bytes field) const;

    PageReader* m_reader;
    const JetFormat* m_format;
    const TextDecoder* m_text;
};

// Long values read from system tables are capped at this size (property blobs and query texts
// are far smaller; the cap keeps a damaged length from exhausting memory).
inline constexpr std::size_t kMaxSystemLongValue = 16u << 20;

}  // namespace zl::schema::jet
