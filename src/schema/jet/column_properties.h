// The stored properties of a table's columns, including those that multi-value columns keep on
// their hidden flat table.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "schema/jet/catalog.h"
#include "schema/jet/property_map.h"
#include "schema/jet/read_context.h"
#include "schema/jet/table_definition.h"

namespace zl::schema::jet {

// Reads the property blob of `entry` (a local table): the table's own properties and each
// column's, keeping only those the engine reports. For a complex column, the properties of the
// "value" column of its flat table (found through MSysComplexColumns) are added where the
// column has none of its own. Damage is Corrupt.
Result<PropertySet> readTableProperties(const ReadContext& context,
                                        const std::vector<CatalogEntry>& catalog,
                                        const CatalogEntry& entry, const TableDefinition& table);

// Decodes the property blob of a catalog entry (an empty set when it has none), keeping only
// the properties named in `only` (all when empty).
Result<PropertySet> readPropertySet(const ReadContext& context, const CatalogEntry& entry,
                                    std::span<const std::string_view> only = {});

}  // namespace zl::schema::jet
