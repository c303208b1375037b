// How stored columns and indexes appear as DAO Field and Index values.
#pragma once

#include <cstdint>

#include "schema/engine.h"
#include "schema/jet/jet_format.h"
#include "schema/jet/property_map.h"
#include "schema/jet/table_definition.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// DAO's Field.Type for an on-disk type byte: the known types by DAO number, complex columns
// 101, anything else 256 + the byte.
int daoType(std::uint8_t diskType);

// The DAO Field of `column`, with Required, AllowZeroLength, DefaultValue, ValidationRule,
// ValidationText, Description and a calculated column's Expression from its stored properties
// (`properties` may be nullptr); Decimal fields with their precision and scale.
Field toDaoField(const ColumnDef& column, const PropertyMap* properties, const JetFormat& format,
                 const TextDecoder& text);

// The DAO Index of `logical`: kind from the logical index, keys and flags from the physical
// index behind it (which must exist in `table`).
Index toDaoIndex(const LogicalIndexDef& logical, const TableDefinition& table);

// A property value as text, as DAO shows DefaultValue and the like: texts decoded, whole
// numbers in decimal, anything else empty.
std::string propertyText(const PropertyMap* properties, const std::string& name,
                         const TextDecoder& text);

}  // namespace zl::schema::jet
