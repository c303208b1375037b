// The layout constants that differ between Jet 3 and Jet 4/ACE files (docs/jet-format.md).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zl::schema::jet {

// The engine generation that wrote a file, from header byte 0x14.
enum class JetVersion {
    Jet3,  // Access 97: 2 KB pages, texts in the file's code page
    Jet4,  // Access 2000-2003: 4 KB pages, UCS-2 texts
    Ace,   // Access 2007-2019: Jet 4 layout plus complex columns and new types
};

// Offsets and sizes of one generation. Every offset is from the start of its structure.
struct JetFormat {
    JetVersion version;
    std::size_t pageSize;

    // Data page: OFFSET SIZE DESCRIPTION
    //   0x00  1  page type 0x01
    //   0x02  2  free space
    //   0x04  4  owning table definition page
    //   rowCountOffset  2  number of rows; then one 2-byte offset per row
    std::size_t rowCountOffset;

    // Table definition (after the pages are joined), see docs/jet-format.md.
    std::size_t tdefTableType;
    std::size_t tdefMaxColumns;
    std::size_t tdefVarColumns;
    std::size_t tdefColumnCount;
    std::size_t tdefLogicalIndexCount;
    std::size_t tdefPhysicalIndexCount;
    std::size_t tdefOwnedPages;
    std::size_t tdefIndexCountBlock;     // per physical index: row count block
    std::size_t indexCountEntrySize;     // size of one entry of that block
    std::size_t columnEntrySize;         // one column descriptor
    std::size_t physicalIndexEntrySize;  // one physical index descriptor
    std::size_t logicalIndexEntrySize;   // one logical index descriptor
    std::size_t nameLengthSize;          // 1 (Jet 3) or 2 bytes before each name

    // Column descriptor fields.
    std::size_t colType;
    std::size_t colNumber;
    std::size_t colVarIndex;
    std::size_t colFlags;
    std::size_t colExtFlags;   // SIZE_MAX when the generation has none
    std::size_t colComplexId;  // 4 bytes, complex columns only; SIZE_MAX before ACE
    std::size_t colPrecision;  // Decimal columns: precision byte, then scale byte
    std::size_t colFixedOffset;
    std::size_t colLength;

    // Physical index descriptor: bytes before the key columns, and before the flags byte.
    std::size_t physicalKeyColumnsOffset;
    std::size_t physicalFlagsOffset;
    // Logical index descriptor: bytes before the index number.
    std::size_t logicalNumberOffset;

    // Rows: width of the column count and of each variable-column offset.
    std::size_t rowCountWidth;

    bool isJet3() const { return version == JetVersion::Jet3; }
};

// The constants of a generation.
const JetFormat& formatFor(JetVersion version);

}  // namespace zl::schema::jet
