// Writes a Jet 4 database (an Access 2000-2003 .mdb file) from a description.
#pragma once

#include <filesystem>

#include "jetwrite/byte_writer.h"
#include "jetwrite/database_description.h"

namespace zl::jetwrite {

// The complete file image of `database`. Throws WriteError when the description cannot be
// written (see checkDescription, and unsupported index keys over data rows).
Bytes buildDatabase(const DatabaseDescription& database);

// Builds the database and saves it at `path` through a file beside it that is renamed over
// `path` when complete; on failure `path` is left as it was. Throws WriteError.
void writeDatabase(const DatabaseDescription& database, const std::filesystem::path& path);

}  // namespace zl::jetwrite
