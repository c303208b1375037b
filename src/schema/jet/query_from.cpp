// Combines the Table and Join rows of a saved query into the nested joins Access shows.
//
// Access keeps no join tree: each Join row only names the two tables it links. The tree is
// regrown the way Access lays it out: start from the tables in sequence; for each Join row,
// take the source holding its left table and the one holding its right table out of the list
// and append their join at the end. A Join row whose tables already sit in one join adds its
// condition to that join, in front of the others.
#include "schema/jet/query_from.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "schema/jet/query_names.h"
#include "support/text.h"

namespace zl::schema::jet {
namespace {

// Access allows 32 tables in a query; these bounds only stop crafted files from making the
// pairing below (tables times joins) or the nesting depth explode.
constexpr std::size_t kMaxTables = 1024;
constexpr std::size_t kMaxJoins = 1024;

std::string folded(std::string_view name) { return support::asciiLower(name); }

// A table, or a join of two earlier sources.
struct Source {
    std::string table;               // the table as written, for a table source
    std::vector<std::string> names;  // folded names (aliases) of every table inside
    bool isJoin = false;
    std::size_t left = 0;
    std::size_t right = 0;
    int joinType = 0;
    std::vector<std::string> conditions;  // ON conditions, in the order written
};

class JoinTree {
public:
    explicit JoinTree(const QueryRowSet& rows) : m_rows(rows) {}
    void addTable(const QueryRow& row);
    void addJoin(const QueryRow& row);
    std::string text() const;

private:
    bool holds(std::size_t source, const std::string& name) const;
    std::pair<std::optional<std::size_t>, std::optional<std::size_t>> locate(
        const std::string& left, const std::string& right) const;
    void addCondition(std::size_t topPosition, int joinType, const std::string& condition);
    void render(std::size_t source, bool nested, std::string& out) const;

    const QueryRowSet& m_rows;
    std::vector<Source> m_sources;   // every source made, tables and joins
    std::vector<std::size_t> m_top;  // the sources of the list, in order
};

void JoinTree::addTable(const QueryRow& row) {
    if (!row.expression && !row.name1) {
        m_rows.fail("a Table row has neither a table name (Name1) nor a source (Expression)");
    }
    Source table;
    // A source database or a stored subquery comes first: "[other.mdb].T", "[SELECT ...]. AS Q".
    if (row.expression) {
        table.table = bracketed(*row.expression) + ".";
    }
    if (row.name1) {
        table.table += quotedPath(*row.name1);
    }
    if (row.name2) {
        table.table += " AS " + quotedName(*row.name2);
    }
    table.names.push_back(folded(row.name2 ? *row.name2 : row.name1.value_or(std::string())));
    m_top.push_back(m_sources.size());
    m_sources.push_back(std::move(table));
}

bool JoinTree::holds(std::size_t source, const std::string& name) const {
    const std::vector<std::string>& names = m_sources[source].names;
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Positions in the list of the sources holding each table. A source holding both tables
// counts for both only when it is the first one to hold the left table.
std::pair<std::optional<std::size_t>, std::optional<std::size_t>> JoinTree::locate(
    const std::string& left, const std::string& right) const {
    std::optional<std::size_t> leftAt;
    std::optional<std::size_t> rightAt;
    for (std::size_t i = 0; i < m_top.size() && !(leftAt && rightAt); ++i) {
        if (!leftAt && holds(m_top[i], left)) {
            leftAt = i;
            if (!rightAt && holds(m_top[i], right)) {
                rightAt = i;
            }
        } else if (!rightAt && holds(m_top[i], right)) {
            rightAt = i;
        }
    }
    return {leftAt, rightAt};
}

void JoinTree::addJoin(const QueryRow& row) {
    const std::string& left = m_rows.text(row.name1, "the left table (Name1) of a Join row");
    const std::string& right = m_rows.text(row.name2, "the right table (Name2) of a Join row");
    const std::string& condition =
        m_rows.text(row.expression, "the ON condition (Expression) of a Join row");
    const int joinType = m_rows.flag(row, "a Join row");
    if (joinType < kJoinInner || joinType > kJoinRight) {
        m_rows.fail("a Join row has join type " + std::to_string(joinType) +
                    ", expected 1 (INNER), 2 (LEFT) or 3 (RIGHT)");
    }
    const auto [leftAt, rightAt] = locate(folded(left), folded(right));
    if (!leftAt || !rightAt) {
        m_rows.fail("a Join row names the table \"" + (leftAt ? right : left) +
                    "\", which is not among the query's tables");
    }
    if (*leftAt == *rightAt) {
        addCondition(*leftAt, joinType, condition);
        return;
    }
    Source join;
    join.isJoin = true;
    join.left = m_top[*leftAt];
    join.right = m_top[*rightAt];
    join.joinType = joinType;
    join.conditions.push_back(condition);
    join.names = m_sources[join.left].names;
    const std::vector<std::string>& rightNames = m_sources[join.right].names;
    join.names.insert(join.names.end(), rightNames.begin(), rightNames.end());
    m_top.erase(m_top.begin() + static_cast<std::ptrdiff_t>(std::max(*leftAt, *rightAt)));
    m_top.erase(m_top.begin() + static_cast<std::ptrdiff_t>(std::min(*leftAt, *rightAt)));
    m_top.push_back(m_sources.size());
    m_sources.push_back(std::move(join));
}

void JoinTree::addCondition(std::size_t topPosition, int joinType, const std::string& condition) {
    Source& join = m_sources[m_top[topPosition]];
    if (!join.isJoin) {
        m_rows.fail("a Join row joins the table \"" + join.table + "\" to itself");
    }
    if (join.joinType != joinType) {
        m_rows.fail("Join rows link the same tables with join types " +
                    std::to_string(join.joinType) + " and " + std::to_string(joinType));
    }
    join.conditions.insert(join.conditions.begin(), condition);
}

void JoinTree::render(std::size_t source, bool nested, std::string& out) const {
    const Source& node = m_sources[source];
    if (!node.isJoin) {
        out += node.table;
        return;
    }
    static constexpr std::array<std::string_view, 4> kKeywords = {"", " INNER JOIN ", " LEFT JOIN ",
                                                                  " RIGHT JOIN "};
    out += nested ? "(" : "";
    render(node.left, true, out);
    out += kKeywords[static_cast<std::size_t>(node.joinType)];
    render(node.right, true, out);
    out += " ON ";
    if (node.conditions.size() == 1) {
        out += node.conditions.front();
    } else {
        out += "(" + joined(node.conditions, ") AND (") + ")";
    }
    out += nested ? ")" : "";
}

std::string JoinTree::text() const {
    std::string out;
    for (std::size_t i = 0; i < m_top.size(); ++i) {
        out += i > 0 ? ", " : "";
        render(m_top[i], false, out);
    }
    return out;
}

}  // namespace

std::string rebuildFromList(const QueryRowSet& rows) {
    const std::vector<QueryRow>& tables = rows.rows(QueryAttribute::Table);
    const std::vector<QueryRow>& joins = rows.rows(QueryAttribute::Join);
    if (tables.size() > kMaxTables || joins.size() > kMaxJoins) {
        rows.fail(std::to_string(tables.size()) + " Table rows and " +
                  std::to_string(joins.size()) + " Join rows, expected at most " +
                  std::to_string(kMaxTables) + " of each");
    }
    JoinTree tree(rows);
    for (const QueryRow& table : tables) {
        tree.addTable(table);
    }
    for (const QueryRow& join : joins) {
        tree.addJoin(join);
    }
    return tree.text();
}

}  // namespace zl::schema::jet
