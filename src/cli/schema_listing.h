// Prints the schema of an open database as the engine reports it: for people, or as JSON.
#pragma once

#include <iosfwd>

namespace zl::schema {
class Database;
}

namespace zl::cli {

// JSON with the keys name, collatingOrder, listing, tables and queries. Without `includeSystem`
// system objects are left out of the listing and the queries; tables never hold system tables.
// Engine errors pass to the caller.
void writeJsonListing(std::ostream& out, const schema::Database& db, bool includeSystem);

// The same content laid out for reading: entries in listing order, each table with its fields
// (type name, size, flags) and indexes, each QueryDef with its SQL.
void writePlainListing(std::ostream& out, const schema::Database& db, bool includeSystem);

}  // namespace zl::cli
