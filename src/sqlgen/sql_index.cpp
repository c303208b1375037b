// Index statements, key constraints, index column lists and views.
#include "sqlgen/sql_index.h"

#include "schema/engine.h"
#include "sqlgen/sql_table.h"
#include "support/encoding.h"
#include "support/text.h"

namespace zl::sqlgen {

namespace {

std::string_view trimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string CreateIndexStatement(SqlDialect dialect, const schema::Index& index,
                                 std::string_view tableName) {
    std::string text = "CREATE ";
    if (index.unique) text.append("UNIQUE ");
    if (dialect == SqlDialect::SqlServer && index.primary) text.append("CLUSTERED ");
    text.append("INDEX ").append(QuoteSqlName(dialect, index.name));
    text.append(" ON ").append(QuoteSqlName(dialect, tableName));
    text.append(" (").append(IndexFieldList(dialect, index.fields)).append(") ");
    if (dialect == SqlDialect::MsAccess) {
        // The index's own ignore-nulls flag is not what decides here: every index that is
        // neither primary nor required is written with IGNORE NULL.
        if (index.primary) {
            text.append("WITH PRIMARY");
        } else if (index.required) {
            text.append("WITH DISALLOW NULL");
        } else {
            text.append("WITH IGNORE NULL");
        }
    }
    text.append(";");
    return text;
}

std::string KeyConstraint(SqlDialect dialect, const schema::Index& index) {
    std::string text = "CONSTRAINT " + QuoteSqlName(dialect, index.name) + " ";
    text.append(index.primary ? "PRIMARY KEY CLUSTERED " : "UNIQUE ");
    text.append(" (").append(IndexFieldList(dialect, index.fields)).append(") ");
    return text;
}

std::string IndexFieldList(SqlDialect dialect, std::string_view storedFields) {
    std::string list;
    std::string_view rest = storedFields;
    while (!trimBlanks(rest).empty()) {
        std::string_view token = trimBlanks(support::SplitAt(rest, ";"));
        if (token.empty()) continue;
        std::string_view direction = "Asc";
        if (token.front() == '+' || token.front() == '-') {
            if (token.front() == '-') direction = "Desc";
            token.remove_prefix(1);
        }
        list.append(QuoteSqlName(dialect, token)).append(" ").append(direction);
        if (!trimBlanks(rest).empty()) list.append(",");
    }
    return list;
}

std::string CreateViewStatement(SqlDialect dialect, const schema::Database& db,
                                const std::string& queryDefName) {
    std::string sql = db.queryDef(queryDefName)->sql();
    return "CREATE VIEW " + QuoteSqlName(dialect, queryDefName) + " AS " +
           support::controlsToSpacesKeepingLineBreaks(sql) + "\r\n";
}

}  // namespace zl::sqlgen
