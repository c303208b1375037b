// MSysQueries rows of one query.
#include "schema/jet/saved_query_reader.h"

#include "schema/jet/table_definition.h"
#include "schema/jet/table_scan.h"

namespace zl::schema::jet {
namespace {

struct QueryColumns {
    const ColumnDef* attribute;
    const ColumnDef* expression;
    const ColumnDef* flag;
    const ColumnDef* name1;
    const ColumnDef* name2;
    const ColumnDef* objectId;
    const ColumnDef* order;
    const ColumnDef* extra;  // LvExtra: a whole number in Jet 4 and later, absent in Jet 3
};

// The column `name` when it holds whole numbers; other kinds of it are not used.
const ColumnDef* wholeNumberColumn(const TableDefinition& table, const std::string& name) {
    const ColumnDef* column = table.columnByName(name);
    const bool whole = column != nullptr && (column->type == column_type::kByte ||
                                             column->type == column_type::kInteger ||
                                             column->type == column_type::kLong);
    return whole ? column : nullptr;
}

std::optional<int> toInt(const std::optional<std::int64_t>& value) {
    if (!value) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

Result<QueryRow> readRow(const RecordReader& record, const QueryColumns& columns,
                         const RowView& row) {
    QueryRow out;
    out.page = row.origin().startPage();
    out.offset = static_cast<std::uint16_t>(row.origin().startOffset());
    JET_ASSIGN_OR_RETURN(const auto attribute, record.integer(row, columns.attribute));
    JET_ASSIGN_OR_RETURN(out.expression, record.text(row, columns.expression));
    JET_ASSIGN_OR_RETURN(const auto flag, record.integer(row, columns.flag));
    JET_ASSIGN_OR_RETURN(out.name1, record.text(row, columns.name1));
    JET_ASSIGN_OR_RETURN(out.name2, record.text(row, columns.name2));
    JET_ASSIGN_OR_RETURN(auto order, record.binary(row, columns.order));
    JET_ASSIGN_OR_RETURN(const auto extra, record.integer(row, columns.extra));
    if (extra) {
        out.extra = static_cast<std::int32_t>(*extra);
    }
    out.attribute = toInt(attribute);
    out.flag = toInt(flag);
    if (order) {
        out.order.reserve(order->size());
        for (const std::byte b : *order) {
            out.order.push_back(std::to_integer<std::uint8_t>(b));
        }
    }
    return out;
}

}  // namespace

Result<SavedQueryRows> readSavedQueryRows(PageReader& reader, const JetFormat& format,
                                          const TextDecoder& text, std::uint32_t tablePage) {
    JET_ASSIGN_OR_RETURN(const TableDefinition table,
                         readTableDefinition(reader, format, text, tablePage));
    const QueryColumns columns{
        table.columnByName("Attribute"), table.columnByName("Expression"),
        table.columnByName("Flag"),      table.columnByName("Name1"),
        table.columnByName("Name2"),     table.columnByName("ObjectId"),
        table.columnByName("Order"),     wholeNumberColumn(table, "LvExtra")};
    if (columns.objectId == nullptr || columns.attribute == nullptr) {
        return corruption(Origin(tablePage, 0), 0,
                          "the saved query table lacks its ObjectId or Attribute column");
    }
    const RecordReader record(reader, format, text);
    SavedQueryRows rows;
    JET_TRY(scanRows(reader, format, table, [&](const RowView& row) -> Status {
        JET_ASSIGN_OR_RETURN(const auto id, record.integer(row, columns.objectId));
        if (!id) {
            return {};
        }
        const auto objectId = static_cast<std::int32_t>(*id);
        Result<QueryRow> decoded = readRow(record, columns, row);
        if (decoded.ok()) {
            decoded->objectId = objectId;
        }
        rows[objectId].push_back(std::move(decoded));
        return {};
    }));
    return rows;
}

Result<std::vector<QueryRow>> rowsOfQuery(const SavedQueryRows& rows, std::int32_t objectId) {
    std::vector<QueryRow> out;
    const auto found = rows.find(objectId);
    if (found == rows.end()) {
        return out;
    }
    for (const Result<QueryRow>& row : found->second) {
        if (!row.ok()) {
            return row.error();
        }
        out.push_back(*row);
    }
    return out;
}

}  // namespace zl::schema::jet
