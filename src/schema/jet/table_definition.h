// A table's definition as stored on its table-definition pages: columns, physical indexes
// (the stored B-trees) and logical indexes (what the user sees, each using one physical index).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "schema/jet/byte_cursor.h"
#include "schema/jet/jet_format.h"
#include "schema/jet/page_reader.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// Column flag bits (byte `colFlags` of a column descriptor).
inline constexpr std::uint8_t kColumnFixed = 0x01;
inline constexpr std::uint8_t kColumnAutoNumber = 0x04;
inline constexpr std::uint8_t kColumnAutoGuid = 0x40;
inline constexpr std::uint8_t kColumnHyperlink = 0x80;
// Extended flag bits (Jet 4 and later).
inline constexpr std::uint8_t kColumnCompressedUnicode = 0x01;
inline constexpr std::uint8_t kColumnCalculated = 0xC0;

// On-disk column types the reader itself needs.
namespace column_type {
inline constexpr std::uint8_t kBoolean = 0x01;
inline constexpr std::uint8_t kByte = 0x02;
inline constexpr std::uint8_t kInteger = 0x03;
inline constexpr std::uint8_t kLong = 0x04;
inline constexpr std::uint8_t kCurrency = 0x05;
inline constexpr std::uint8_t kSingle = 0x06;
inline constexpr std::uint8_t kDouble = 0x07;
inline constexpr std::uint8_t kDateTime = 0x08;
inline constexpr std::uint8_t kBinary = 0x09;
inline constexpr std::uint8_t kText = 0x0A;
inline constexpr std::uint8_t kOle = 0x0B;
inline constexpr std::uint8_t kMemo = 0x0C;
inline constexpr std::uint8_t kGuid = 0x0F;
inline constexpr std::uint8_t kNumeric = 0x10;
inline constexpr std::uint8_t kComplex = 0x12;
inline constexpr std::uint8_t kBigInt = 0x13;
inline constexpr std::uint8_t kExtendedDate = 0x14;
}  // namespace column_type

struct ColumnDef {
    std::string name;
    std::uint8_t type = 0;
    std::uint16_t number = 0;       // position in rows and null masks (deleted ones leave gaps)
    std::uint16_t varIndex = 0;     // entry of the variable-offset table (variable columns)
    std::uint16_t fixedOffset = 0;  // offset in the fixed area (fixed columns)
    std::uint16_t length = 0;       // stored length in bytes
    std::uint8_t flags = 0;
    std::uint8_t extFlags = 0;
    std::uint32_t complexId = 0;    // complex columns (ACE): key into MSysComplexColumns
    std::uint8_t precision = 0;     // Decimal columns: digits in all
    std::uint8_t scale = 0;         // Decimal columns: digits after the point

    bool fixed() const { return (flags & kColumnFixed) != 0; }
    bool calculated() const { return (extFlags & kColumnCalculated) != 0; }
};

struct IndexKeyColumn {
    std::uint16_t columnNumber = 0;
    bool ascending = true;
};

// Physical index flag bits.
inline constexpr std::uint8_t kIndexUnique = 0x01;
inline constexpr std::uint8_t kIndexIgnoreNulls = 0x02;
inline constexpr std::uint8_t kIndexRequired = 0x08;

struct PhysicalIndexDef {
    std::vector<IndexKeyColumn> keys;
    std::uint8_t flags = 0;
};

// Logical index kinds.
inline constexpr std::uint8_t kIndexKindPrimary = 1;
inline constexpr std::uint8_t kIndexKindForeign = 2;

struct LogicalIndexDef {
    std::string name;
    std::int32_t number = 0;     // creation order; the order DAO lists indexes in
    std::uint32_t physical = 0;  // which physical index holds the keys
    std::uint8_t kind = 0;       // 0 normal, 1 primary key, 2 foreign key
};

struct TableDefinition {
    std::uint32_t page = 0;
    std::uint16_t variableColumnCount = 0;
    std::uint32_t ownedPages = 0;  // row pointer to the usage map of the data pages
    std::vector<ColumnDef> columns;             // in the order stored
    std::vector<PhysicalIndexDef> physicalIndexes;
    std::vector<LogicalIndexDef> logicalIndexes;  // in the order stored

    // The column with `number`, or nullptr.
    const ColumnDef* columnByNumber(std::uint16_t number) const;
    // The column named `name` (ASCII case ignored), or nullptr.
    const ColumnDef* columnByName(const std::string& name) const;
};

// Reads the definition starting at table-definition page `page`, following its continuation
// pages. Everything read is checked; a violation is Corrupt with page and offset.
Result<TableDefinition> readTableDefinition(PageReader& reader, const JetFormat& format,
                                            const TextDecoder& text, std::uint32_t page);

// Decodes a definition already joined into one buffer (`origin` maps offsets to pages).
Result<TableDefinition> parseTableDefinition(Bytes data, const Origin& origin,
                                             const JetFormat& format, const TextDecoder& text,
                                             std::uint32_t page);

}  // namespace zl::schema::jet
