// Constants of the Jet 4 page format that the writer produces; the layout of each structure is
// described beside the code that writes it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zl::jetwrite::jet {

inline constexpr std::size_t kPageSize = 4096;

// First byte of every page.
enum class PageType : std::uint8_t {
    Header = 0x00,
    Data = 0x01,
    TableDefinition = 0x02,
    IndexNode = 0x03,
    IndexLeaf = 0x04,
    UsageBitmap = 0x05,
};

// Column type codes of the table definition.
enum class ColumnType : std::uint8_t {
    Boolean = 0x01,
    Byte = 0x02,
    Integer = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Single = 0x06,
    Double = 0x07,
    Date = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    LongBinary = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
    Numeric = 0x10,
    BigInt = 0x13,
    ExtendedDate = 0x14,  // 42 bytes of ASCII digits
};

// Data pages: 14-byte header, then the row offset table growing up, rows growing down.
inline constexpr std::size_t kDataPageHeaderSize = 14;
inline constexpr std::size_t kDataPageRowCountOffset = 12;
inline constexpr std::size_t kMaxRowsPerDataPage = 255;  // the row number is one byte
inline constexpr std::size_t kMaxRowSize = 4060;

// Long value (memo, long binary) storage.
inline constexpr std::size_t kMaxInlineLongValue = 64;     // larger values go to LVAL pages
inline constexpr std::size_t kMaxLongValueRowSize = 4076;  // one LVAL row, pointer included
inline constexpr std::uint8_t kLongValueInline = 0x80;
inline constexpr std::uint8_t kLongValueSingleRow = 0x40;
inline constexpr std::uint8_t kLongValueChain = 0x00;

// Table definition pages.
inline constexpr std::size_t kTdefPageHeaderSize = 8;  // type, 0x01, free space, next page
inline constexpr std::uint32_t kTableMagic = 1625;     // constant seen in every table definition
inline constexpr std::uint32_t kIndexMagic = 1923;     // constant seen in every physical index
inline constexpr std::uint8_t kUserTable = 0x4E;
inline constexpr std::uint8_t kSystemTable = 0x53;

// Column flags in the table definition.
inline constexpr std::uint8_t kColumnFixed = 0x01;
inline constexpr std::uint8_t kColumnUpdatable = 0x02;  // set on every column Access writes
inline constexpr std::uint8_t kColumnAutoNumber = 0x04;
inline constexpr std::uint8_t kColumnSystem = 0x10;  // seen on the columns of system tables
inline constexpr std::uint8_t kColumnHyperlink = 0x80;
inline constexpr std::uint16_t kGeneralSortOrder = 1033;

// Physical index flags.
inline constexpr std::uint8_t kIndexUnique = 0x01;
inline constexpr std::uint8_t kIndexIgnoreNulls = 0x02;
inline constexpr std::uint8_t kIndexRequired = 0x08;
inline constexpr std::uint8_t kIndexAlwaysSet = 0x80;  // on every index since Access 2000
inline constexpr std::uint8_t kIndexColumnAscending = 0x01;
inline constexpr std::uint16_t kUnusedIndexColumn = 0xFFFF;

// Logical index kinds.
inline constexpr std::uint8_t kIndexKindNormal = 0x00;
inline constexpr std::uint8_t kIndexKindPrimary = 0x01;
inline constexpr std::uint8_t kIndexKindForeign = 0x02;

// Index pages: header, entry-end bitmask, entries from offset 0x1E0.
inline constexpr std::size_t kIndexPrefixLengthOffset = 24;
inline constexpr std::size_t kIndexMaskOffset = 27;
inline constexpr std::size_t kIndexEntriesOffset = 480;
inline constexpr std::size_t kIndexEntryCapacity = kPageSize - kIndexEntriesOffset;

// Usage maps: a 69-byte row on a data page; inline bitmaps or references to bitmap pages.
inline constexpr std::size_t kUsageMapRowSize = 69;
inline constexpr std::uint8_t kUsageMapInline = 0x00;
inline constexpr std::uint8_t kUsageMapReference = 0x01;
inline constexpr std::size_t kInlineMapPages = (kUsageMapRowSize - 5) * 8;
inline constexpr std::size_t kBitmapPagePages = (kPageSize - 4) * 8;
inline constexpr std::size_t kReferenceMapSlots = (kUsageMapRowSize - 1) / 4;

// Property blobs in MSysObjects.LvProp.
inline constexpr std::uint16_t kPropertyNames = 0x80;
inline constexpr std::uint16_t kPropertyObjectBlock = 0x00;
inline constexpr std::uint16_t kPropertyColumnBlock = 0x01;

}  // namespace zl::jetwrite::jet
