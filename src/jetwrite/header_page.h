// Builds page 0, the database header: signature, format version, and the masked area that holds
// code page, encryption key, password and sort order.
#pragma once

#include <span>

#include "jetwrite/database_description.h"

namespace zl::jetwrite {

// Fills `page` (4 KiB, zero-filled) with the header of an unencrypted Jet 4 database without a
// password, sorted by `collatingOrder`, created at `created`.
void writeHeaderPage(std::span<std::byte> page, int collatingOrder, const DateTime& created);

}  // namespace zl::jetwrite
