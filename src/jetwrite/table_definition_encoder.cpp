// Table definition layout, in order: header, per-physical-index counts, column blocks, column
// names, physical index blocks, logical index blocks, logical index names, usage maps of the
// long-value columns, and a 0xFFFF end marker. A definition longer than a page continues on
// further definition pages after their 8-byte page header.
//
// Header:
//   OFFSET SIZE DESCRIPTION
//   0      1    page type 0x02
//   1      1    0x01
//   2      2    free space of this page, less 8
//   4      4    next definition page (0 = none)
//   8      4    length of the whole definition
//   12     4    1625, constant
//   16     4    number of rows
//   20     4    last AutoNumber value given out
//   24     1    1 (Access needs it for AutoNumber to work); 15 unknown bytes follow
//   40     1    0x4E user table, 0x53 system table
//   41     2    most columns a row has; 43: variable columns; 45: columns
//   47     4    logical indexes; 51: physical indexes
//   55     4    usage map of the data pages (row number in the low byte, page above it)
//   59     4    usage map of the data pages with free space
// Column block (25 bytes):
//   0 type, 1 1625, 5 column number, 7 slot in the variable offset table, 9 column number,
//   11 sort order 1033 and version (text) or precision and scale (decimal), 15 flags,
//   16 extra flags, 17 unknown, 21 offset in the fixed area, 23 length in bytes
// Physical index block (52 bytes):
//   0 1923, 4 ten (column number, 0x01 ascending) pairs with 0xFFFF for unused,
//   34 usage map of its pages, 38 root page, 42 unknown, 46 flags, 47 unknown
// Logical index block (28 bytes):
//   0 1625, 4 index number, 8 physical index, 12 side of a foreign key (1 one, 2 many),
//   13 related logical index (-1 none), 17 related table page, 21 cascade updates,
//   22 cascade deletes, 23 kind (0 normal, 1 primary key, 2 foreign key), 24 unknown
#include "jetwrite/table_definition_encoder.h"

#include <string>

#include "jetwrite/jet_format.h"
#include "jetwrite/utf16.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

constexpr std::size_t kLengthOffset = 8;
constexpr std::size_t kContinuationData = jet::kPageSize - jet::kTdefPageHeaderSize;
constexpr std::uint16_t kEndMarker = 0xFFFF;

void writeName(ByteWriter& out, const std::string& name) {
    const Bytes encoded = toUtf16le(name, "name \"" + name + "\"");
    out.u16(static_cast<std::uint16_t>(encoded.size()));
    out.bytes(encoded);
}

void writeHeader(ByteWriter& out, const TableSchema& schema, const TableDefinitionData& data) {
    out.u8(static_cast<std::uint8_t>(jet::PageType::TableDefinition));
    out.u8(0x01);
    out.u16(0);  // free space, set per page when written
    out.u32(0);  // next definition page, set when written
    out.u32(0);  // total length, patched at the end
    out.u32(jet::kTableMagic);
    out.u32(data.rowCount);
    out.u32(data.lastAutoNumber);
    out.u8(0x01);  // Access needs this set for AutoNumber fields to work
    out.zeros(15);
    out.u8(schema.system ? jet::kSystemTable : jet::kUserTable);
    out.u16(static_cast<std::uint16_t>(schema.columns.size()));  // most columns a row has
    out.u16(variableColumnCount(schema.columns));
    out.u16(static_cast<std::uint16_t>(schema.columns.size()));
    out.u32(static_cast<std::uint32_t>(schema.logicalIndexes.size()));
    out.u32(static_cast<std::uint32_t>(schema.physicalIndexes.size()));
    out.u32(data.ownedPagesMap);
    out.u32(data.freeSpaceMap);
}

void writeColumn(ByteWriter& out, const ColumnLayout& column, bool system) {
    out.u8(static_cast<std::uint8_t>(column.type));
    out.u32(jet::kTableMagic);
    out.u16(column.number);
    out.u16(column.fixed ? 0 : column.varIndex);
    out.u16(column.number);
    if (column.type == jet::ColumnType::Numeric) {
        out.u8(column.precision);
        out.u8(column.scale);
        out.u16(0);
    } else {
        out.u16(jet::kGeneralSortOrder);
        out.u16(0);  // sort order version 0: "General" of Access 2000-2007
    }
    std::uint8_t flags = jet::kColumnUpdatable;
    if (column.fixed) flags |= jet::kColumnFixed;
    if (column.autoNumber) flags |= jet::kColumnAutoNumber;
    if (column.hyperlink) flags |= jet::kColumnHyperlink;
    if (system) flags |= jet::kColumnSystem;
    out.u8(flags);
    out.u8(0);  // extra flags: texts are written without Unicode compression
    out.u32(0);
    out.u16(column.fixed ? column.fixedOffset : 0);
    out.u16(column.isLongValue() ? 0 : column.length);
}

