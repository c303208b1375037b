// System table scanning and typed values.
#include "schema/jet/table_scan.h"

#include <set>

#include "schema/jet/data_page.h"
#include "schema/jet/long_value.h"
#include "schema/jet/usage_map.h"

namespace zl::schema::jet {
namespace {

constexpr std::size_t kOverflowPointerSize = 4;
// Access points a moved row straight at its data (or one hop more); a longer chain is damage,
// and the cap keeps a crafted chain from costing time per row.
constexpr std::size_t kMaxMoveHops = 16;

// Follows a moved row to the row that holds its data. Each hop lands on a row whose own
// directory entry may again say "moved"; a loop is corruption.
Status visitMovedRow(PageReader& reader, const JetFormat& format, const TableDefinition& table,
                     const DataPage& page, const RowSlot& slot, const RowVisitor& visit) {
    std::set<std::uint32_t> visited;
    DataPage current = page;
    RowSlot currentSlot = slot;
    while (true) {
        const Origin rowOrigin = current.origin().shifted(currentSlot.start);
        JET_ASSIGN_OR_RETURN(const Bytes bytes, current.rowBytes(currentSlot));
        ByteCursor cursor(bytes, rowOrigin);
        if (cursor.size() < kOverflowPointerSize) {
            return corruption(current.origin(), currentSlot.start,
                              "moved row holds " + std::to_string(cursor.size()) +
                                  " bytes, a 4-byte row pointer expected");
        }
        const std::uint8_t row = cursor.u8();
        const std::uint32_t pageNumber = cursor.u24();
        if (!visited.insert((pageNumber << 8) | row).second) {
            return corruption("moved rows form a cycle at page " + std::to_string(pageNumber) +
                              " row " + std::to_string(row));
        }
        if (visited.size() > kMaxMoveHops) {
            return corruption(
                rowOrigin, 0,
                "moved row points on more than " + std::to_string(kMaxMoveHops) + " times");
        }
        JET_ASSIGN_OR_RETURN(current, DataPage::open(reader, format, pageNumber));
        JET_ASSIGN_OR_RETURN(currentSlot, current.slot(row));
        if (!currentSlot.overflow) {
            // The target is flagged deleted so that scans skip it; its bytes are the row.
            const Origin origin = current.origin().shifted(currentSlot.start);
            JET_ASSIGN_OR_RETURN(const Bytes data, current.rowBytes(currentSlot));
            JET_ASSIGN_OR_RETURN(const RowView view, RowView::parse(data, origin, format,
                                                                    table.variableColumnCount > 0));
            return visit(view);
        }
    }
}

Status scanPage(PageReader& reader, const JetFormat& format, const TableDefinition& table,
                const DataPage& page, const RowVisitor& visit) {
    for (std::size_t index = 0; index < page.rowCount(); ++index) {
        JET_ASSIGN_OR_RETURN(const RowSlot slot, page.slot(index));
        if (slot.deleted) {
            continue;
        }
        if (slot.overflow) {
            JET_TRY(visitMovedRow(reader, format, table, page, slot, visit));
            continue;
        }
        const Origin origin = page.origin().shifted(slot.start);
        JET_ASSIGN_OR_RETURN(const Bytes row, page.rowBytes(slot));
        JET_ASSIGN_OR_RETURN(const RowView view,
                             RowView::parse(row, origin, format, table.variableColumnCount > 0));
        JET_TRY(visit(view));
    }
    return {};
}

}  // namespace

Status scanRows(PageReader& reader, const JetFormat& format, const TableDefinition& table,
                const RowVisitor& visit) {
    JET_ASSIGN_OR_RETURN(const std::vector<std::uint32_t> pages,
                         readUsageMap(reader, format, table.ownedPages));
    for (const std::uint32_t number : pages) {
        JET_ASSIGN_OR_RETURN(PageData data, reader.page(number, "data page"));
        const Bytes bytes = bytesOf(data);
        // A usage map may still mark pages that were freed and reused; only data pages that
        // this table owns hold its rows.
        if (std::to_integer<std::uint8_t>(bytes[0]) != kDataPageType ||
            loadU32(bytes, 4) != table.page) {
            continue;
        }
        JET_ASSIGN_OR_RETURN(const DataPage page, DataPage::open(reader, format, number));
        JET_TRY(scanPage(reader, format, table, page, visit));
    }
    return {};
}

Result<std::optional<std::int64_t>> RecordReader::integer(const RowView& row,
                                                          const ColumnDef* column) const {
    if (column == nullptr) {
        return std::optional<std::int64_t>();
    }
    JET_ASSIGN_OR_RETURN(const std::optional<Bytes> bytes, row.value(*column));
    if (!bytes) {
        return std::optional<std::int64_t>();
    }
    if (bytes->size() < fixedSizeOf(column->type, 0)) {
        return corruption(row.origin(), 0,
                          "column " + column->name + " holds " + std::to_string(bytes->size()) +
                              " bytes, too few for its type");
    }
    switch (column->type) {
        case column_type::kByte:
            return std::optional<std::int64_t>(std::to_integer<std::uint8_t>((*bytes)[0]));
        case column_type::kInteger:
            return std::optional<std::int64_t>(static_cast<std::int16_t>(loadU16(*bytes, 0)));
        case column_type::kLong:
            return std::optional<std::int64_t>(static_cast<std::int32_t>(loadU32(*bytes, 0)));
        default:
            return corruption(row.origin(), 0,
                              "column " + column->name + " has type " +
                                  std::to_string(column->type) + ", a whole number expected");
    }
}

Result<std::vector<std::byte>> RecordReader::longValue(const RowView& row, Bytes field) const {
    return readLongValue(*m_reader, *m_format, field, row.origin(), kMaxSystemLongValue);
}

Result<std::optional<std::string>> RecordReader::text(const RowView& row,
                                                      const ColumnDef* column) const {
    if (column == nullptr) {
        return std::optional<std::string>();
    }
    if (column->type != column_type::kText && column->type != column_type::kMemo) {
        return corruption(row.origin(), 0,
                          "column " + column->name + " has type " + std::to_string(column->type) +
                              ", a text expected");
    }
    JET_ASSIGN_OR_RETURN(const std::optional<Bytes> bytes, row.value(*column));
    if (!bytes) {
        return std::optional<std::string>();
    }
    if (column->type == column_type::kText) {
        return std::optional<std::string>(m_text->value(*bytes));
    }
    JET_ASSIGN_OR_RETURN(const std::vector<std::byte> data, longValue(row, *bytes));
    return std::optional<std::string>(m_text->value(data));
}

Result<std::optional<std::vector<std::byte>>> RecordReader::binary(const RowView& row,
                                                                   const ColumnDef* column) const {
    using Value = std::optional<std::vector<std::byte>>;
    if (column == nullptr) {
        return Value();
    }
    if (column->type != column_type::kBinary && column->type != column_type::kOle) {
        return corruption(row.origin(), 0,
                          "column " + column->name + " has type " + std::to_string(column->type) +
                              ", binary data expected");
    }
    JET_ASSIGN_OR_RETURN(const std::optional<Bytes> bytes, row.value(*column));
    if (!bytes) {
        return Value();
    }
    if (column->type == column_type::kBinary) {
        return Value(std::vector<std::byte>(bytes->begin(), bytes->end()));
    }
    JET_ASSIGN_OR_RETURN(std::vector<std::byte> data, longValue(row, *bytes));
    return Value(std::move(data));
}

}  // namespace zl::schema::jet
