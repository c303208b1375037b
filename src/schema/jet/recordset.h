// A forward-only cursor over the rows of one table: its data pages in usage-map order, live rows
// in directory order, moved rows followed to their data; only the current row is held.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "schema/engine.h"
#include "schema/jet/data_page.h"
#include "schema/jet/page_reader.h"
#include "schema/jet/row_view.h"
#include "schema/jet/table_definition.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

class RowCursor {
public:
    // Reads the definition at `definitionPage` and the usage map of its data pages. Corrupt
    // when either is damaged. The reader, format and decoder must outlive the cursor.
    static Result<RowCursor> open(PageReader& reader, const JetFormat& format,
                                  const TextDecoder& text, std::uint32_t definitionPage);

    // Moves to the next live row and decodes it: true, or false past the last row, or Corrupt
    // when a data page or a value is damaged.
    Result<bool> next();
    // The current row, one Value per column in definition order.
    const std::vector<Value>& values() const { return m_values; }
    // The data page being read (for messages); kNoPage before the first.
    std::uint32_t currentPage() const { return m_currentPage; }
    // The row count recorded in the table definition.
    std::uint64_t recordedCount() const { return m_recordedCount; }
    const TableDefinition& definition() const { return m_table; }
    // Swaps the current row's values into `into`; the cursor decodes the next row into the
    // storage `into` held (strings keep their capacity), so values() is unspecified until then.
    void takeValues(std::vector<Value>& into);
    // Decodes only the columns whose flag is true; the others stay Null.
    void restrictTo(const std::vector<bool>& wanted);
    // Declares the result type of calculated column `index` (its ResultType property).
    void setResultType(std::size_t index, std::uint8_t type) { m_resultTypes.at(index) = type; }

private:
    RowCursor(PageReader& reader, const JetFormat& format, const TextDecoder& text)
        : m_reader(&reader), m_format(&format), m_text(&text) {}
    Result<bool> openNextPage();
    Result<Bytes> movedRowData(const RowSlot& slot, DataPage& holder, Origin& origin);
    Status decodeRow(Bytes row, const Origin& origin);

    PageReader* m_reader;
    const JetFormat* m_format;
    const TextDecoder* m_text;
    TableDefinition m_table;
    std::uint64_t m_recordedCount = 0;
    std::vector<std::uint32_t> m_pages;
    std::size_t m_nextPage = 0;
    std::optional<DataPage> m_page;
    std::size_t m_nextSlot = 0;
    std::uint32_t m_currentPage = kNoPage;
    std::vector<Value> m_values;
    std::vector<std::uint8_t> m_resultTypes;  // 0: the column's own type
    std::vector<bool> m_wanted;               // columns to decode
    bool m_restricted = false;                // some column is not decoded
    RowView m_view;                           // the current row's frame, storage reused
};

// The engine interface's Recordset over a RowCursor; failures become EngineError naming
// `tableName` and the data page.
std::unique_ptr<Recordset> makeRecordset(RowCursor cursor, std::string tableName);

}  // namespace zl::schema::jet
