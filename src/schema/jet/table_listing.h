// Database.ListTables: the listed catalog entries as rows, in DAO's order.
#pragma once

#include <string>
#include <vector>

#include "schema/engine.h"
#include "schema/jet/catalog.h"

namespace zl::schema::jet {

// True when `left` sorts before `right`: A-Z compared as a-z, then by code point.
bool listingOrder(const std::string& left, const std::string& right);

// One row per listed entry (tables, links, queries) with the catalog type and flags, sorted by
// listingOrder.
std::vector<TableListRow> buildListing(const std::vector<CatalogEntry>& catalog);

}  // namespace zl::schema::jet
