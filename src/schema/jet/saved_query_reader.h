// Reading the system table of saved queries (MSysQueries): its rows grouped by query.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "schema/jet/page_reader.h"
#include "schema/jet/query_row.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// The rows of each query (by ObjectId), in stored order. A row whose columns cannot be decoded
// is kept as its error, so that only its own query fails.
using SavedQueryRows = std::map<std::int32_t, std::vector<Result<QueryRow>>>;

// Reads every row of the saved-query table defined at `tablePage`. Damage to the table itself,
// or to a row's ObjectId, is Corrupt.
Result<SavedQueryRows> readSavedQueryRows(PageReader& reader, const JetFormat& format,
                                          const TextDecoder& text, std::uint32_t tablePage);

// The rows of the query `objectId` (none when it has no rows), or the first row's error.
Result<std::vector<QueryRow>> rowsOfQuery(const SavedQueryRows& rows, std::int32_t objectId);

}  // namespace zl::schema::jet
