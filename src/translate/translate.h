// Translates Access expressions (defaults, validation rules, calculated columns) and saved queries
// into PostgreSQL and SQLite, keeping Access's meaning; what cannot be carried goes to a ledger.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "translate/block_pool.h"

namespace zl::translate {

// The database a translation is written for.
enum class Target { PostgreSql, Sqlite };

// "postgresql" or "sqlite": the name the ledger's JSON uses.
std::string_view targetName(Target target);

// One column as the translator needs it: its Access name, DAO type number (schema::dao::k*) and
// declared size (characters for Text, bytes for Binary, 0 otherwise). The name is a view: of the
// caller's own field, which outlives the translation, or of a copy its TableColumns keeps.
struct Column {
    std::string_view name;
    int daoType = 0;
    int size = 0;
    bool calculated = false;  // a calculated column (PostgreSQL: generated ones cannot read it)
};

// The typed columns of one table (or of a saved query's output), by Access name.
class TableColumns {
public:
    std::string name;
    std::vector<Column> columns;

    TableColumns() = default;
    TableColumns(std::string tableName, std::vector<Column> tableColumns)
        : name(std::move(tableName)), columns(std::move(tableColumns)) {}
    // A copy keeps copies of every column name, so that it stands on its own.
    TableColumns(const TableColumns& other);
    TableColumns& operator=(const TableColumns& other);
    TableColumns(TableColumns&&) noexcept = default;
    TableColumns& operator=(TableColumns&&) noexcept = default;
    ~TableColumns() = default;

    // The column whose name matches `column` without regard to case; null when there is none.
    const Column* find(std::string_view column) const;

    // A copy of `text` that lives as long as this list (moves included): for names that no one
    // else keeps, such as a view's output columns.
    std::string_view keep(std::string_view text);

private:
    std::vector<std::unique_ptr<char[]>> m_kept;
};

// Hashes and compares names as Access does, without regard to ASCII case, so that maps keyed by
// names are searched with any string_view and no folded copy of it.
struct FoldedNameHash {
    using is_transparent = void;
    // Names are hashed eight bytes at a time with the case bit (0x20) set in every byte: names
    // that differ only in the case of letters hash alike, and FoldedNameEqual tells apart the
    // few others that this makes alike.
    std::size_t operator()(std::string_view name) const noexcept {
        constexpr std::uint64_t kCaseBits = 0x2020202020202020ULL;
        constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15ULL;
        std::uint64_t hash = name.size() * kMix;
        std::size_t i = 0;
        for (; i + 8 <= name.size(); i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, name.data() + i, sizeof word);
            hash = (hash ^ (word | kCaseBits)) * kMix;
            hash ^= hash >> 29;
        }
        if (i < name.size()) {
            std::uint64_t word = 0;  // the last bytes, the first of them lowest
            for (std::size_t k = name.size(); k-- > i;) {
                word = (word << 8) | static_cast<unsigned char>(name[k]);
            }
            hash = (hash ^ (word | kCaseBits)) * kMix;
        }
        hash ^= hash >> 33;  // every bit of the result depends on every byte
        hash *= 0xFF51AFD7ED558CCDULL;
        hash ^= hash >> 33;
        return static_cast<std::size_t>(hash);
    }
};
struct FoldedNameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept {
        if (a.size() != b.size()) return false;
        if (a == b) return true;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const auto x = static_cast<unsigned char>(a[i]);
            const auto y = static_cast<unsigned char>(b[i]);
            const auto lower = static_cast<unsigned char>(x | 0x20U);
            if (x != y && (lower != (y | 0x20U) || lower < 'a' || lower > 'z')) return false;
        }
        return true;
    }
};
// A map keyed by names compared without regard to ASCII case; a key keeps its first spelling.
template <class Value>
using FoldedNameMap = std::unordered_map<std::string, Value, FoldedNameHash, FoldedNameEqual,
                                         PoolAllocator<std::pair<const std::string, Value>>>;

// Every table and saved query the caller knows, looked up by Access name without regard to case.
// The caller fills it; the translator knows nothing of the engine.
class ColumnMap {
public:
    // Adds or replaces a table. A saved query is added with addQuery (its columns are inferred).
    void addTable(TableColumns table);
    // Declares that a saved query of this name exists (so references to it are dependencies).
    void addQuery(std::string name);

