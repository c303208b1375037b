// Table definition decoding.
//
// Table-definition page: OFFSET SIZE DESCRIPTION
//   0x00 1  page type 0x02
//   0x01 1  unknown
//   0x02 2  "VC" (Jet 3) or free space (Jet 4)
//   0x04 4  next table-definition page (0 = last); its bytes from 0x08 on continue this one
// The joined definition (Jet 3 / Jet 4 offsets):
//   0x08      0x08      4  length of the definition
//   0x0C      0x10      4  number of rows
//   0x14      0x28      1  table type: 0x4E user, 0x53 system
//   0x15      0x29      2  highest column number + 1 (deleted columns included)
//   0x17      0x2B      2  number of variable-length columns
//   0x19      0x2D      2  number of columns
//   0x1B      0x2F      4  number of logical indexes
//   0x1F      0x33      4  number of physical indexes
//   0x23      0x37      4  usage map of the data pages (row pointer)
//   0x27      0x3B      4  usage map of pages with free space
//   0x2B      0x3F      8/12 per physical index: row counts (unused here)
//   then columns (18/25 bytes each), column names, physical indexes (39/52 bytes each),
//   logical indexes (20/28 bytes each), logical index names; details in docs/jet-format.md.
#include "schema/jet/table_definition.h"

#include <set>

#include "schema/jet/data_page.h"
#include "support/text.h"

namespace zl::schema::jet {
namespace {

constexpr std::size_t kNextPageOffset = 4;
constexpr std::size_t kContinuationHeader = 8;
// Access itself stops at 255 columns, but other writers go further and the column count field
// is 16 bits wide; the entry checks below keep a damaged count from reaching past the data.
constexpr std::size_t kMaxColumns = 4096;
constexpr std::size_t kKeyColumnSlots = 10;
constexpr std::uint16_t kUnusedKeyColumn = 0xFFFF;
constexpr std::uint8_t kAscendingKey = 0x01;
// The largest definition Access can write (255 columns with long names, dozens of indexes)
// needs some 20 pages; the cap keeps a damaged chain from filling memory.
constexpr std::size_t kMaxDefinitionPages = 256;

// Checks that `count` entries of `entrySize` bytes are left.
Status requireEntries(const ByteCursor& cursor, std::size_t countOffset, std::uint64_t count,
                      std::size_t entrySize, const char* what) {
    if (count > cursor.remaining() / entrySize) {
        return cursor.failAt(countOffset, std::string(what) + " count " + std::to_string(count) +
                                              " needs " + std::to_string(count * entrySize) +
                                              " bytes, only " + std::to_string(cursor.remaining()) +
                                              " left");
    }
    return {};
}

std::string readName(ByteCursor& cursor, const JetFormat& format, const TextDecoder& text) {
    const std::size_t length =
        format.nameLengthSize == 1 ? cursor.u8("name length") : cursor.u16("name length");
    return text.name(cursor.bytes(length, "name"));
}

ColumnDef readColumn(ByteCursor& cursor, const JetFormat& format) {
    const Bytes entry = cursor.bytes(format.columnEntrySize, "column descriptor");
    ColumnDef column;
    if (entry.empty()) {
        return column;
    }
    column.type = std::to_integer<std::uint8_t>(entry[format.colType]);
    column.number = loadU16(entry, format.colNumber);
    column.varIndex = loadU16(entry, format.colVarIndex);
    column.flags = std::to_integer<std::uint8_t>(entry[format.colFlags]);
    if (format.colExtFlags != SIZE_MAX) {
        column.extFlags = std::to_integer<std::uint8_t>(entry[format.colExtFlags]);
    }
    column.fixedOffset = loadU16(entry, format.colFixedOffset);
    column.length = loadU16(entry, format.colLength);
    if (column.type == column_type::kNumeric) {
        column.precision = std::to_integer<std::uint8_t>(entry[format.colPrecision]);
        column.scale = std::to_integer<std::uint8_t>(entry[format.colPrecision + 1]);
    }
    if (column.type == column_type::kComplex && format.colComplexId != SIZE_MAX) {
        column.complexId = loadU32(entry, format.colComplexId);
    }
    return column;
}

Status readColumns(ByteCursor& cursor, const JetFormat& format, const TextDecoder& text,
                   std::size_t count, TableDefinition& table) {
    JET_TRY(
        requireEntries(cursor, format.tdefColumnCount, count, format.columnEntrySize, "column"));
    table.columns.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        table.columns.push_back(readColumn(cursor, format));
    }
    for (ColumnDef& column : table.columns) {
        column.name = readName(cursor, format, text);
    }
    return cursor.status();
}

Status readPhysicalIndexes(ByteCursor& cursor, const JetFormat& format, std::size_t count,
                           TableDefinition& table) {
    JET_TRY(requireEntries(cursor, format.tdefPhysicalIndexCount, count,
                           format.physicalIndexEntrySize, "physical index"));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t start = cursor.position();
        const Bytes entry = cursor.bytes(format.physicalIndexEntrySize, "index descriptor");
        JET_TRY(cursor.status());
        PhysicalIndexDef index;
        for (std::size_t slot = 0; slot < kKeyColumnSlots; ++slot) {
            const std::size_t at = format.physicalKeyColumnsOffset + slot * 3;
            const std::uint16_t number = loadU16(entry, at);
            if (number == kUnusedKeyColumn) {
                continue;
            }
            if (table.columnByNumber(number) == nullptr) {
                return cursor.failAt(start + at, "index key refers to column number " +
                                                     std::to_string(number) +
                                                     ", which the table does not have");
            }
            const bool ascending = std::to_integer<std::uint8_t>(entry[at + 2]) == kAscendingKey;
            index.keys.push_back({number, ascending});
        }
        index.flags = std::to_integer<std::uint8_t>(entry[format.physicalFlagsOffset]);
        table.physicalIndexes.push_back(std::move(index));
    }
    return {};
}

