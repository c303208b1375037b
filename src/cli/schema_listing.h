// Prints the schema of an open database as the engine reports it: for people, or as JSON.
#pragma once

#include <iosfwd>

namespace zl::schema {
class Database;
}

namespace zl::cli {

// JSON with the keys name, collatingOrder, listing, tables, queries and relations. Without
// `includeSystem` system objects are left out of the listing, the queries and the relations;
// tables never hold system tables. A QueryDef that cannot be opened is listed with an "error"
// member in place of "sql" and reported on `err`; the result is then false. Other engine
// errors pass to the caller.
bool writeJsonListing(std::ostream& out, std::ostream& err, const schema::Database& db,
                      bool includeSystem);

// The same content laid out for reading: entries in listing order, each table with its fields
// (type name, size, flags) and indexes, each QueryDef with its SQL (or why it cannot be read,
// also reported on `err`; the result is then false).
bool writePlainListing(std::ostream& out, std::ostream& err, const schema::Database& db,
                       bool includeSystem);

}  // namespace zl::cli
