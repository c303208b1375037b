// Builds the rows of the system table of relationships (MSysRelationships).
#pragma once

#include <cstdint>
#include <vector>

#include "jetwrite/database_description.h"

namespace zl::jetwrite {

// Relationship attribute bits ("grbit"), as DAO numbers them.
inline constexpr std::int64_t kRelationDontEnforce = 0x00000002;
inline constexpr std::int64_t kRelationUpdateCascade = 0x00000100;
inline constexpr std::int64_t kRelationDeleteCascade = 0x00001000;
inline constexpr std::int64_t kRelationUnique = 0x00000001;
inline constexpr std::int64_t kRelationDeleteSetNull = 0x00002000;
inline constexpr std::int64_t kRelationLeft = 0x01000000;
inline constexpr std::int64_t kRelationRight = 0x02000000;

// One row per field pair of every relationship, in description order.
std::vector<std::vector<Value>> relationshipRows(
    const std::vector<RelationshipDescription>& relationships);

}  // namespace zl::jetwrite