Status readLogicalIndexes(ByteCursor& cursor, const JetFormat& format, const TextDecoder& text,
                          std::size_t count, TableDefinition& table) {
    JET_TRY(requireEntries(cursor, format.tdefLogicalIndexCount, count,
                           format.logicalIndexEntrySize, "logical index"));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t start = cursor.position();
        const Origin entryOrigin = cursor.origin().shifted(start);
        ByteCursor entry(cursor.bytes(format.logicalIndexEntrySize), entryOrigin);
        entry.skip(format.logicalNumberOffset);
        LogicalIndexDef index;
        index.number = entry.i32("index number");
        index.physical = entry.u32("physical index number");
        entry.skip(1 + 4 + 4 + 1 + 1);  // related table kind, index and page; cascade flags
        index.kind = entry.u8("index kind");
        JET_TRY(entry.status());
        if (index.physical >= table.physicalIndexes.size()) {
            return cursor.failAt(start + format.logicalNumberOffset + 4,
                                 "logical index uses physical index " +
                                     std::to_string(index.physical) + ", the table has " +
                                     std::to_string(table.physicalIndexes.size()));
        }
        table.logicalIndexes.push_back(index);
    }
    for (LogicalIndexDef& index : table.logicalIndexes) {
        index.name = readName(cursor, format, text);
    }
    return cursor.status();
}

