// Builds the rows of the catalog (MSysObjects): containers, system tables, user tables,
// saved queries and relationships.
#pragma once

#include <cstdint>
#include <vector>

#include "jetwrite/database_description.h"
#include "jetwrite/page_file.h"

namespace zl::jetwrite {

// Catalog ids of the containers and of the first object that is not a table.
inline constexpr std::int32_t kRootId = 0x0F000000;
inline constexpr std::int32_t kTablesContainerId = 0x0F000001;
inline constexpr std::int32_t kDatabasesContainerId = 0x0F000002;
inline constexpr std::int32_t kRelationshipsContainerId = 0x0F000003;
inline constexpr std::int32_t kDatabaseObjectId = 0x10000000;  // MSysDb
inline constexpr std::uint32_t kFirstDocumentId = 0x80000008;  // queries and relationships

// Object types of the catalog.
inline constexpr std::int64_t kTypeTable = 1;
inline constexpr std::int64_t kTypeDatabase = 2;
inline constexpr std::int64_t kTypeContainer = 3;
inline constexpr std::int64_t kTypeQuery = 5;
inline constexpr std::int64_t kTypeRelationship = 8;

// The catalog id of the n-th query or relationship (queries first, then relationships).
std::int32_t documentId(std::size_t n);

// The catalog rows (one value per MSysObjects column). `tablePages` holds the definition page
// of every user table, which is also its id.
std::vector<std::vector<Value>> catalogRows(const DatabaseDescription& database,
                                            const std::vector<PageNumber>& tablePages);

// The property blob of a table: the table's own properties, then the properties of each field.
Bytes tablePropertyBlob(const TableDescription& table);

}  // namespace zl::jetwrite
