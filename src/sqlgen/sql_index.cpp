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

void appendCreateIndexStatement(std::string& out, SqlDialect dialect, const schema::Index& index,
                                std::string_view tableName) {
    out.append("CREATE ");
    if (index.unique) out.append("UNIQUE ");
    if (dialect == SqlDialect::SqlServer && index.primary) out.append("CLUSTERED ");
    out.append("INDEX ");
    appendQuotedSqlName(out, dialect, index.name);
    out.append(" ON ");
    appendQuotedSqlName(out, dialect, tableName);
    out.append(" (");
    appendIndexFieldList(out, dialect, index.fields);
    out.append(") ");
    if (dialect == SqlDialect::MsAccess) {
        // The index's own ignore-nulls flag is not what decides here: every index that is
        // neither primary nor required is written with IGNORE NULL.
        if (index.primary) {
            out.append("WITH PRIMARY");
        } else if (index.required) {
            out.append("WITH DISALLOW NULL");
        } else {
            out.append("WITH IGNORE NULL");
        }
    }
    out.append(";");
}

std::string CreateIndexStatement(SqlDialect dialect, const schema::Index& index,
                                 std::string_view tableName) {
    std::string text;
    appendCreateIndexStatement(text, dialect, index, tableName);
    return text;
}

void appendKeyConstraint(std::string& out, SqlDialect dialect, const schema::Index& index) {
    out.append("CONSTRAINT ");
    appendQuotedSqlName(out, dialect, index.name);
    out.append(index.primary ? " PRIMARY KEY CLUSTERED " : " UNIQUE ");
    out.append(" (");
    appendIndexFieldList(out, dialect, index.fields);
    out.append(") ");
}

std::string KeyConstraint(SqlDialect dialect, const schema::Index& index) {
    std::string text;
    appendKeyConstraint(text, dialect, index);
    return text;
}

void appendIndexFieldList(std::string& out, SqlDialect dialect, std::string_view storedFields) {
    std::string_view rest = storedFields;
    while (!trimBlanks(rest).empty()) {
        std::string_view token = trimBlanks(support::SplitAt(rest, ";"));
        if (token.empty()) continue;
        std::string_view direction = " Asc";
        if (token.front() == '+' || token.front() == '-') {
            if (token.front() == '-') direction = " Desc";
            token.remove_prefix(1);
        }
        appendQuotedSqlName(out, dialect, token);
        out.append(direction);
        if (!trimBlanks(rest).empty()) out.append(",");
    }
}

std::string IndexFieldList(SqlDialect dialect, std::string_view storedFields) {
    std::string list;
    appendIndexFieldList(list, dialect, storedFields);
    return list;
}

std::string CreateViewStatement(SqlDialect dialect, const schema::Database& db,
                                const std::string& queryDefName) {
    std::string sql = db.queryDef(queryDefName)->sql();
    return "CREATE VIEW " + QuoteSqlName(dialect, queryDefName) + " AS " +
           support::controlsToSpacesKeepingLineBreaks(sql) + "\r\n";
}

}  // namespace zl::sqlgen