    // Lets the map ask for tables it was not given when they are looked up: a caller with many
    // tables that few queries read need not make the columns of every one. `source` gives the
    // table named `name` (compared without regard to case), or null; what it gives must stay
    // valid, unchanged, as long as the map is used.
    using TableSource = std::function<const TableColumns*(std::string_view name)>;
    void setTableSource(TableSource source);

    // The table named `name`, or null.
    const TableColumns* table(std::string_view name) const;
    // True when `name` is a saved query.
    bool isQuery(std::string_view name) const;

private:
    FoldedNameMap<TableColumns> m_tables;
    FoldedNameMap<bool> m_queries;  // the saved queries' names
    TableSource m_source;
};

// Maps Access names to the target's final, quoted identifiers. The SQL targets decide renames,
// length cuts and uniqueness; the translator writes every identifier through this interface.
class NameMapper {
public:
    virtual ~NameMapper() = default;
    // The quoted identifier of table or saved query (view) `name`.
    virtual std::string object(std::string_view name) const = 0;
    // The quoted identifier of column `column` of table or saved query `owner`.
    virtual std::string column(std::string_view owner, std::string_view column) const = 0;

    // The same identifiers appended to `out`: scripts and views write thousands of them, and a
    // mapper that can write in place saves a string for each.
    virtual void appendObject(std::string& out, std::string_view name) const {
        out += object(name);
    }
    virtual void appendColumn(std::string& out, std::string_view owner,
                              std::string_view field) const {
        out += column(owner, field);
    }

    // True when every column of table `table` is written as its Access name, quoted unchanged,
    // and a view's column of the same name would be too: then a view may read the table's
    // columns as "table.*" and they keep their names. False when unsure.
    virtual bool keepsColumnNames(std::string_view /*table*/) const { return false; }
};

// A NameMapper that keeps every name and quotes it with double quotes (doubling inner quotes).
class QuotingNameMapper : public NameMapper {
public:
    std::string object(std::string_view name) const override;
    std::string column(std::string_view owner, std::string_view column) const override;
    void appendObject(std::string& out, std::string_view name) const override;
    void appendColumn(std::string& out, std::string_view owner,
                      std::string_view field) const override;
    bool keepsColumnNames(std::string_view /*table*/) const override { return true; }
};

// Appends `name` in double quotes, doubling the quotes inside.
void appendQuoted(std::string& out, std::string_view name);

// The outcome of one translation: when ok, `sql` holds the target text; otherwise `reason` says
// why it was left untranslated (parse errors give the 1-based character position).
struct Translation {
    bool ok = false;
    std::string sql;
    std::string reason;
};

// A DefaultValue: `sql` is the text that follows DEFAULT (an expression is parenthesised).
Translation translateDefault(Target target, std::string_view text, const Column& column,
                             const TableColumns& table, const NameMapper& names);

// A field ValidationRule, whose left operand is the field itself (">=0", "Is Null Or >0"):
// `sql` is the whole "CHECK (...)" clause.
Translation translateFieldRule(Target target, std::string_view rule, const Column& column,
                               const TableColumns& table, const NameMapper& names);

// A table ValidationRule: `sql` is the whole "CHECK (...)" clause.
Translation translateTableRule(Target target, std::string_view rule, const TableColumns& table,
                               const NameMapper& names);

// A calculated column's expression: `sql` is "GENERATED ALWAYS AS (...) STORED" (PostgreSQL, which
// requires an immutable expression) or "GENERATED ALWAYS AS (...) VIRTUAL" (SQLite).
Translation translateCalculated(Target target, std::string_view expression, const Column& column,
                                const TableColumns& table, const NameMapper& names);

// AllowZeroLength = False on a Text or Memo column: "CHECK (<column> <> '')".
Translation allowZeroLengthCheck(Target target, const Column& column, const TableColumns& table,
                                 const NameMapper& names);

// The writer's forms of translateDefault, translateFieldRule and allowZeroLengthCheck: on success
// `lead` and the text are appended to `out` and the result's sql stays empty, which spares a
// string per column; on failure `out` is unchanged and the result gives the reason.
// The translation of a default as it is kept for later fields, for a writer that copies its sql
// itself: valid until the next translation.
const Translation& keptDefault(Target target, std::string_view text, const Column& column,
                               const TableColumns& table, const NameMapper& names);
