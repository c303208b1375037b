// The SELECT-shaped clauses of a rebuilt query, one line each.
#include "schema/jet/query_select.h"

#include "schema/jet/query_from.h"
#include "schema/jet/query_names.h"

namespace zl::schema::jet {
namespace {

std::string externalSource(const QueryRowSet& rows) {
    const QueryRow* remote = rows.singleRow(QueryAttribute::RemoteDatabase);
    return remote == nullptr ? std::string() : externalDatabase(remote->name1, remote->expression);
}

// The line "<keyword> <condition>" of a Where or Having row, or empty without one.
std::string conditionLine(const QueryRowSet& rows, QueryAttribute attribute,
                          const std::string& keyword) {
    const QueryRow* row = rows.singleRow(attribute);
    if (row == nullptr) {
        return {};
    }
    return keyword + " " +
           rows.text(row->expression, "the condition (Expression) of the " + keyword + " row");
}

std::string groupByLine(const QueryRowSet& rows, const std::vector<const QueryRow*>& groupings) {
    if (groupings.empty()) {
        return {};
    }
    std::vector<std::string> expressions;
    expressions.reserve(groupings.size());
    for (const QueryRow* grouping : groupings) {
        expressions.push_back(rows.text(grouping->expression, "the Expression of a GroupBy row"));
    }
    return "GROUP BY " + joined(expressions);
}

void appendIfAny(std::vector<std::string>& lines, std::string line) {
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
}

}  // namespace

std::vector<const QueryRow*> allRows(const QueryRowSet& rows, QueryAttribute attribute) {
    std::vector<const QueryRow*> result;
    for (const QueryRow& row : rows.rows(attribute)) {
        result.push_back(&row);
    }
    return result;
}

std::string selectPredicate(const QueryRowSet& rows) {
    std::vector<std::string> words;
    if (rows.hasFlag(kFlagDistinct)) {
        words.emplace_back("DISTINCT");
    } else if (rows.hasFlag(kFlagDistinctRow)) {
        words.emplace_back("DISTINCTROW");
    }
    if (rows.hasFlag(kFlagTop)) {
        const std::string& count =
            rows.text(rows.singleRow(QueryAttribute::Flags)->name1, "the TOP value (Name1)");
        if (count.empty()) {
            rows.fail("the TOP value (Name1) is empty");
        }
        words.push_back("TOP " + count + (rows.hasFlag(kFlagPercent) ? " PERCENT" : ""));
    }
    return joined(words, " ");
}

std::string selectColumn(const QueryRowSet& rows, const QueryRow& column) {
    std::string text = rows.text(column.expression, "the Expression of a Column row");
    if (column.name1) {
        text += " AS " + quotedName(*column.name1);
    }
    return text;
}

std::string orderByLine(const QueryRowSet& rows) {
    std::vector<std::string> keys;
    for (const QueryRow& row : rows.rows(QueryAttribute::OrderBy)) {
        std::string key = rows.text(row.expression, "the Expression of an OrderBy row");
        if (row.name1 == kDescending || row.name1 == kDescendingLower) {
            key += " DESC";
        }
        keys.push_back(std::move(key));
    }
    return keys.empty() ? std::string() : "ORDER BY " + joined(keys);
}

void appendSelectLines(const QueryRowSet& rows, const SelectParts& parts,
                       std::vector<std::string>& lines) {
    std::string head = parts.keyword;
    const std::string predicate = selectPredicate(rows);
    if (!predicate.empty()) {
        head += " " + predicate;
    }
    std::vector<std::string> columns;
    for (const QueryRow* column : parts.columns) {
        columns.push_back(selectColumn(rows, *column));
    }
    if (rows.hasFlag(kFlagSelectStar)) {
        columns.emplace_back("*");
    }
    lines.push_back(head + " " + joined(columns) + parts.into);

    const std::string from = rebuildFromList(rows);
    if (!from.empty()) {
        lines.push_back("FROM " + from + externalSource(rows));
    }
    appendIfAny(lines, conditionLine(rows, QueryAttribute::Where, "WHERE"));
    appendIfAny(lines, groupByLine(rows, parts.groupings));
    appendIfAny(lines, conditionLine(rows, QueryAttribute::Having, "HAVING"));
    appendIfAny(lines, orderByLine(rows));
}

}  // namespace zl::schema::jet
