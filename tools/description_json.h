// Reads a database description from its JSON form (docs/database-description.md).
#pragma once

#include <filesystem>
#include <string_view>

#include "jetwrite/database_description.h"

namespace zl::jetwrite {

// Parses the JSON text of a description. Throws WriteError with the JSON path of the first
// problem ("tables[2].fields[0].type: unknown type \"Txt\"").
DatabaseDescription parseDescriptionJson(std::string_view text);

// Reads and parses the description file at `path`. Throws WriteError.
DatabaseDescription readDescriptionFile(const std::filesystem::path& path);

}  // namespace zl::jetwrite
