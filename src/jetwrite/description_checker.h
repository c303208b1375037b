// Checks a database description before anything is written, so that a description the writer
// cannot store fails with a message naming the object, not with a broken file.
#pragma once

#include <string>

#include "jetwrite/database_description.h"

namespace zl::jetwrite {

// Throws WriteError naming the first problem: an empty, too long or duplicate name, a field
// size or type option out of range, an index over unknown fields or with more than 10 of them,
// several primary indexes, a relationship or query naming unknown tables.
void checkDescription(const DatabaseDescription& database);

// The relationship's name, or primary table + foreign table when it has none (as Access names
// relationships).
std::string relationshipName(const RelationshipDescription& relationship);

}  // namespace zl::jetwrite
