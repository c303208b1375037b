// Placeholder until the query rebuilder lands: reports that the text cannot be rebuilt.
#include "schema/jet/query_sql.h"

#include "schema/engine.h"

namespace zl::schema::jet {

std::string rebuildQuerySql(const std::vector<QueryRow>&) {
    throw EngineError("Rebuilding the SQL text of saved queries is not available yet");
}

}  // namespace zl::schema::jet
