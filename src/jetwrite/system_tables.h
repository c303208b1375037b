// The four system tables every database has: the catalog, access control entries, saved queries
// and relationships.
#pragma once

#include "jetwrite/table_schema.h"

namespace zl::jetwrite {

// Definition pages of the system tables; readers find the catalog at page 2.
inline constexpr PageNumber kCatalogPage = 2;
inline constexpr PageNumber kAccessControlPage = 3;
inline constexpr PageNumber kQueriesPage = 4;
inline constexpr PageNumber kRelationshipsPage = 5;

TableSchema catalogSchema();        // MSysObjects
TableSchema accessControlSchema();  // MSysACEs
TableSchema queriesSchema();        // MSysQueries
TableSchema relationshipsSchema();  // MSysRelationships

// Column positions of MSysObjects.
namespace catalog {
inline constexpr std::size_t kId = 0;
inline constexpr std::size_t kParentId = 1;
inline constexpr std::size_t kName = 2;
inline constexpr std::size_t kType = 3;
inline constexpr std::size_t kDateCreate = 4;
inline constexpr std::size_t kDateUpdate = 5;
inline constexpr std::size_t kFlags = 7;
inline constexpr std::size_t kLvProp = 14;
inline constexpr std::size_t kColumnCount = 17;
}  // namespace catalog

// Column positions of MSysQueries.
namespace queries {
inline constexpr std::size_t kObjectId = 0;
inline constexpr std::size_t kAttribute = 1;
inline constexpr std::size_t kOrder = 2;
inline constexpr std::size_t kName1 = 3;
inline constexpr std::size_t kName2 = 4;
inline constexpr std::size_t kExpression = 5;
inline constexpr std::size_t kFlag = 6;
inline constexpr std::size_t kLvExtra = 7;
inline constexpr std::size_t kColumnCount = 8;
}  // namespace queries

}  // namespace zl::jetwrite
