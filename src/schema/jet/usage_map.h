// Usage maps: the bitmaps that list the pages a table owns.
#pragma once

#include <cstdint>
#include <vector>

#include "schema/jet/jet_format.h"
#include "schema/jet/page_reader.h"

namespace zl::schema::jet {

// Reads the usage map stored in the row that `reference` points to (1 byte row, 3 bytes
// page) and returns the pages it marks, ascending. Both kinds are read: an inline map (type 0:
// start page and bitmap in the row) and a reference map (type 1: page numbers of bitmap pages
// of type 0x05). A page past the end of the file, an unknown map type or a bitmap page of the
// wrong type is corruption.
Result<std::vector<std::uint32_t>> readUsageMap(PageReader& reader, const JetFormat& format,
                                                std::uint32_t reference);

}  // namespace zl::schema::jet
