// Encodes one value of a data row into the bytes that a column of its type stores.
#pragma once

#include <string_view>

#include "jetwrite/byte_writer.h"
#include "jetwrite/database_description.h"
#include "jetwrite/table_schema.h"

namespace zl::jetwrite {

// True when `value` is NULL.
bool isNull(const Value& value);

// The truth value of a Boolean column's value (bool, or a nonzero number).
// Throws WriteError naming `where` for other kinds of values.
bool booleanValue(const Value& value, std::string_view where);

// The bytes of a non-NULL value for `column`: exactly column.length bytes for fixed columns,
// the text or binary bytes for variable ones, the raw payload for memo and long binary.
// Throws WriteError naming `where` when the value does not fit the column.
Bytes encodeValue(const ColumnLayout& column, const Value& value, std::string_view where);

// Days since 1899-12-30 with the time as fraction, as a Date column stores it.
double dateToDays(const DateTime& date);

}  // namespace zl::jetwrite
