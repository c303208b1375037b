// Reading the system table of relationships (MSysRelationships) as DAO's Database.Relations.
#pragma once

#include <cstdint>
#include <vector>

#include "schema/engine.h"
#include "schema/jet/page_reader.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// Every relationship of the table defined at `tablePage`, one per name (its rows are its key
// columns), sorted like the table listing, fields in key order. A missing column or a damaged
// row is Corrupt.
Result<std::vector<Relation>> readRelations(PageReader& reader, const JetFormat& format,
                                            const TextDecoder& text, std::uint32_t tablePage);

}  // namespace zl::schema::jet
