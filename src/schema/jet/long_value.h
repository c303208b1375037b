// Long values (memo and OLE columns): stored in the row, in one row of another page, or in a
// chain of rows on long-value pages.
#pragma once

#include <cstddef>
#include <vector>

#include "schema/jet/byte_cursor.h"
#include "schema/jet/jet_format.h"
#include "schema/jet/page_reader.h"

namespace zl::schema::jet {

// Reads the value whose 12-byte reference (followed by the data when stored inline) is
// `field`. A value longer than `maxLength` bytes, or longer than the file, a chain that loops or
// ends early, or a row outside its page is Corrupt.
Result<std::vector<std::byte>> readLongValue(PageReader& reader, const JetFormat& format,
                                             Bytes field, const Origin& origin,
                                             std::size_t maxLength);

}  // namespace zl::schema::jet
