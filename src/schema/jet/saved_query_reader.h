// Reading the rows of the system table of saved queries (MSysQueries) that describe one query.
#pragma once

#include <cstdint>
#include <vector>

#include "schema/jet/page_reader.h"
#include "schema/jet/query_row.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// All rows whose ObjectId is `objectId`, in stored order, from the table whose definition is
// at `tablePage`. Damage is Corrupt.
Result<std::vector<QueryRow>> readSavedQueryRows(PageReader& reader, const JetFormat& format,
                                                 const TextDecoder& text,
                                                 std::uint32_t tablePage,
                                                 std::int32_t objectId);

}  // namespace zl::schema::jet
