// What an engine must report, in DAO terms, for a database written from a description: the
// table listing, every field with its properties, every index, the relations and query types.
#pragma once

#include <vector>

#include "jetwrite/database_description.h"
#include "schema/engine.h"

namespace zl::jetwrite::testing {

// Database.ListTables: the system tables, every table and every query, sorted by name with
// A-Z folded to a-z, then by code point.
std::vector<schema::TableListRow> expectedListing(const DatabaseDescription& database);

// TableDef.Fields of `table`, in field order.
std::vector<schema::Field> expectedFields(const TableDescription& table);

// TableDef.Indexes of table number `table`: its own indexes, then the foreign-key indexes the
// enforced relationships add, in the order they are created.
std::vector<schema::Index> expectedIndexes(const DatabaseDescription& database, std::size_t table);

// Database.Relations: one per relationship, sorted like the listing, fields in key order.
std::vector<schema::Relation> expectedRelations(const DatabaseDescription& database);

// QueryDef.Type of `query`.
int expectedQueryType(const QueryDescription& query);

}  // namespace zl::jetwrite::testing