void writePhysicalIndex(ByteWriter& out, const PhysicalIndexLayout& index,
                        const std::vector<ColumnLayout>& columns,
                        const TableDefinitionData::PhysicalIndex& data) {
    out.u32(jet::kIndexMagic);
    for (std::size_t slot = 0; slot < 10; ++slot) {
        if (slot < index.columns.size()) {
            out.u16(columns.at(index.columns[slot].column).number);
            out.u8(index.columns[slot].ascending ? jet::kIndexColumnAscending : 0);
        } else {
            out.u16(jet::kUnusedIndexColumn);
            out.u8(0);
        }
    }
    out.u32(data.usageMap);
    out.u32(data.root);
    out.u32(0);
    out.u8(index.flags);
    out.zeros(5);
}

void writeLogicalIndex(ByteWriter& out, const LogicalIndexLayout& index, std::uint32_t number,
                       const TableDefinitionData& data) {
    out.u32(jet::kTableMagic);
    out.u32(number);
    out.u32(index.physical);
    if (index.hasReference) {
        const ForeignReference& ref = index.reference;
        if (ref.otherTable >= data.tablePages.size())
            throw WriteError("foreign key to an unknown table");
        // The related table type says which side this table is on: 1 the "one" side, 2 "many".
        out.u8(ref.thisIsPrimarySide ? 0x01 : 0x02);
        out.u32(ref.otherIndex);
        out.u32(data.tablePages[ref.otherTable]);
        out.u8(ref.cascadeUpdates ? 1 : 0);
        out.u8(ref.cascadeDeletes ? 1 : 0);
    } else {
        out.u8(0);
        out.i32(-1);
        out.u32(0);
        out.u8(0);
        out.u8(0);
    }
    out.u8(index.kind);
    out.u32(0);
}

}  // namespace

Bytes encodeTableDefinition(const TableSchema& schema, const TableDefinitionData& data) {
    ByteWriter out;
    writeHeader(out, schema, data);
    for (std::size_t i = 0; i < schema.physicalIndexes.size(); ++i) {
        out.u32(0);
        out.u32(i < data.indexes.size() ? data.indexes[i].uniqueEntries : 0);
        out.u32(0);
    }
    for (const ColumnLayout& column : schema.columns) writeColumn(out, column, schema.system);
    for (const ColumnLayout& column : schema.columns) writeName(out, column.name);
    for (std::size_t i = 0; i < schema.physicalIndexes.size(); ++i) {
        const TableDefinitionData::PhysicalIndex empty;
        writePhysicalIndex(out, schema.physicalIndexes[i], schema.columns,
                           i < data.indexes.size() ? data.indexes[i] : empty);
    }
    for (std::size_t i = 0; i < schema.logicalIndexes.size(); ++i) {
        writeLogicalIndex(out, schema.logicalIndexes[i], static_cast<std::uint32_t>(i), data);
    }
    for (const LogicalIndexLayout& index : schema.logicalIndexes) writeName(out, index.name);
    for (const TableDefinitionData::LongValueMaps& maps : data.longValueMaps) {
        out.u16(maps.column);
        out.u32(maps.owned);
        out.u32(maps.freeSpace);
    }
    out.u16(kEndMarker);
    out.patchU32(kLengthOffset, static_cast<std::uint32_t>(out.size()));
    return out.take();
}

std::size_t tableDefinitionPageCount(std::size_t length) {
    if (length <= jet::kPageSize) return 1;
    return 1 + (length - jet::kPageSize + kContinuationData - 1) / kContinuationData;
}

void writeTableDefinitionPages(PageFile& file, const std::vector<PageNumber>& pages,
                               const Bytes& definition) {
    if (pages.size() != tableDefinitionPageCount(definition.size())) {
        throw std::logic_error("table definition page count mismatch");
    }
    const std::span<const std::byte> all(definition);
    std::size_t consumed = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        auto page = file.page(pages[i]);
        std::size_t start = 0;
        if (i > 0) {
            page[0] = std::byte{static_cast<std::uint8_t>(jet::PageType::TableDefinition)};
            page[1] = std::byte{0x01};
            start = jet::kTdefPageHeaderSize;
        }
        const std::size_t length = std::min(jet::kPageSize - start, all.size() - consumed);
        storeBytes(page, start, all.subspan(consumed, length));
        consumed += length;
        storeU32(page, 4, i + 1 < pages.size() ? pages[i + 1] : 0);
        // Free space is recorded less the 8 bytes of the page header, as Access does.
        const std::size_t freeBytes = jet::kPageSize - start - length;
        storeU16(page, 2, static_cast<std::uint16_t>(freeBytes >= 8 ? freeBytes - 8 : 0));
    }
}

}  // namespace zl::jetwrite