Translation appendDefault(std::string& out, std::string_view lead, Target target,
                          std::string_view text, const Column& column, const TableColumns& table,
                          const NameMapper& names);
Translation appendFieldRule(std::string& out, std::string_view lead, Target target,
                            std::string_view rule, const Column& column, const TableColumns& table,
                            const NameMapper& names);
Translation appendAllowZeroLengthCheck(std::string& out, std::string_view lead, Target target,
                                       const Column& column, const TableColumns& table,
                                       const NameMapper& names);

// The same checks in pieces, for a writer that assembles a column's text itself and has the
// column's identifier at hand.
//
// A kept field rule: the "CHECK (...)" clause (or, not ok, the reason) with the field's identifier
// to be written at each position of `open`. Null `translation` when the rule names a field and has
// no kept form: appendFieldRule translates it in full. Valid until the next translation.
struct KeptFieldRule {
    const Translation* translation = nullptr;
    const std::vector<std::size_t>* open = nullptr;
};
KeptFieldRule keptFieldRule(Target target, std::string_view rule, const Column& column);

// AllowZeroLength = False: whether the column takes the check, and its text around the
// column's identifier.
bool zeroLengthCheckApplies(const Column& column);
inline constexpr std::string_view kZeroLengthCheckOpen = "CHECK (";
inline constexpr std::string_view kZeroLengthCheckClose = " <> '')";

// A saved query as the engine gives it: QueryDef.SQL and QueryDef.Type (schema::dao::kQuery*).
struct SavedQuery {
    std::string name;
    std::string sql;
    int daoType = 0;
};

// One translated query: when ok, `sql` is a complete statement ending with ";" (CREATE VIEW, or
// for a parameter query on PostgreSQL, CREATE FUNCTION); `dependencies` are the Access names of
// the saved queries it reads, which must be created first. When not ok, `reason` says why.
struct QueryTranslation {
    bool ok = false;
    std::string name;
    std::string sql;
    std::string reason;
    std::vector<std::string> dependencies;
    bool isFunction = false;
};

// Translates one saved query. References to other saved queries are resolved through `lookup`
// (their columns are untyped here); prefer translateQueries for a whole database.
QueryTranslation translateQuery(Target target, const SavedQuery& query, const ColumnMap& lookup,
                                const NameMapper& names);

// Translates every query, returning them in dependency order (a query after those it reads).
// Output column types of earlier views are inferred and used by later ones. A query in a cycle, or
// that reads an untranslated query, is returned not ok with the reason.
std::vector<QueryTranslation> translateQueries(Target target,
                                               const std::vector<SavedQuery>& queries,
                                               const ColumnMap& lookup, const NameMapper& names);

// Orders `names` so that each comes after its dependencies (`dependencies[i]` are those of
// names[i]); names in a cycle come last in their given order. Returns indices into `names`.
std::vector<std::size_t> dependencyOrder(const std::vector<std::string>& names,
                                         const std::vector<std::vector<std::string>>& dependencies);

// One thing a script could not carry: the object (table and field, or query), the property
// ("DefaultValue", "ValidationRule", "Expression", "SQL", ...), its original text and why.
struct LedgerItem {
    std::optional<std::string> table;
    std::optional<std::string> field;
    std::optional<std::string> query;
    std::string property;
    std::string original;
    std::string reason;
};

// Everything left untranslated for one target.
struct Ledger {
    Target target = Target::PostgreSql;
    std::vector<LedgerItem> items;

    // {"target": "postgresql", "items": [{"table": ..., "field": ..., "query": null,
    //  "property": ..., "original": ..., "reason": ...}]}; absent objects are null.
    std::string toJson() const;
};

// Renders `text` as SQL line comments ("-- ..." per line, each ending with "\n"). Line breaks and
// other control characters in the text cannot end the comment early; invalid UTF-8 is replaced.
std::string sqlComment(std::string_view text);

// The comment that stands where an untranslated item's statement would have been.
std::string ledgerComment(const LedgerItem& item);

}  // namespace zl::translate
