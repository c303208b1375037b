// The JSON form of a saved query: clauses as members, columns and tables as texts or objects.
#include <string>

#include "json_values.h"

namespace zl::jetwrite {

namespace {

QueryKind kindNamed(const JsonNode& node) {
    static const std::pair<const char*, QueryKind> kNames[] = {
        {"select", QueryKind::Select},
        {"union", QueryKind::Union},
        {"crosstab", QueryKind::Crosstab},
        {"append", QueryKind::Append},
        {"update", QueryKind::Update},
        {"delete", QueryKind::Delete},
        {"makeTable", QueryKind::MakeTable},
        {"passThrough", QueryKind::PassThrough},
        {"dataDefinition", QueryKind::DataDefinition},
    };
    const std::string name = node.asText();
    for (const auto& [known, kind] : kNames) {
        if (name == known) return kind;
    }
    node.fail("unknown query kind \"" + name + "\"");
}

CrosstabRole roleNamed(const JsonNode& node) {
    const std::string name = node.asText();
    if (name == "rowHeading") return CrosstabRole::RowHeading;
    if (name == "columnHeading") return CrosstabRole::ColumnHeading;
    if (name == "value") return CrosstabRole::Transform;
    node.fail("unknown crosstab role \"" + name + "\"");
}

JoinKind joinNamed(const JsonNode& node) {
    const std::string name = node.asText();
    if (name == "inner") return JoinKind::Inner;
    if (name == "left") return JoinKind::Left;
    if (name == "right") return JoinKind::Right;
    node.fail("unknown join kind \"" + name + "\"");
}

QueryColumn columnFrom(const JsonNode& node) {
    QueryColumn column;
    if (node.value().is_string()) {
        column.expression = node.asText();
        return column;
    }
    node.allowOnly({"expression", "alias", "target", "role"});
    column.expression = node.text("expression");
    column.alias = node.optionalText("alias").value_or("");
    column.target = node.optionalText("target").value_or("");
    if (node.has("role")) column.role = roleNamed(node.member("role"));
    return column;
}

QueryTable tableFrom(const JsonNode& node) {
    if (node.value().is_string()) return {node.asText(), ""};
    node.allowOnly({"name", "alias"});
    return {node.text("name"), node.optionalText("alias").value_or("")};
}

QueryOrder orderFrom(const JsonNode& node) {
    if (node.value().is_string()) return {node.asText(), false};
    node.allowOnly({"expression", "descending"});
    return {node.text("expression"), node.flag("descending")};
}

QueryParameter parameterFrom(const JsonNode& node) {
    node.allowOnly({"name", "type", "size"});
    QueryParameter parameter;
    parameter.name = node.text("name");
    if (node.has("type")) parameter.type = fieldTypeNamed(node.member("type"));
    parameter.size = node.integer("size", 0);
    return parameter;
}

std::string topFrom(const JsonNode& query) {
    if (!query.has("top")) return "";
    const JsonNode node = query.member("top");
    if (node.value().is_number_integer()) return std::to_string(node.value().get<long long>());
    return node.asText();
}

template <typename T, typename Read>
std::vector<T> listOf(const JsonNode& node, const char* key, Read read) {
    std::vector<T> items;
    if (!node.has(key)) return items;
    for (const JsonNode& element : node.member(key).elements()) items.push_back(read(element));
    return items;
}

}  // namespace

QueryDescription readQuery(const JsonNode& node) {
    node.allowOnly({"name",        "kind",       "hidden",      "system",  "distinct",
                    "distinctRow", "selectStar", "ownerAccess", "top",     "topPercent",
                    "parameters",  "tables",     "joins",       "columns", "where",
                    "groupBy",     "having",     "orderBy",     "target",  "unionParts",
                    "unionAll",    "sql",        "connect",     "typeRow", "flagsRow"});
    QueryDescription query;
    query.name = node.text("name");
    query.kind = node.has("kind") ? kindNamed(node.member("kind")) : QueryKind::Select;
    query.hidden = node.flag("hidden");
    query.system = node.flag("system");
    query.distinct = node.flag("distinct");
    query.distinctRow = node.flag("distinctRow");
    query.selectStar = node.flag("selectStar");
    query.ownerAccess = node.flag("ownerAccess");
    query.top = topFrom(node);
    query.topPercent = node.flag("topPercent");
    query.parameters = listOf<QueryParameter>(node, "parameters", parameterFrom);
    query.tables = listOf<QueryTable>(node, "tables", tableFrom);
    query.joins = listOf<QueryJoin>(node, "joins", [](const JsonNode& join) {
        join.allowOnly({"left", "right", "kind", "on"});
        return QueryJoin{join.text("left"), join.text("right"),
                         join.has("kind") ? joinNamed(join.member("kind")) : JoinKind::Inner,
                         join.text("on")};
    });
    query.columns = listOf<QueryColumn>(node, "columns", columnFrom);
    query.where = node.optionalText("where").value_or("");
    query.groupBy = listOf<QueryColumn>(node, "groupBy", columnFrom);
    query.having = node.optionalText("having").value_or("");
    query.orderBy = listOf<QueryOrder>(node, "orderBy", orderFrom);
    query.targetTable = node.optionalText("target").value_or("");
    query.unionParts =
        listOf<std::string>(node, "unionParts", [](const JsonNode& part) { return part.asText(); });
    query.unionAll = node.flag("unionAll");
    query.sqlText = node.optionalText("sql").value_or("");
    query.connect = node.optionalText("connect").value_or("");
    query.writeTypeRow = node.flag("typeRow", true);
    query.writeFlagsRow = node.flag("flagsRow", true);
    return query;
}

}  // namespace zl::jetwrite
