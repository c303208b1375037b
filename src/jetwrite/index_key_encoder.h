// Encodes the key of an index entry from a row's values, in the byte order that makes entries
// sort correctly by plain byte comparison.
#pragma once

#include <string_view>
#include <vector>

#include "jetwrite/byte_writer.h"
#include "jetwrite/database_description.h"
#include "jetwrite/table_schema.h"

namespace zl::jetwrite {

// True when the writer can encode index keys for columns of `type` (numbers, dates, Booleans).
// Text, memo, binary, GUID and decimal keys are not supported over data rows.
bool isKeyTypeSupported(jet::ColumnType type);

// The entry key of `index` for `row` (one value per table column).
// Throws WriteError naming `where` for an unsupported key type or a value that does not fit.
Bytes encodeIndexKey(const PhysicalIndexLayout& index, const std::vector<ColumnLayout>& columns,
                     const std::vector<Value>& row, std::string_view where);

}  // namespace zl::jetwrite