// Joins the definition pages into one buffer, recording where each piece came from.
Result<std::vector<std::byte>> joinPages(PageReader& reader, std::uint32_t first, Origin& origin) {
    std::vector<std::byte> joined;
    std::set<std::uint32_t> visited;
    std::uint32_t number = first;
    while (true) {
        JET_ASSIGN_OR_RETURN(PageData page, reader.page(number, "table definition page"));
        const Bytes bytes = bytesOf(page);
        const auto type = std::to_integer<std::uint8_t>(bytes[0]);
        if (type != kTableDefinitionPageType) {
            return corruption(
                Origin(number, 0), 0,
                "page type " + std::to_string(type) + ", expected a table definition page (2)");
        }
        visited.insert(number);
        const std::size_t skip = joined.empty() ? 0 : kContinuationHeader;
        origin.addSegment(number, skip, bytes.size() - skip);
        joined.insert(joined.end(), bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end());
        const std::uint32_t next = loadU32(bytes, kNextPageOffset);
        if (next == 0) {
            return joined;
        }
        if (visited.count(next) != 0) {
            return corruption(
                Origin(number, 0), kNextPageOffset,
                "table definition pages form a cycle back to page " + std::to_string(next));
        }
        if (visited.size() >= kMaxDefinitionPages) {
            return corruption(Origin(number, 0), kNextPageOffset,
                              "table definition continues past " +
                                  std::to_string(kMaxDefinitionPages) + " pages");
        }
        number = next;
    }
}

}  // namespace

const ColumnDef* TableDefinition::columnByNumber(std::uint16_t number) const {
    for (const ColumnDef& column : columns) {
        if (column.number == number) {
            return &column;
        }
    }
    return nullptr;
}

const ColumnDef* TableDefinition::columnByName(const std::string& name) const {
    for (const ColumnDef& column : columns) {
        if (support::equalsIgnoringAsciiCase(column.name, name)) {
            return &column;
        }
    }
    return nullptr;
}

Result<TableDefinition> parseTableDefinition(Bytes data, const Origin& origin,
                                             const JetFormat& format, const TextDecoder& text,
                                             std::uint32_t page) {
    ByteCursor cursor(data, origin);
    TableDefinition table;
    table.page = page;
    cursor.seek(format.tdefVarColumns, "table header");
    table.variableColumnCount = cursor.u16("variable column count");
    const std::size_t columnCount = cursor.u16("column count");
    const std::uint32_t logicalCount = cursor.u32("logical index count");
    const std::uint32_t physicalCount = cursor.u32("physical index count");
    table.ownedPages = cursor.u32("usage map");
    JET_TRY(cursor.status());
    if (columnCount > kMaxColumns) {
        return cursor.failAt(format.tdefColumnCount, "column count " + std::to_string(columnCount) +
                                                         " exceeds " + std::to_string(kMaxColumns));
    }
    cursor.seek(format.tdefIndexCountBlock, "index row counts");
    JET_TRY(requireEntries(cursor, format.tdefPhysicalIndexCount, physicalCount,
                           format.indexCountEntrySize, "physical index"));
    cursor.skip(static_cast<std::size_t>(physicalCount) * format.indexCountEntrySize);
    JET_TRY(readColumns(cursor, format, text, columnCount, table));
    JET_TRY(readPhysicalIndexes(cursor, format, physicalCount, table));
    JET_TRY(readLogicalIndexes(cursor, format, text, logicalCount, table));
    return table;
}

Result<TableDefinition> readTableDefinition(PageReader& reader, const JetFormat& format,
                                            const TextDecoder& text, std::uint32_t page) {
    // Most definitions fit their first page: it is decoded where it lies, without joining.
    JET_ASSIGN_OR_RETURN(PageData first, reader.page(page, "table definition page"));
    const Bytes firstBytes = bytesOf(first);
    if (std::to_integer<std::uint8_t>(firstBytes[0]) == kTableDefinitionPageType &&
        loadU32(firstBytes, kNextPageOffset) == 0) {
        return parseTableDefinition(firstBytes, Origin(page, 0), format, text, page);
    }
    Origin origin;
    JET_ASSIGN_OR_RETURN(const std::vector<std::byte> joined, joinPages(reader, page, origin));
    return parseTableDefinition(joined, origin, format, text, page);
}

}  // namespace zl::schema::jet
