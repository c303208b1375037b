// Saved queries as views: SELECT, UNION and crosstabs with a fixed heading list, in dependency
// order; everything else is left for the ledger.
#include <algorithm>
#include <forward_list>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>

#include "schema/engine.h"
#include "support/text.h"
#include "translate/emitter.h"
#include "translate/query_parser.h"
#include "translate/translate.h"

namespace zl::translate {

namespace dao = schema::dao;
using namespace std::string_view_literals;

namespace {

// The DAO type recorded for a view column whose Access type is `type`.
int daoOfType(Type type) {
    switch (type) {
        case Type::Text:
            return dao::kText;
        case Type::Integer:
            return dao::kLong;
        case Type::Number:
            return dao::kDouble;
        case Type::Bool:
            return dao::kBoolean;
        case Type::Date:
            return dao::kDate;
        default:
            return 0;
    }
}

// Aliases are local to one statement; they are quoted here and cut to PostgreSQL's 63 bytes.
std::string quoteLocal(std::string_view name) {
    std::string cut(name.substr(0, 63));
    while (!cut.empty() && (static_cast<unsigned char>(cut.back()) & 0xC0) == 0x80) cut.pop_back();
    if (!cut.empty() && static_cast<unsigned char>(cut.back()) >= 0xC0) cut.pop_back();
    std::string out = "\"";
    for (char c : cut) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

struct Source {
    std::string_view name;   // the table or query (as its TableColumns holds it)
    std::string_view alias;  // the Access alias (as the statement holds it), "" when none
    std::string prefix;      // how columns are qualified in SQL
    const TableColumns* columns = nullptr;
    bool isQuery = false;  // a saved query (a view), not a table
};

class QueryResolver : public NameResolver {
public:
    QueryResolver(Target target, const NameMapper& names) : m_target(target), m_names(names) {}

    void add(Source source) { m_sources.push_back(std::move(source)); }
    const PoolVector<Source>& sources() const { return m_sources; }

    // Output columns by folded Access alias, which other expressions of the statement may use.
    std::map<std::string, Emitted> aliases;
    // A parameter query's parameters by folded name, as "$n" of the function.
    const std::map<std::string, Emitted>* parameters = nullptr;

    Emitted resolve(const Node& name) const override {
        std::pair<const Source*, const Column*> found{nullptr, nullptr};
        if (name.owner.empty()) {
            // A source column comes first; otherwise an output alias, then a parameter.
            found = unowned(name);
            if (found.first == nullptr) {
                auto it = aliases.find(lowerAscii(name.text));
                if (it != aliases.end()) {
                    if (!groupedText.empty() && !readsGroups) {
                        throw Untranslatable{"[" + name.text +
                                             "], an output column of grouped rows, is read "
                                             "before they are grouped"};
                    }
                    return it->second;
                }
                if (parameters != nullptr) {
                    auto p = parameters->find(lowerAscii(name.text));
                    if (p != parameters->end()) return p->second;
                }
            }
        }
        const auto [source, column] = found.first != nullptr ? found : find(name);
        return {storedValue(m_target, groupedSql(*source, *column), column->daoType),
                typeOfDao(column->daoType)};
    }

    // A bare column: its SQL as stored (no conversion), its owner and its DAO type.
    std::pair<std::string, const Column*> raw(const Node& name, std::string* owner) const {
        const auto [source, column] = find(name);
        *owner = source->alias.empty() ? source->name : source->alias;
        return {groupedSql(*source, *column), column};
    }

    // The source and column a plain name reads; throws Untranslatable as resolve does.
    std::pair<const Source*, const Column*> column(const Node& name) const { return find(name); }

    bool allowsAggregates() const override { return true; }
    void aggregateDepth(int change) const override { m_aggregateDepth += change; }

    // PostgreSQL groups text with regard to case, Access without: a text field in GROUP BY is
    // grouped by lower(...), and where the grouped rows read it outside an aggregate (the select
    // list, HAVING, the sort keys) it stands as min(...), one of the values its group holds.
    std::vector<std::pair<const Source*, const Column*>> groupedText;
    // True while the parts of the statement that read grouped rows are written.
    bool readsGroups = false;

    // True when `node` is a plain name of a column of the sources (not an alias or parameter).
    bool readsColumn(const Node& node) const {
        return node.kind == NodeKind::Name && (!node.owner.empty() || known(node.text));
    }

    std::string columnSql(const Source& source, const Column& column) const {
        std::string sql;
        sql.reserve(source.prefix.size() + column.name.size() + 8);  // room for the usual quoting
        appendColumnSql(sql, source, column);
        return sql;
    }

    void appendColumnSql(std::string& out, const Source& source, const Column& column) const {
        out += source.prefix;
        out += '.';
        m_names.appendColumn(out, source.name, column.name);
    }

    // The column as the clause being written reads it (see groupedText).
    std::string groupedSql(const Source& source, const Column& column) const {
        std::string sql = columnSql(source, column);
        if (readsGroups && m_aggregateDepth == 0 &&
            std::find(groupedText.begin(), groupedText.end(), std::pair{&source, &column}) !=
                groupedText.end()) {
            sql = "min(" + sql + ")";
        }
        return sql;
    }

private:
    bool known(const std::string& column) const { return search(column).column != nullptr; }

    // What the sources hold of a column name without owner. The last answer is kept, for the
    // same name (a sort key is asked about, then written) while the sources stay the same.
    struct Found {
        const Source* source = nullptr;
        const Column* column = nullptr;
        bool ambiguous = false;  // more than one source has it
    };
    Found search(const std::string& column) const {
        if (m_searched == &column && m_searchedSources == m_sources.size()) return m_found;
        Found found;
        for (const Source& s : m_sources) {
            if (const Column* c = s.columns->find(column)) {
                if (found.column != nullptr) {
                    found.ambiguous = true;
                    break;
                }
                found = {&s, c, false};
            }
        }
        m_searched = &column;
        m_searchedSources = m_sources.size();
        m_found = found;
        return found;
    }

    std::pair<const Source*, const Column*> find(const Node& name) const {
        if (!name.owner.empty()) {
            const std::string owner = lowerAscii(name.owner);
            if (owner.rfind("forms", 0) == 0 || owner.rfind("reports", 0) == 0) {
                throw Untranslatable{"refers to a form or report: [" + name.owner + "]![" +
                                     name.text + "]"};
            }
            for (const Source& s : m_sources) {
                if (support::equalsIgnoringAsciiCase(s.alias.empty() ? s.name : s.alias,
                                                     name.owner)) {
                    if (const Column* c = s.columns->find(name.text)) return {&s, c};
                    throw Untranslatable{"[" + name.owner + "] has no field [" + name.text + "]"};
                }
            }
            throw Untranslatable{"unknown table [" + name.owner + "] (at " +
                                 std::to_string(name.pos + 1) + ")"};
        }
        const auto found = unowned(name);
        if (found.first == nullptr) {
            throw Untranslatable{"unknown name [" + name.text + "] (at " +
                                 std::to_string(name.pos + 1) +
                                 "); Access would ask for it as a parameter"};
        }
        return found;
    }

    // The source column that a name without owner reads; nulls when no source has it.
    std::pair<const Source*, const Column*> unowned(const Node& name) const {
        const Found found = search(name.text);
        if (found.ambiguous) throw Untranslatable{"[" + name.text + "] is ambiguous"};
        return {found.source, found.column};
    }

    Target m_target;
    const NameMapper& m_names;
    PoolVector<Source> m_sources;
    mutable int m_aggregateDepth = 0;
    mutable const std::string* m_searched = nullptr;  // the name search() answered last
    mutable std::size_t m_searchedSources = 0;        // how many sources there were then
    mutable Found m_found;
};

// What a translated SELECT gives: its output columns and, when the statement needs them again
// (an outer SELECT that names the visible columns, a union, a function's result list), their
// quoted identifiers, written once as the list of visible columns.
struct OutputColumn {
    std::string_view name;     // Access name; its text lives as long as the statement's writer
    std::size_t quotedAt = 0;  // the quoted output identifier within Translated::visible, if any
    std::size_t quotedSize = 0;
    Type type = Type::Unknown;
    int daoType = 0;
};

struct Translated {
    std::string visible;  // the quoted output identifiers, separated by ", "; "" when not needed
    std::vector<OutputColumn> columns;

    std::string_view quoted(const OutputColumn& column) const {
        return std::string_view(visible).substr(column.quotedAt, column.quotedSize);
    }
};

// The inferred columns of translated views, by name.
using FoldedViews = FoldedNameMap<TableColumns>;
// The queries translated together, by name without regard to case: one open-addressing table of
// indices into the queries, which hold the names.
class Batch {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    explicit Batch(const std::vector<SavedQuery>& queries) : m_queries(queries) {
        std::size_t size = 16;
        while (size < queries.size() * 2) size *= 2;
        m_slots.assign(size, kNone);
        for (std::size_t i = 0; i < queries.size(); ++i) {
            std::size_t& slot = m_slots[probe(queries[i].name)];
            if (slot != kNone) sameNames = true;
            slot = i;
        }
    }

    // The index of the last query named `name`, or kNone.
    std::size_t find(std::string_view name) const { return m_slots[probe(name)]; }

    bool sameNames = false;  // two queries have the same name

private:
    // The slot of `name`, or the empty slot where it would go.
    std::size_t probe(std::string_view name) const {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t at = FoldedNameHash{}(name)&mask;
        while (m_slots[at] != kNone && !FoldedNameEqual{}(m_queries[m_slots[at]].name, name)) {
            at = (at + 1) & mask;
        }
        return at;
    }

    const std::vector<SavedQuery>& m_queries;
    std::vector<std::size_t> m_slots;
};

// Everything the queries of one database share while they are translated.
struct QueryContext {
    Target target;
    const ColumnMap& lookup;
    const NameMapper& names;
    const FoldedViews* views;
    // The folded names of the queries translated together.
    const Batch* batch;
    std::vector<std::string>* dependencies;
};

class StatementWriter {
public:
    // `columnsWanted`: the caller reads the statement's output columns (a view that others read,
    // a function's result list); otherwise a "table.*" select list leaves them unlisted.
    StatementWriter(QueryContext& ctx, std::string_view viewName, bool columnsWanted)
        : m_ctx(ctx), m_view(viewName), m_columnsWanted(columnsWanted) {}

    // Appends the statement's SELECT to `out`; `outColumns` receives its output columns.
    void write(const QueryStatement& q, std::string& out, Translated* outColumns);

private:
    bool pg() const { return m_ctx.target == Target::PostgreSql; }
    // Appends the FROM item `ref` to `out` and adds its tables to `scope`.
    void from(const TableRef& ref, QueryResolver& scope, Emitter& e, std::string& out);
    // Appends the SELECT to `sql`. Its ORDER BY is written there too when the SELECT is the
    // whole statement (`alone`) and may sort its own rows; otherwise `keys` receives the sort
    // keys, which ordered() applies.
    Translated select(const SelectStatement& s, const QueryStatement* crosstab, bool alone,
                      std::vector<std::string>* keys, std::string& sql);
    std::string_view orderKey(Emitter& e, const Node& node, bool descending, std::string* keySql);
    // Keeps a name the statement makes up (ExprNNNN, Owner.Field) as long as the writer lives.
    std::string_view keep(std::string name) { return m_made.emplace_front(std::move(name)); }

    QueryContext& m_ctx;
    std::string_view m_view;  // the name of the query written, which outlives the writer
    int m_exprCounter = 1000;
    // The rows of the statement being written are told apart as a set (a UNION without ALL).
    bool m_setRows = false;
    // The quoted output identifiers are needed beyond the SELECT (a union, a function).
    bool m_needNames = false;
    std::forward_list<std::string> m_made;  // allocates nothing while empty
    bool m_columnsWanted = true;

public:
    std::map<std::string, Emitted> parameters;
};

const TableColumns* sourceColumns(QueryContext& ctx, const std::string& name, bool* isQuery) {
    if (!ctx.views->empty()) {
        auto it = ctx.views->find(std::string_view(name));
        if (it != ctx.views->end()) {
            *isQuery = true;
            return &it->second;
        }
    }
    if (ctx.lookup.isQuery(name) ||
        (ctx.batch != nullptr && ctx.batch->find(name) != Batch::kNone)) {
        throw Untranslatable{"reads the query [" + name + "], which is not translated"};
    }
    *isQuery = false;
    return ctx.lookup.table(name);
}

void StatementWriter::from(const TableRef& ref, QueryResolver& scope, Emitter& e,
                           std::string& out) {
    switch (ref.kind) {
        case TableRef::Kind::Subquery:
            throw Untranslatable{"a subquery in FROM is not translated"};
        case TableRef::Kind::Join: {
            out += '(';
            from(*ref.left, scope, e, out);
            out.append(" "sv).append(ref.join).append(" JOIN "sv);
            from(*ref.right, scope, e, out);
            out.append(" ON "sv).append(e.condition(*ref.on)).append(")"sv);
            return;
        }
        case TableRef::Kind::Named:
            break;
    }
    bool isQuery = false;
    const TableColumns* columns = sourceColumns(m_ctx, ref.name, &isQuery);
    if (columns == nullptr) throw Untranslatable{"unknown table or query [" + ref.name + "]"};
    if (isQuery) m_ctx.dependencies->push_back(columns->name);
    Source source{columns->name, ref.alias, {}, columns, isQuery};
    const std::size_t at = out.size();
    m_ctx.names.appendObject(out, columns->name);
    if (ref.alias.empty()) {
        source.prefix.assign(out, at);
    } else {
        source.prefix = quoteLocal(ref.alias);
        out.append(" AS "sv).append(source.prefix);
    }
    scope.add(std::move(source));
}

std::string_view StatementWriter::orderKey(Emitter& e, const Node& node, bool descending,
                                           std::string* keySql) {
    Emitted key = e.emit(node);
    const bool text = key.type == Type::Text;
    if (text && pg()) {
        keySql->reserve(key.sql.size() + 7);
        keySql->assign("lower(").append(key.sql).append(")"sv);
    } else {
        *keySql = std::move(key.sql);
    }
    // Access sorts Null before every value; PostgreSQL puts it last unless told. SQLite compares
    // text keys without case by their collation.
    if (pg()) return descending ? " DESC NULLS LAST"sv : " NULLS FIRST"sv;
    if (text) return descending ? " COLLATE NOCASE DESC"sv : " COLLATE NOCASE"sv;
    return descending ? " DESC"sv : ""sv;
}

std::string aggregateOver(Emitter& e, const Node& value, const std::string& when) {
    if (value.kind != NodeKind::Call || value.args.size() != 1) {
        throw Untranslatable{"the TRANSFORM value is not a single aggregate"};
    }
    const std::string fn = lowerAscii(value.text);
    const Node& arg = *value.args[0];
    const std::string inner = arg.kind == NodeKind::Star ? "1" : e.emit(arg).sql;
    const std::string cell = "CASE WHEN " + when + " THEN " + inner + " END";
    if (fn == "count") {
        // A crosstab cell without rows is empty in Access, not 0.
        return "(CASE WHEN count(CASE WHEN " + when + " THEN 1 END) > 0 THEN count(" + cell +
               ") END)";
    }
    if (fn == "sum" || fn == "avg" || fn == "min" || fn == "max") return fn + "(" + cell + ")";
    if (e.pg() && fn == "stdev") return "stddev_samp(" + cell + ")";
    if (e.pg() && fn == "var") return "var_samp(" + cell + ")";
    throw Untranslatable{"the TRANSFORM aggregate " + value.text + " is not translated"};
}

// PostgreSQL tells text values apart by case where Access does not: rows that must be told apart
// as a set (DISTINCT, UNION) are grouped instead, text columns by lower(...) and shown as min(...),
// one value of the group. `rows` is the SELECT whose rows are made distinct, with the output
// columns `columns` (quoted as in `names`) and the hidden columns `hidden`; `text[c]` says whether
// column c holds text.
std::string caseBlindRows(const Translated& names, const std::vector<bool>& text,
                          const std::vector<std::string>& hidden, std::string_view rows) {
    std::string head = "SELECT ";
    std::string groups;
    for (std::size_t c = 0; c < names.columns.size(); ++c) {
        const std::string_view quoted = names.quoted(names.columns[c]);
        if (c > 0) {
            head += ", ";
            groups += ", ";
        }
        if (text[c]) {
            head.append("min(zl_s."sv).append(quoted).append(") AS "sv).append(quoted);
            groups.append("lower(zl_s."sv).append(quoted).append(")"sv);
        } else {
            head.append("zl_s."sv).append(quoted);
            groups.append("zl_s."sv).append(quoted);
        }
    }
    for (const std::string& column : hidden) {
        head.append(", zl_s."sv).append(column);
        groups.append(", zl_s."sv).append(column);
    }
    head.append(" FROM (\n"sv).append(rows).append("\n) AS zl_s\nGROUP BY "sv).append(groups);
    return head;
}

Translated StatementWriter::select(const SelectStatement& s, const QueryStatement* crosstab,
                                   bool alone, std::vector<std::string>* keys, std::string& sql) {
    const std::size_t start = sql.size();
    if (s.into) throw Untranslatable{"a make-table query (SELECT ... INTO) is not a view"};
    if (s.from.empty()) {
        throw Untranslatable{"a SELECT without FROM, which Access cannot run either"};
    }
    QueryResolver scope(m_ctx.target, m_ctx.names);
    scope.parameters = &parameters;
    Emitter e(m_ctx.target, Context::Query, scope);
    std::string fromSql;
    for (const auto& ref : s.from) {
        if (!fromSql.empty()) fromSql += ", "sv;
        from(*ref, scope, e, fromSql);
    }
    if (s.distinctRow && scope.sources().size() > 1) {
        throw Untranslatable{"DISTINCTROW over several tables is not translated"};
    }
    // The rows are sorted by the SELECT itself (ORDER BY on the key expressions) when it is the
    // whole statement and every key is a plain column of its sources. Otherwise the keys ride
    // along as hidden columns (see ordered()): DISTINCT and TOP must see the rows with their
    // keys, a union sorts the rows of all its parts, and grouped rows keep that form too. Either
    // way the keys are the same expressions with the same collation and Null placement.
    const bool direct = alone && crosstab == nullptr && !s.orderBy.empty() && !s.distinct &&
                        s.top.empty() && s.groupBy.empty() && !s.having &&
                        std::all_of(s.orderBy.begin(), s.orderBy.end(),
                                    [&](const OrderItem& o) { return scope.readsColumn(*o.expr); });
    // The outer SELECT of the hidden-key form names the visible columns.
    // DISTINCT over text on PostgreSQL groups the rows (caseBlindRows), naming the columns.
    const bool named = m_needNames || (!s.orderBy.empty() && !direct) || (pg() && s.distinct);
    Translated out;
    // One "*" over one table cannot repeat a name (a table's field names are unique).
    const bool single = s.items.size() == 1 && scope.sources().size() == 1;
    // "*" over one table whose columns all keep their names is written as "prefix.*": the
    // same columns under the same names in the same order. Only in the plain SELECT: not where
    // the columns are named again (the hidden keys' outer SELECT), given a collation (DISTINCT,
    // a union's parts) or read in groups, and not with TOP or in a crosstab.
    const Source& first = scope.sources().front();
    const Node& firstItem = *s.items[0].expr;
    const bool wholeTable =
        single && !named && firstItem.kind == NodeKind::Star && !s.distinct && s.top.empty() &&
        s.groupBy.empty() && !s.having && crosstab == nullptr && !m_setRows && !first.isQuery &&
        !first.columns->columns.empty() &&
        (firstItem.owner.empty() ||
         support::equalsIgnoringAsciiCase(firstItem.owner,
                                          first.alias.empty() ? first.name : first.alias)) &&
        m_ctx.names.keepsColumnNames(first.name);
    // Room for what each "*" brings: each column as prefix."Name" AS "Name" in the select list
    // and "Name" in the visible list when it is kept; other items get a fair share.
    std::size_t expected = s.items.size();
    std::size_t names = 0;
    std::size_t room = fromSql.size() + s.items.size() * 64 + 256;
    for (const SelectItem& item : s.items) {
        if (item.expr->kind != NodeKind::Star) continue;
        for (const Source& src : scope.sources()) {
            expected += src.columns->columns.size();
            if (wholeTable) continue;
            for (const Column& c : src.columns->columns) names += c.name.size() + 4;
            room += src.columns->columns.size() * (src.prefix.size() + 12);
        }
    }
    if (!wholeTable || m_columnsWanted) out.columns.reserve(expected);
    if (named) out.visible.reserve(names + s.items.size() * 16);
    // The select list is written in place: "SELECT [DISTINCT] item AS name, ...".
    sql.reserve(sql.size() + room + (named ? 3 : 2) * names);
    if (pg()) {
        for (const NodePtr& key : s.groupBy) {
            if (scope.readsColumn(*key)) {
                const auto read = scope.column(*key);
                if (typeOfDao(read.second->daoType) == Type::Text)
                    scope.groupedText.push_back(read);
            } else if (e.emit(*key).type == Type::Text) {
                throw Untranslatable{
                    "PostgreSQL groups text with regard to case; only text fields themselves are "
                    "grouped as Access groups them"};
            }
        }
        scope.readsGroups = !scope.groupedText.empty();
    }
    sql += s.distinct ? "SELECT DISTINCT " : "SELECT ";
    std::set<std::string> used;
    // Field names that occur twice among the plain columns (named or from "*") are named
    // "Owner.Field", as Access names them.
    std::map<std::string, int> bareCount;
    for (std::size_t i = 0; !single && i < s.items.size(); ++i) {
        const SelectItem& item = s.items[i];
        const Node& x = *item.expr;
        if (x.kind == NodeKind::Star) {
            for (const Source& src : scope.sources()) {
                if (x.owner.empty() || support::equalsIgnoringAsciiCase(
                                           x.owner, src.alias.empty() ? src.name : src.alias)) {
                    for (const Column& c : src.columns->columns) ++bareCount[lowerAscii(c.name)];
                }
            }
        } else if (item.alias.empty() && x.kind == NodeKind::Name) {
            ++bareCount[lowerAscii(x.text)];
        }
    }
    // Names the output column `accessName` after its value, which the caller has just written
    // at the end of the select list.
    auto nameColumn = [&](std::string_view accessName, Type type, int daoType) {
        if (!single && !used.insert(lowerAscii(accessName)).second) {
            throw Untranslatable{"two output columns are named [" + std::string(accessName) + "]"};
        }
        // Access tells rows apart without regard to case; SQLite does so by the collation of
        // the result column (of the first part, in a union).
        if (type == Type::Text && !pg() && (s.distinct || m_setRows)) sql += " COLLATE NOCASE";
        sql += " AS "sv;
        OutputColumn column{accessName, 0, 0, type, daoType};
        if (named) {
            if (!out.columns.empty()) out.visible += ", "sv;
            column.quotedAt = out.visible.size();
            m_ctx.names.appendColumn(out.visible, m_view, accessName);
            column.quotedSize = out.visible.size() - column.quotedAt;
            sql += out.quoted(column);
        } else {
            m_ctx.names.appendColumn(sql, m_view, accessName);
        }
        out.columns.push_back(column);
    };
    auto addColumn = [&](std::string_view accessName, std::string_view valueSql, Type type,
                         int daoType) {
        if (!out.columns.empty()) sql += ", "sv;
        sql += valueSql;
        nameColumn(accessName, type, daoType);
    };
    if (wholeTable) {
        sql.append(first.prefix).append(".*"sv);
        // Listing the columns reads every one of the table's, which is most of the cost of such
        // a view: they are listed only for a caller that reads them.
        for (std::size_t c = 0; m_columnsWanted && c < first.columns->columns.size(); ++c) {
            const Column& column = first.columns->columns[c];
            out.columns.push_back({column.name, 0, 0, typeOfDao(column.daoType), column.daoType});
        }
    }
    for (const SelectItem& item : s.items) {
        if (wholeTable) break;  // the one item, written above
        const Node& x = *item.expr;
        if (x.kind == NodeKind::Star) {
            for (const Source& src : scope.sources()) {
                if (!x.owner.empty() && !support::equalsIgnoringAsciiCase(
                                            x.owner, src.alias.empty() ? src.name : src.alias)) {
                    continue;
                }
                const std::string owner(src.alias.empty() ? src.name : src.alias);
                // What stands before each column, in one piece: ", prefix." (no comma first).
                const std::string lead = ", " + src.prefix + ".";
                for (const Column& c : src.columns->columns) {
                    const bool twice = !single && bareCount[lowerAscii(c.name)] > 1;
                    sql.append(lead, out.columns.empty() ? 2 : 0);
                    m_ctx.names.appendColumn(sql, src.name, c.name);
                    nameColumn(
                        twice ? keep(owner + "." + std::string(c.name)) : std::string_view(c.name),
                        typeOfDao(c.daoType), c.daoType);
                }
            }
            continue;
        }
        if (x.kind == NodeKind::Name) {
            std::string owner;
            const auto [columnSql, column] = scope.raw(x, &owner);
            std::string_view name = item.alias;
            if (name.empty()) {
                name = bareCount[lowerAscii(x.text)] > 1
                           ? keep(owner + "." + std::string(column->name))
                           : std::string_view(column->name);
            }
            addColumn(name, columnSql, typeOfDao(column->daoType), column->daoType);
            scope.aliases[lowerAscii(name)] = scope.resolve(x);
            continue;
        }
        const Emitted value = e.emit(x);
        const std::string_view name = item.alias.empty()
                                          ? keep("Expr" + std::to_string(m_exprCounter++))
                                          : std::string_view(item.alias);
        addColumn(name, value.sql, value.type, daoOfType(value.type));
        scope.aliases[lowerAscii(name)] = value;
    }
    if (crosstab != nullptr) {
        if (crosstab->headings.empty()) {
            throw Untranslatable{
                "a crosstab without a fixed column list (PIVOT ... IN) has "
                "columns that depend on the data"};
        }
        // The headings and the value are read inside the cells' aggregates.
        scope.aggregateDepth(1);
        const Emitted pivot = e.emit(*crosstab->pivot);
        for (const NodePtr& heading : crosstab->headings) {
            const Emitted value = e.emit(*heading);
            const std::string when = e.compare("=", pivot, value, heading->pos).sql;
            const std::string cell = aggregateOver(e, *crosstab->transform, when);
            const std::string_view name =
                heading->kind == NodeKind::Text || heading->kind == NodeKind::Number
                    ? std::string_view(heading->text)
                    : keep("Expr" + std::to_string(m_exprCounter++));
            const Emitted probe = e.emit(*crosstab->transform);
            addColumn(name, cell, probe.type, daoOfType(probe.type));
        }
        scope.aggregateDepth(-1);
    }
    // The keys are emitted before the clauses in both forms, so that the first untranslatable
    // piece reported stays the same.
    std::string directOrder;
    if (direct) directOrder.reserve(16 + s.orderBy.size() * 80);
    int k = 0;
    for (const OrderItem& o : s.orderBy) {
        std::string keySql;
        const std::string_view suffix = orderKey(e, *o.expr, o.descending, &keySql);
        if (direct) {
            directOrder.append(directOrder.empty() ? "\nORDER BY " : ", ")
                .append(keySql)
                .append(suffix);
            continue;
        }
        std::string keyName = "zl_key" + std::to_string(++k);
        sql.append(", "sv).append(keySql);
        // A hidden key is one of the columns DISTINCT compares: text without regard to case.
        const bool textKey = !pg() && suffix.starts_with(" COLLATE NOCASE");
        if (textKey && (s.distinct || m_setRows)) sql += " COLLATE NOCASE";
        sql.append(" AS "sv).append(keyName);
        keys->push_back(std::move(keyName.append(suffix)));
    }
    sql.append("\nFROM "sv).append(fromSql);
    const bool readsGroups = scope.readsGroups;
    scope.readsGroups = false;  // WHERE and GROUP BY read the rows before grouping
    if (s.where) sql.append("\nWHERE "sv).append(e.condition(*s.where));
    if (!s.groupBy.empty()) {
        sql += "\nGROUP BY ";
        for (std::size_t i = 0; i < s.groupBy.size(); ++i) {
            if (i > 0) sql += ", ";
            const Emitted key = e.emit(*s.groupBy[i]);
            if (key.type == Type::Text && pg()) {
                sql.append("lower("sv).append(key.sql).append(")"sv);
            } else {
                sql += key.sql;
            }
            if (key.type == Type::Text && !pg()) sql += " COLLATE NOCASE";
        }
    }
    scope.readsGroups = readsGroups;
    if (s.having) sql.append("\nHAVING "sv).append(e.condition(*s.having));
    sql += directOrder;
    if (pg() && s.distinct) {
        std::vector<bool> text;
        for (const OutputColumn& column : out.columns) text.push_back(column.type == Type::Text);
        if (std::find(text.begin(), text.end(), true) != text.end()) {
            std::vector<std::string> hidden;
            for (int key = 1; key <= k; ++key) hidden.push_back("zl_key" + std::to_string(key));
            constexpr std::string_view kDistinct = "SELECT DISTINCT ";
            std::string rows = sql.substr(start);
            rows.erase(7, kDistinct.size() - 7);  // the same SELECT, every row
            sql.resize(start);
            sql += caseBlindRows(out, text, hidden, rows);
        }
    }
    return out;
}

// Inserts `pieces` into `out` at `at`, in order.
void insertAt(std::string& out, std::size_t at, std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (const std::string_view piece : pieces) size += piece.size();
    out.insert(at, size, ' ');
    for (const std::string_view piece : pieces) {
        std::copy(piece.begin(), piece.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
        at += piece.size();
    }
}

// Gives the SELECT that `out` holds from `innerAt` on its ORDER BY and TOP: keys ride along as
// hidden columns of an inner SELECT, so that DISTINCT and TOP see the same rows as in Access; TOP
// keeps ties, as Access does.
void ordered(const Translated& inner, const std::vector<std::string>& keys, const std::string& top,
             bool percent, std::string& out, std::size_t innerAt) {
    if (keys.empty()) {
        if (!top.empty() && percent) throw Untranslatable{"TOP PERCENT without ORDER BY"};
        if (!top.empty()) out.append("\nLIMIT "sv).append(top);
        return;
    }
    std::string order;
    for (const std::string& key : keys) {
        if (!order.empty()) order += ", ";
        order += key;
    }
    if (top.empty()) {
        insertAt(out, innerAt, {"SELECT ", inner.visible, " FROM (\n"});
        out.append("\n) AS zl_q\nORDER BY "sv).append(order);
        return;
    }
    insertAt(out, innerAt,
             {"SELECT ", inner.visible, " FROM (SELECT zl_q.*, rank() OVER (ORDER BY ", order,
              ") AS zl_rank, count(*) OVER () AS zl_count FROM (\n"});
    out.append("\n) AS zl_q) AS zl_r\nWHERE "sv);
    if (percent) {
        out.append("(zl_rank - 1) * 100 < "sv).append(top).append(" * zl_count"sv);
    } else {
        out.append("zl_rank <= "sv).append(top);
    }
    out.append("\nORDER BY "sv).append(order);
}

void StatementWriter::write(const QueryStatement& q, std::string& out, Translated* outColumns) {
    m_needNames = q.parts.size() > 1 || !parameters.empty();
    if (q.parts.size() == 1) {
        const SelectStatement& s = q.parts[0];
        if (!q.crosstab && !s.top.empty() && s.orderBy.empty() && s.topPercent) {
            throw Untranslatable{"TOP PERCENT without ORDER BY"};
        }
        std::vector<std::string> keys;
        const std::size_t at = out.size();
        Translated inner = select(s, q.crosstab ? &q : nullptr, true, &keys, out);
        ordered(inner, keys, s.top, s.topPercent, out, at);
        outColumns->visible = std::move(inner.visible);
        outColumns->columns = std::move(inner.columns);
        return;
    }
    if (q.crosstab) throw Untranslatable{"a crosstab with UNION is not translated"};
    std::string sql;
    Translated first;
    m_setRows = std::find(q.unionAll.begin(), q.unionAll.end(), false) != q.unionAll.end();
    // A union without ALL on PostgreSQL: the parts are joined with ALL and their rows grouped
    // (caseBlindRows), when they have text columns; known once the parts are written, so the
    // plain form is kept aside too. A mix of UNION and UNION ALL keeps the engine's own.
    const bool setOnly = std::find(q.unionAll.begin(), q.unionAll.end(), true) == q.unionAll.end();
    bool caseBlind = pg() && setOnly;
    std::vector<bool> textColumns;
    std::vector<std::size_t> joins;  // where the parts are joined, when caseBlind
    for (std::size_t i = 0; i < q.parts.size(); ++i) {
        const SelectStatement& s = q.parts[i];
        std::vector<std::string> keys;
        std::string partSql;
        Translated part = select(s, nullptr, false, &keys, partSql);
        ordered(part, keys, s.top, s.topPercent, partSql, 0);
        if (i == 0) {
            first.visible = std::move(part.visible);
            first.columns = std::move(part.columns);
            for (const OutputColumn& c : first.columns) textColumns.push_back(c.type == Type::Text);
        } else {
            if (part.columns.size() != first.columns.size()) {
                throw Untranslatable{"the parts of the union have different column counts"};
            }
            for (std::size_t c = 0; c < first.columns.size(); ++c) {
                const Type a = first.columns[c].type;
                const Type b = part.columns[c].type;
                const bool numA = a == Type::Integer || a == Type::Number;
                const bool numB = b == Type::Integer || b == Type::Number;
                if (a != b && !(numA && numB) && a != Type::Null && b != Type::Null) {
                    throw Untranslatable{"column " + std::to_string(c + 1) +
                                         " of the union has different types in its parts"};
                }
                textColumns[c] = textColumns[c] || b == Type::Text;
            }
            if (caseBlind) joins.push_back(sql.size());
            sql += q.unionAll[i - 1] || caseBlind ? "\nUNION ALL\n" : "\nUNION\n";
        }
        if (!keys.empty() || !s.top.empty()) {
            sql.append("SELECT * FROM ("sv).append(partSql).append(") AS zl_p"sv);
            sql += std::to_string(i);
        } else {
            sql += partSql;
        }
    }
    if (caseBlind && std::find(textColumns.begin(), textColumns.end(), true) != textColumns.end()) {
        sql = caseBlindRows(first, textColumns, {}, sql);
    } else if (caseBlind) {
        // No text column: the plain UNION tells rows apart as Access does.
        for (std::size_t i = joins.size(); i-- > 0;) sql.erase(joins[i] + 6, 4);
    }
    if (q.unionOrder.empty()) {
        out += sql;
        *outColumns = std::move(first);
        return;
    }
    // The union's ORDER BY names its output columns.
    std::string order;
    for (const OrderItem& o : q.unionOrder) {
        const Node& x = *o.expr;
        const OutputColumn* match = nullptr;
        for (const OutputColumn& c : first.columns) {
            if (x.kind == NodeKind::Name && lowerAscii(c.name) == lowerAscii(x.text)) match = &c;
        }
        if (match == nullptr) throw Untranslatable{"the union's ORDER BY is not an output column"};
        if (!order.empty()) order += ", ";
        const bool text = match->type == Type::Text;
        if (text && pg()) order += "lower(";
        order.append("zl_u."sv).append(first.quoted(*match));
        if (text) order += pg() ? ")" : " COLLATE NOCASE";
        if (o.descending) order += " DESC";
        if (pg()) order += o.descending ? " NULLS LAST" : " NULLS FIRST";
    }
    out.append("SELECT * FROM (\n"sv).append(sql).append("\n) AS zl_u\nORDER BY "sv).append(order);
    *outColumns = std::move(first);
}

// A PARAMETERS type as a PostgreSQL type and the Access value kind.
std::pair<std::string, Type> parameterType(const std::string& written) {
    std::string t = lowerAscii(written.substr(0, written.find('(')));
    static const std::map<std::string, std::pair<std::string, Type>> kTypes = {
        {"text", {"text", Type::Text}},
        {"char", {"text", Type::Text}},
        {"varchar", {"text", Type::Text}},
        {"memo", {"text", Type::Text}},
        {"longtext", {"text", Type::Text}},
        {"byte", {"smallint", Type::Integer}},
        {"short", {"smallint", Type::Integer}},
        {"smallint", {"smallint", Type::Integer}},
        {"long", {"integer", Type::Integer}},
        {"integer", {"integer", Type::Integer}},
        {"int", {"integer", Type::Integer}},
        {"single", {"real", Type::Number}},
        {"ieeesingle", {"real", Type::Number}},
        {"double", {"double precision", Type::Number}},
        {"ieeedouble", {"double precision", Type::Number}},
        {"float", {"double precision", Type::Number}},
        {"currency", {"numeric(19,4)", Type::Number}},
        {"datetime", {"timestamp", Type::Date}},
        {"date", {"timestamp", Type::Date}},
        {"bit", {"boolean", Type::Bool}},
        {"yesno", {"boolean", Type::Bool}},
        {"logical", {"boolean", Type::Bool}}};
    auto it = kTypes.find(t);
    if (it == kTypes.end()) {
        throw Untranslatable{"parameter type " + written + " has no faithful PostgreSQL type"};
    }
    return it->second;
}

// The PostgreSQL type a function returns for a view column of DAO type `daoType`.
std::string returnType(int daoType, const std::string& column) {
    switch (daoType) {
        case dao::kBoolean:
            return "boolean";
        case dao::kByte:
        case dao::kInteger:
            return "smallint";
        case dao::kLong:
            return "integer";
        case dao::kBigInt:
            return "bigint";
        case dao::kCurrency:
        case dao::kDecimal:
            return "numeric";
        case dao::kSingle:
            return "real";
        case dao::kDouble:
            return "double precision";
        case dao::kDate:
        case dao::kExtendedDate:
            return "timestamp";
        case dao::kText:
        case dao::kMemo:
            return "text";
        case dao::kGuid:
            return "uuid";
        case dao::kBinary:
        case dao::kLongBinary:
            return "bytea";
        default:
            throw Untranslatable{"the type of column [" + column + "] is not known"};
    }
}

// A parameter query as a PostgreSQL SQL function returning its rows in the body's order; the
// parameters are positional ($1, ...) so that they never clash with column names.
std::string parameterFunction(const std::string& name, const std::string& signature,
                              const Translated& columns, const std::string& body) {
    std::string returns;
    for (const OutputColumn& c : columns.columns) {
        if (!returns.empty()) returns += ", ";
        returns.append(columns.quoted(c))
            .append(" "sv)
            .append(returnType(c.daoType, std::string(c.name)));
    }
    std::string tag = "$zl$";
    for (int i = 1; body.find(tag) != std::string::npos; ++i) tag = "$zl" + std::to_string(i) + "$";
    return "CREATE FUNCTION " + name + "(" + signature + ")\nRETURNS TABLE (" + returns +
           ")\nLANGUAGE sql STABLE\nAS " + tag + "\n" + body + "\n" + tag + ";\n";
}

// QueryDef.Type says what a query does, but an engine may not know it: the text tells too.
void rejectActionText(std::string_view sql) {
    TokenList list;
    try {
        list = tokenize(sql);
    } catch (const SyntaxError&) {
        return;  // reported by the parser
    }
    const PoolVector<Token>& tokens = list.tokens;
    std::size_t i = 0;
    if (!tokens.empty() && tokens[0].isWord("parameters")) {
        while (i < tokens.size() && !tokens[i].isSymbol(";")) ++i;
        ++i;
    }
    if (i >= tokens.size()) return;
    for (const std::string_view word :
         {"insert"sv, "update"sv, "delete"sv, "create"sv, "alter"sv, "drop"sv}) {
        if (tokens[i].isWord(word)) {
            throw Untranslatable{"an action or data-definition query (" +
                                 std::string(tokens[i].text) + ") is not a view"};
        }
    }
}

QueryTranslation translateOne(Target target, const SavedQuery& query, const ColumnMap& lookup,
                              const NameMapper& names, const FoldedViews& views, const Batch* batch,
                              const QueryStatement* parsed, TableColumns* columnsOut) {
    QueryTranslation out;
    out.name = query.name;
    try {
        switch (query.daoType) {
            case dao::kQuerySelect:
            case dao::kQueryUnion:
            case dao::kQueryCrosstab:
                break;
            case dao::kQueryPassThrough:
                throw Untranslatable{
                    "a pass-through query runs on another server; it is not a view"};
            case dao::kQueryDataDefinition:
                throw Untranslatable{"a data-definition query is not a view"};
            default:
                throw Untranslatable{"an action query changes data; it is not a view"};
        }
        std::optional<QueryStatement> parsedHere;  // made only when the caller has none
        if (parsed == nullptr) {
            rejectActionText(query.sql);
            parsed = &parsedHere.emplace(parseQuery(query.sql));
        }
        // A query that parsed starts with SELECT or TRANSFORM (after PARAMETERS), so the text
        // names no action: the check above is needed only for one parsed here.
        const QueryStatement& statement = *parsed;
        std::vector<std::string> dependencies;
        QueryContext ctx{target, lookup, names, &views, batch, &dependencies};
        StatementWriter writer(ctx, query.name,
                               columnsOut != nullptr || !statement.parameters.empty());
        std::string signature;
        if (!statement.parameters.empty()) {
            if (target != Target::PostgreSql) {
                throw Untranslatable{
                    "a parameter query asks for values when it runs; SQLite has "
                    "no stored functions to carry it"};
            }
            int n = 0;
            for (const auto& [pname, ptype] : statement.parameters) {
                const auto [sqlType, type] = parameterType(ptype);
                if (n > 0) signature += ", ";
                signature += sqlType;
                writer.parameters[lowerAscii(pname)] = {"$" + std::to_string(++n), type};
            }
        }
        Translated columns;
        if (statement.parameters.empty()) {
            std::string sql;
            // Room for the usual statement, which the select list's own estimate then covers.
            sql.reserve(query.sql.size() + 384);
            sql += "CREATE VIEW "sv;
            names.appendObject(sql, query.name);
            sql += " AS\n"sv;
            writer.write(statement, sql, &columns);
            sql += ";\n"sv;
            out.sql = std::move(sql);
        } else {
            std::string body;
            writer.write(statement, body, &columns);
            out.sql = parameterFunction(names.object(query.name), signature, columns, body);
            out.isFunction = true;
        }
        std::sort(dependencies.begin(), dependencies.end());
        dependencies.erase(std::unique(dependencies.begin(), dependencies.end()),
                           dependencies.end());
        out.dependencies = std::move(dependencies);
        if (columnsOut != nullptr) {
            columnsOut->name = query.name;
            columnsOut->columns.reserve(columns.columns.size());
            for (const OutputColumn& c : columns.columns) {
                columnsOut->columns.push_back({columnsOut->keep(c.name), c.daoType, 0});
            }
        }
        out.ok = true;
    } catch (const SyntaxError& error) {
        out.reason =
            "does not parse: " + error.message + " at character " + std::to_string(error.pos + 1);
    } catch (const Untranslatable& error) {
        out.reason = error.reason;
    }
    return out;
}

// The saved queries a query's FROM lists name (before translation, to order them).
void collectSources(const TableRef& ref, std::vector<const std::string*>& out) {
    if (ref.kind == TableRef::Kind::Named) out.push_back(&ref.name);
    if (ref.left) collectSources(*ref.left, out);
    if (ref.right) collectSources(*ref.right, out);
}

}  // namespace

QueryTranslation translateQuery(Target target, const SavedQuery& query, const ColumnMap& lookup,
                                const NameMapper& names) {
    FoldedViews none;
    TableColumns columns;
    return translateOne(target, query, lookup, names, none, nullptr, nullptr, &columns);
}

std::vector<std::size_t> dependencyOrder(
    const std::vector<std::string>& names,
    const std::vector<std::vector<std::string>>& dependencies) {
    FoldedNameMap<std::size_t> index;
    for (std::size_t i = 0; i < names.size(); ++i) index.insert_or_assign(names[i], i);
    std::vector<int> state(names.size(), 0);  // 0 new, 1 visiting, 2 done
    std::vector<std::size_t> order;
    std::vector<std::size_t> cyclic;
    // Depth-first, iteratively bounded by the number of names; a name met while visiting is a
    // cycle.
    std::function<bool(std::size_t)> visit = [&](std::size_t i) {
        if (state[i] == 2) return true;
        if (state[i] == 1) return false;
        state[i] = 1;
        bool ok = true;
        if (i < dependencies.size()) {
            for (const std::string& d : dependencies[i]) {
                auto it = index.find(std::string_view(d));
                if (it != index.end() && !visit(it->second)) ok = false;
            }
        }
        state[i] = 2;
        (ok ? order : cyclic).push_back(i);
        return ok;
    };
    for (std::size_t i = 0; i < names.size(); ++i) visit(i);
    order.insert(order.end(), cyclic.begin(), cyclic.end());
    return order;
}

std::vector<QueryTranslation> translateQueries(Target target,
                                               const std::vector<SavedQuery>& queries,
                                               const ColumnMap& lookup, const NameMapper& names) {
    const std::size_t count = queries.size();
    // Every query of the batch is a query, whether or not the caller declared it.
    const Batch batch(queries);
    std::vector<std::size_t> slot(count);  // the batch entry of each query's name
    for (std::size_t i = 0; i < count; ++i) {
        slot[i] = batch.sameNames ? batch.find(queries[i].name) : i;
    }
    // Each query parsed once; the saved queries of the batch that its FROM lists read, which
    // decide the order and which queries keep their columns for others.
    std::vector<QueryStatement> parsed(count);
    std::vector<bool> parsedOk(count, false);
    std::vector<std::vector<std::string>> sources(count);
    std::vector<bool> read(count, false);  // by batch entry
    bool anyRead = false;
    std::vector<const std::string*> named;
    for (std::size_t i = 0; i < count; ++i) {
        try {
            parseQuery(queries[i].sql, parsed[i]);
        } catch (const SyntaxError&) {
            continue;  // reported when the query itself is translated
        }
        parsedOk[i] = true;
        named.clear();
        for (const SelectStatement& part : parsed[i].parts) {
            for (const auto& ref : part.from) collectSources(*ref, named);
        }
        for (const std::string* name : named) {
            const std::size_t found = batch.find(*name);
            if (found == Batch::kNone) continue;  // a table, or a query not translated here
            read[found] = true;
            anyRead = true;
            sources[i].push_back(*name);
        }
    }
    std::vector<std::size_t> order;
    if (anyRead) {
        std::vector<std::string> queryNames;
        queryNames.reserve(count);
        for (const SavedQuery& q : queries) queryNames.push_back(q.name);
        order = dependencyOrder(queryNames, sources);
    } else {
        order.resize(count);  // no query reads another: they keep their order
        for (std::size_t i = 0; i < count; ++i) order[i] = i;
    }
    FoldedViews views;
    std::vector<QueryTranslation> out;
    out.reserve(count);
    for (const std::size_t i : order) {
        // Only queries that others read keep their columns.
        const bool wanted = read[slot[i]];
        TableColumns columns;
        QueryTranslation t =
            translateOne(target, queries[i], lookup, names, views, &batch,
                         parsedOk[i] ? &parsed[i] : nullptr, wanted ? &columns : nullptr);
        if (t.ok && wanted) views.insert_or_assign(queries[i].name, std::move(columns));
        out.push_back(std::move(t));
    }
    return out;
}

}  // namespace zl::translate
