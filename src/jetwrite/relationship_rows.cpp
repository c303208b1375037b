// MSysRelationships columns: szRelationship, grbit, ccolumn (field count), icolumn (field
// position), szObject and szColumn (the "many" side), szReferencedObject and szReferencedColumn
// (the "one" side).
#include "jetwrite/relationship_rows.h"

#include "jetwrite/description_checker.h"

namespace zl::jetwrite {

std::vector<std::vector<Value>> relationshipRows(
    const std::vector<RelationshipDescription>& relationships) {
    std::vector<std::vector<Value>> rows;
    for (const RelationshipDescription& relationship : relationships) {
        std::int64_t grbit = 0;
        if (!relationship.enforce) grbit |= kRelationDontEnforce;
        if (relationship.cascadeUpdates) grbit |= kRelationUpdateCascade;
        if (relationship.cascadeDeletes) grbit |= kRelationDeleteCascade;
        if (relationship.oneToOne) grbit |= kRelationUnique;
        if (relationship.cascadeToNull) grbit |= kRelationDeleteSetNull;
        if (relationship.leftJoin) grbit |= kRelationLeft;
        if (relationship.rightJoin) grbit |= kRelationRight;
        const auto count = static_cast<std::int64_t>(relationship.fields.size());
        for (std::int64_t i = 0; i < count; ++i) {
            const auto& pair = relationship.fields[static_cast<std::size_t>(i)];
            rows.push_back({relationshipName(relationship), grbit, count, i,
                            relationship.foreignTable, pair.foreignField, relationship.primaryTable,
                            pair.primaryField});
        }
    }
    return rows;
}

}  // namespace zl::jetwrite
