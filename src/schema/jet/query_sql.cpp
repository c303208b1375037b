// Rebuilds QueryDef.SQL from a saved query's rows: the statement's lines framed by the
// PARAMETERS declaration, the OWNERACCESS option and the closing ";".
#include "schema/jet/query_sql.h"

#include <map>

#include "schema/jet/origin.h"
#include "schema/jet/query_names.h"
#include "schema/jet/query_row_set.h"
#include "schema/jet/query_statement.h"

namespace zl::schema::jet {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Parameter data types by DAO type number, as the PARAMETERS declaration names them.
const std::map<int, std::string_view>& parameterTypes() {
    static const std::map<int, std::string_view> kTypes = {
        {0, "Value"},    {1, "Bit"},         {2, "Byte"},       {3, "Short"},    {4, "Long"},
        {5, "Currency"}, {6, "IEEESingle"},  {7, "IEEEDouble"}, {8, "DateTime"}, {9, "Binary"},
        {10, "Text"},    {11, "LongBinary"}, {12, "LongText"},  {15, "Guid"},
    };
    return kTypes;
}

constexpr int kTextParameter = 10;

std::string parameterDeclaration(const QueryRowSet& rows, const QueryRow& parameter) {
    const std::string& name = rows.text(parameter.name1, "the name (Name1) of a Parameter row");
    const int type = rows.flag(parameter, "a Parameter row");
    const auto found = parameterTypes().find(type);
    if (found == parameterTypes().end()) {
        rows.fail("the parameter \"" + name + "\" has data type " + std::to_string(type) +
                  ", which a PARAMETERS declaration cannot name");
    }
    std::string declaration = name + " " + std::string(found->second);
    if (type == kTextParameter && parameter.extra.value_or(0) > 0) {
        declaration += "(" + std::to_string(*parameter.extra) + ")";
    }
    return declaration;
}

// "PARAMETERS a Text, b Long;", or empty when the query declares none.
std::string parametersLine(const QueryRowSet& rows) {
    std::vector<std::string> declarations;
    for (const QueryRow& parameter : rows.rows(QueryAttribute::Parameter)) {
        declarations.push_back(parameterDeclaration(rows, parameter));
    }
    return declarations.empty() ? std::string() : "PARAMETERS " + joined(declarations) + ";";
}

// Pass-through and data-definition queries keep their text whole; Access stores it with a
// trailing NUL, which is no part of the SQL.
std::string storedText(const QueryRowSet& rows) {
    std::string text = rows.text(rows.typeRow().expression, "the SQL text (Expression)");
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    if (!text.ends_with(kLineEnd)) {
        text += kLineEnd;
    }
    return text;
}

std::string rebuildText(const QueryRowSet& filed) {
    if (filed.kind() == QueryKind::PassThrough || filed.kind() == QueryKind::DataDefinition) {
        return storedText(filed);
    }
    std::vector<std::string> lines;
    const std::string parameters = parametersLine(filed);
    if (!parameters.empty()) {
        lines.push_back(parameters);
    }
    for (std::string& line : rebuildStatementLines(filed)) {
        lines.push_back(std::move(line));
    }
    if (filed.hasFlag(kFlagOwnerAccess)) {
        lines.emplace_back("WITH OWNERACCESS OPTION");
    }
    return joined(lines, kLineEnd) + ";" + std::string(kLineEnd);
}

}  // namespace

Result<SavedQuery> rebuildSavedQuery(const std::vector<QueryRow>& rows, std::int32_t catalogFlags) {
    const std::optional<QueryKind> catalogKind =
        kindOfDaoQueryType(catalogFlags & kCatalogQueryTypeMask);
    try {
        const QueryRowSet filed(rows, catalogKind.value_or(QueryKind::Select));
        SavedQuery query;
        query.type = catalogKind && *catalogKind != QueryKind::Select ? daoQueryType(*catalogKind)
                                                                      : daoQueryType(filed.kind());
        query.sql = rebuildText(filed);
        return query;
    } catch (const QueryRowsDamage& damage) {
        if (damage.page == kNoPage) return corruption(damage.what);
        return corruption(Origin(damage.page, damage.offset), 0, damage.what);
    }
}

Result<std::string> rebuildQuerySql(const std::vector<QueryRow>& rows) {
    JET_ASSIGN_OR_RETURN(SavedQuery query, rebuildSavedQuery(rows, 0));
    return std::move(query.sql);
}

}  // namespace zl::schema::jet
