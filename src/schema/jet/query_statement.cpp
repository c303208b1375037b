// The statement of each kind of saved query, from its filed rows.
#include "schema/jet/query_statement.h"

#include "schema/jet/query_from.h"
#include "schema/jet/query_names.h"
#include "schema/jet/query_select.h"

namespace zl::schema::jet {
namespace {

using Lines = std::vector<std::string>;

const std::string& targetTable(const QueryRowSet& rows) {
    return rows.text(rows.typeRow().name1, "the target table (Name1) of the Type row");
}

std::string targetDatabase(const QueryRowSet& rows) {
    return externalDatabase(rows.typeRow().name2, rows.typeRow().expression);
}

void selectStatement(const QueryRowSet& rows, Lines& lines) {
    SelectParts parts;
    parts.columns = allRows(rows, QueryAttribute::Column);
    parts.groupings = allRows(rows, QueryAttribute::GroupBy);
    appendSelectLines(rows, parts, lines);
}

void makeTableStatement(const QueryRowSet& rows, Lines& lines) {
    SelectParts parts;
    parts.columns = allRows(rows, QueryAttribute::Column);
    parts.groupings = allRows(rows, QueryAttribute::GroupBy);
    parts.into = " INTO " + quotedPath(targetTable(rows)) + targetDatabase(rows);
    appendSelectLines(rows, parts, lines);
}

void deleteStatement(const QueryRowSet& rows, Lines& lines) {
    SelectParts parts;
    parts.keyword = "DELETE";
    parts.columns = allRows(rows, QueryAttribute::Column);
    parts.groupings = allRows(rows, QueryAttribute::GroupBy);
    appendSelectLines(rows, parts, lines);
}

// INSERT INTO target (columns) then either VALUES (...) or a SELECT. Every Column row with a
// target column (Name2) names one, whether it holds a value or a SELECT column.
void appendStatement(const QueryRowSet& rows, Lines& lines) {
    std::vector<std::string> targets;
    std::vector<std::string> values;
    SelectParts select;
    for (const QueryRow& column : rows.rows(QueryAttribute::Column)) {
        if (column.name2) {
            targets.push_back(quotedPath(*column.name2));
        }
        if ((column.flag.value_or(0) & kAppendValueFlag) != 0) {
            values.push_back(rows.text(column.expression, "the Expression of a VALUES row"));
        } else {
            select.columns.push_back(&column);
        }
    }
    std::string head = "INSERT INTO " + quotedPath(targetTable(rows));
    if (!targets.empty()) {
        head += " (" + joined(targets) + ")";
    }
    lines.push_back(head + targetDatabase(rows));
    if (!values.empty()) {
        lines.push_back("VALUES (" + joined(values) + ")");
        return;
    }
    select.groupings = allRows(rows, QueryAttribute::GroupBy);
    appendSelectLines(rows, select, lines);
}

void updateStatement(const QueryRowSet& rows, Lines& lines) {
    const std::string tables = rebuildFromList(rows);
    if (tables.empty()) {
        rows.fail("the update query has no Table row");
    }
    const QueryRow* remote = rows.singleRow(QueryAttribute::RemoteDatabase);
    lines.push_back("UPDATE " + std::string(rows.hasFlag(kFlagDistinctRow) ? "DISTINCTROW " : "") +
                    tables + (remote ? externalDatabase(remote->name1, remote->expression) : ""));
    std::vector<std::string> assignments;
    for (const QueryRow& column : rows.rows(QueryAttribute::Column)) {
        const std::string& target =
            rows.text(column.name2, "the target column (Name2) of a Column row");
        assignments.push_back(quotedPath(target) + " = " +
                              rows.text(column.expression, "the Expression of a Column row"));
    }
    lines.push_back("SET " + joined(assignments));
    if (const QueryRow* where = rows.singleRow(QueryAttribute::Where)) {
        lines.push_back("WHERE " + rows.text(where->expression, "the condition of the WHERE row"));
    }
}

// The roles of a crosstab query's Column rows: one value, one column heading, row headings.
struct CrosstabColumns {
    const QueryRow* value = nullptr;
    const QueryRow* pivot = nullptr;
    std::vector<const QueryRow*> rowHeadings;
};

CrosstabColumns crosstabColumns(const QueryRowSet& rows) {
    CrosstabColumns columns;
    for (const QueryRow& column : rows.rows(QueryAttribute::Column)) {
        const int role = column.flag.value_or(0);
        if (role == kCrosstabRowHeading) {
            columns.rowHeadings.push_back(&column);
            continue;
        }
        if (role != 0 && role != kCrosstabPivot) {
            rows.fail("a Column row of the crosstab query has role " + std::to_string(role) +
                      ", expected 0 (value), 1 (column heading) or 2 (row heading)");
        }
        const QueryRow*& slot = role == 0 ? columns.value : columns.pivot;
        if (slot != nullptr) {
            rows.fail(std::string("the crosstab query has two ") +
                      (role == 0 ? "value columns" : "column headings"));
        }
        slot = &column;
    }
    if (columns.value == nullptr || columns.pivot == nullptr) {
        rows.fail(std::string("the crosstab query has no ") + (columns.value == nullptr
                                                                   ? "value column (TRANSFORM)"
                                                                   : "column heading (PIVOT)"));
    }
    return columns;
}

// TRANSFORM value, the SELECT of the row headings, PIVOT column heading. The column heading's
// expression carries its fixed headings too ("x In ("a","b")"), as Access stores them.
void crosstabStatement(const QueryRowSet& rows, Lines& lines) {
    const CrosstabColumns columns = crosstabColumns(rows);
    lines.push_back("TRANSFORM " + selectColumn(rows, *columns.value));
    SelectParts select;
    select.columns = columns.rowHeadings;
    for (const QueryRow& grouping : rows.rows(QueryAttribute::GroupBy)) {
        if ((grouping.flag.value_or(0) & kCrosstabRowHeading) != 0) {
            select.groupings.push_back(&grouping);
        }
    }
    appendSelectLines(rows, select, lines);
    lines.push_back("PIVOT " +
                    rows.text(columns.pivot->expression, "the Expression of the PIVOT column"));
}

// The stored SQL of one half of a union query, trimmed of surrounding blanks and control
// characters, every line break in it made one CR LF.
std::string unionPart(const QueryRowSet& rows, std::string_view marker) {
    for (const QueryRow& table : rows.rows(QueryAttribute::Table)) {
        if (table.name2 != marker) {
            continue;
        }
        const std::string& text = rows.text(table.expression, "the SQL text of a union part");
        const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
        std::size_t begin = 0;
        std::size_t end = text.size();
        while (begin < end && isBlank(text[begin])) ++begin;
        while (end > begin && isBlank(text[end - 1])) --end;
        std::string part;
        for (std::size_t i = begin; i < end; ++i) {
            if (text[i] != '\r' && text[i] != '\n') {
                part += text[i];
            } else if (i == begin || (text[i - 1] != '\r' && text[i - 1] != '\n')) {
                part += "\r\n";
            }
        }
        return part;
    }
    rows.fail("the union query has no Table row \"" + std::string(marker) + "\"");
}

// A union query keeps its two halves as SQL text; a longer union nests in the first half.
void unionStatement(const QueryRowSet& rows, Lines& lines) {
    lines.push_back(unionPart(rows, kUnionFirstPart));
    lines.push_back(std::string(rows.hasFlag(kFlagDistinct) ? "UNION " : "UNION ALL ") +
                    unionPart(rows, kUnionSecondPart));
    const std::string orderBy = orderByLine(rows);
    if (!orderBy.empty()) {
        lines.push_back(orderBy);
    }
}

}  // namespace

std::vector<std::string> rebuildStatementLines(const QueryRowSet& rows) {
    Lines lines;
    switch (rows.kind()) {
        case QueryKind::Select:
            selectStatement(rows, lines);
            break;
        case QueryKind::MakeTable:
            makeTableStatement(rows, lines);
            break;
        case QueryKind::Append:
            appendStatement(rows, lines);
            break;
        case QueryKind::Update:
            updateStatement(rows, lines);
            break;
        case QueryKind::Delete:
            deleteStatement(rows, lines);
            break;
        case QueryKind::Crosstab:
            crosstabStatement(rows, lines);
            break;
        case QueryKind::Union:
            unionStatement(rows, lines);
            break;
        case QueryKind::DataDefinition:
        case QueryKind::PassThrough:
            rows.fail("a pass-through or data-definition query has no clauses to rebuild");
    }
    return lines;
}

}  // namespace zl::schema::jet
