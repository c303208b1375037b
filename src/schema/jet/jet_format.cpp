// Layout constants of Jet 3 and Jet 4/ACE.
//
// Column descriptor:        Jet 3  Jet 4  SIZE DESCRIPTION
//                           0x00   0x00   1    type
//                           0x01   0x05   2    column number
//                           0x03   0x07   2    variable index
//                           -      0x0B   4    complex id (ACE complex columns)
//                           0x0D   0x0F   1    flags
//                           -      0x10   1    extended flags
//                           0x0E   0x15   2    offset in the fixed area
//                           0x10   0x17   2    length
// Physical index:           0x00   0x04   30   10 key slots (column number, order byte)
//                           0x26   0x2E   1    flags
// Logical index:            0x00   0x04   4    index number, then physical index number (4),
//                                              relation (9 bytes), cascades (2), kind (1)
#include "schema/jet/jet_format.h"

#include <cstdint>

namespace zl::schema::jet {
namespace {

constexpr JetFormat kJet3{
    .version = JetVersion::Jet3,
    .pageSize = 2048,
    .rowCountOffset = 0x08,
    .tdefTableType = 0x14,
    .tdefMaxColumns = 0x15,
    .tdefVarColumns = 0x17,
    .tdefColumnCount = 0x19,
    .tdefLogicalIndexCount = 0x1B,
    .tdefPhysicalIndexCount = 0x1F,
    .tdefOwnedPages = 0x23,
    .tdefIndexCountBlock = 0x2B,
    .indexCountEntrySize = 8,
    .columnEntrySize = 18,
    .physicalIndexEntrySize = 39,
    .logicalIndexEntrySize = 20,
    .nameLengthSize = 1,
    .colType = 0,
    .colNumber = 1,
    .colVarIndex = 3,
    .colFlags = 13,
    .colExtFlags = SIZE_MAX,
    .colComplexId = SIZE_MAX,
    .colPrecision = 9,
    .colFixedOffset = 14,
    .colLength = 16,
    .physicalKeyColumnsOffset = 0,
    .physicalFlagsOffset = 38,
    .logicalNumberOffset = 0,
    .rowCountWidth = 1,
};

constexpr JetFormat kJet4{
    .version = JetVersion::Jet4,
    .pageSize = 4096,
    .rowCountOffset = 0x0C,
    .tdefTableType = 0x28,
    .tdefMaxColumns = 0x29,
    .tdefVarColumns = 0x2B,
    .tdefColumnCount = 0x2D,
    .tdefLogicalIndexCount = 0x2F,
    .tdefPhysicalIndexCount = 0x33,
    .tdefOwnedPages = 0x37,
    .tdefIndexCountBlock = 0x3F,
    .indexCountEntrySize = 12,
    .columnEntrySize = 25,
    .physicalIndexEntrySize = 52,
    .logicalIndexEntrySize = 28,
    .nameLengthSize = 2,
    .colType = 0,
    .colNumber = 5,
    .colVarIndex = 7,
    .colFlags = 15,
    .colExtFlags = 16,
    .colComplexId = SIZE_MAX,
    .colPrecision = 11,
    .colFixedOffset = 21,
    .colLength = 23,
    .physicalKeyColumnsOffset = 4,
    .physicalFlagsOffset = 46,
    .logicalNumberOffset = 4,
    .rowCountWidth = 2,
};

// ACE keeps the Jet 4 layout and adds the complex column id in the column descriptor.
constexpr JetFormat aceFormat(JetFormat format) {
    format.version = JetVersion::Ace;
    format.colComplexId = 11;
    return format;
}

constexpr JetFormat kAce = aceFormat(kJet4);

}  // namespace

const JetFormat& formatFor(JetVersion version) {
    switch (version) {
        case JetVersion::Jet3:
            return kJet3;
        case JetVersion::Jet4:
            return kJet4;
        case JetVersion::Ace:
            return kAce;
    }
    return kJet4;
}

}  // namespace zl::schema::jet
