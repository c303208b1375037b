// The PostgreSQL and SQLite scripts. Both targets share one writer: they differ in types, in
// where foreign keys stand (PostgreSQL: ALTER TABLE after every table; SQLite: inside CREATE
// TABLE) and in how AutoNumber and descriptions are written.
#include "sqlgen/target_script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <unordered_map>
#include <unordered_set>

#include "schema/engine.h"
#include "sqlgen/target_names.h"
#include "sqlgen/target_schema.h"
#include "support/encoding.h"

namespace zl::sqlgen {

namespace {

namespace dao = schema::dao;
using namespace std::string_view_literals;
using translate::LedgerItem;
using translate::Target;

std::string folded(std::string_view name) {
    std::string text(name);
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

template <class F>
bool isAutoNumber(const F& field) {
    return field.type == dao::kLong && (field.attributes & dao::kAutoIncrField) != 0;
}

// A GUID AutoNumber: DAO marks it with the default value GenGUID().
template <class F>
bool isGuidAutoNumber(const F& field) {
    return field.type == dao::kGuid && ((field.attributes & dao::kAutoIncrField) != 0 ||
                                        folded(field.defaultValue) == "genguid()");
}

// Copies `piece` to `to`: pieces of up to 32 bytes (names, keywords, types) with a few moves of
// eight bytes, which may overlap, instead of a library call.
[[gnu::always_inline]] inline void copyPiece(char* to, std::string_view piece) {
    const char* from = piece.data();
    const std::size_t n = piece.size();
    auto move8 = [](char* dst, const char* src) {
        std::uint64_t word = 0;
        std::memcpy(&word, src, sizeof word);
        std::memcpy(dst, &word, sizeof word);
    };
    auto move4 = [](char* dst, const char* src) {
        std::uint32_t word = 0;
        std::memcpy(&word, src, sizeof word);
        std::memcpy(dst, &word, sizeof word);
    };
    if (n >= 8 && n <= 16) {
        move8(to, from);
        move8(to + n - 8, from + n - 8);
    } else if (n > 16 && n <= 32) {
        move8(to, from);
        move8(to + 8, from + 8);
        move8(to + n - 16, from + n - 16);
        move8(to + n - 8, from + n - 8);
    } else if (n > 32) {
        std::copy_n(from, n, to);
    } else if (n >= 4) {
        move4(to, from);
        move4(to + n - 4, from + n - 4);
    } else if (n > 0) {
        // One, two or three bytes: the first, the middle and the last, which may coincide.
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
}

// One column definition assembled before it goes into the script whole: the writer's own
// pieces are copied by copyPiece, and the room is checked once per piece instead of by every
// string operation. Its storage is kept from column to column.
class LineBuffer {
public:
    void clear() { m_size = 0; }
    std::size_t size() const { return m_size; }
    std::string_view view() const { return {m_room.get(), m_size}; }
    std::string_view view(std::size_t at, std::size_t count) const {
        return {m_room.get() + at, count};
    }

    [[gnu::always_inline]] LineBuffer& operator+=(std::string_view piece) {
        if (m_size + piece.size() > m_capacity) piece = grow(piece);
        copyPiece(m_room.get() + m_size, piece);
        m_size += piece.size();
        return *this;
    }
    [[gnu::always_inline]] LineBuffer& operator+=(char c) {
        if (m_size + 1 > m_capacity) grow(std::string_view(&c, 1));
        m_room[m_size++] = c;
        return *this;
    }
    LineBuffer& append(const char* text, std::size_t count) {
        return *this += std::string_view(text, count);
    }

private:
    // Makes room for `piece`, which may be a part of the line itself: it is returned where it
    // stands after the move.
    std::string_view grow(std::string_view piece) {
        const std::size_t capacity = std::max(2 * m_capacity, m_size + piece.size());
        auto room = std::make_unique_for_overwrite<char[]>(capacity);
        std::copy_n(m_room.get(), m_size, room.get());
        const std::less_equal<> notAfter;
        const bool inside = notAfter(m_room.get(), piece.data()) &&
                            notAfter(piece.data() + piece.size(), m_room.get() + m_size);
        if (inside) piece = {room.get() + (piece.data() - m_room.get()), piece.size()};
        m_room = std::move(room);
        m_capacity = capacity;
        return piece;
    }
    std::unique_ptr<char[]> m_room = std::make_unique_for_overwrite<char[]>(512);
    std::size_t m_capacity = 512;
    std::size_t m_size = 0;
};

// Appends the decimal digits of `value`.
template <class Out>
void appendNumber(Out& out, long long value) {
    char digits[40];  // more than any number needs: the line copies pieces in words
    const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

// Appends the PostgreSQL column type of `field`; nothing for a type the scripts do not carry.
template <class Out, class F>
void appendPostgresType(Out& out, const F& field) {
    std::string_view type;
    switch (field.type) {
        case dao::kBoolean:
            type = "boolean";
            break;
        case dao::kByte:
        case dao::kInteger:
            type = "smallint";
            break;
        case dao::kLong:
            type = "integer";
            break;
        case dao::kCurrency:
            type = "numeric(19,4)";
            break;
        case dao::kSingle:
            type = "real";
            break;
        case dao::kDouble:
            type = "double precision";
            break;
        case dao::kDate:
            type = "timestamp";
            break;
        case dao::kText:
            // A declared size of 0 is no varchar length; Access's own largest size stands in.
            out += "varchar("sv;
            appendNumber(out, field.size > 0 ? field.size : 255);
            out += ')';
            return;
        case dao::kMemo:
            type = "text";
            break;
        case dao::kBinary:
        case dao::kLongBinary:
            type = "bytea";
            break;
        case dao::kGuid:
            type = "uuid";
            break;
        case dao::kBigInt:
            type = "bigint";
            break;
        case dao::kExtendedDate:
            type = "timestamp(6)";
            break;
        case dao::kDecimal: {
            const int precision = field.precision.value_or(18);
            const int scale = field.scale.value_or(0);
            if (precision < 1 || precision > 1000 || scale < 0 || scale > precision) {
                type = "numeric";
                break;
            }
            out += "numeric("sv;
            appendNumber(out, precision);
            out += ',';
            appendNumber(out, scale);
            out += ')';
            return;
        }
        default:
            return;
    }
    out += type;
}

template <class F>
std::string_view sqliteType(const F& field) {
    switch (field.type) {
        case dao::kBoolean:
        case dao::kByte:
        case dao::kInteger:
        case dao::kLong:
        case dao::kBigInt:
            return "INTEGER";
        case dao::kSingle:
        case dao::kDouble:
            return "REAL";
        case dao::kBinary:
        case dao::kLongBinary:
            return "BLOB";
        default:
            // Text, Memo, dates, GUIDs, and Currency and Decimal as exact decimal text.
            return "TEXT";
    }
}

// Type families whose columns a foreign key can join. PostgreSQL joins a key only within one
// operator family: its integers, its floating-point types and numeric are three. SQLite would
// compare any numbers, but both scripts keep the same keys.
int typeFamily(int daoType) {
    switch (daoType) {
        case dao::kByte:
        case dao::kInteger:
        case dao::kLong:
        case dao::kBigInt:
            return 1;
        case dao::kSingle:
        case dao::kDouble:
            return 5;
        case dao::kCurrency:
        case dao::kDecimal:
            return 6;
        case dao::kText:
        case dao::kMemo:
            return 2;
        case dao::kDate:
        case dao::kExtendedDate:
            return 3;
        case dao::kBinary:
        case dao::kLongBinary:
            return 4;
        default:
            return 10 + daoType;
    }
}

std::string typeName(int daoType) {
    switch (daoType) {
        case dao::kComplex:
            return "attachment or multi-valued field";
        case dao::kExtendedDate:
            return "Date/Time Extended";
        default:
            return "field of type " + std::to_string(daoType);
    }
}

// A single-quoted SQL string literal in valid UTF-8 without NUL.
std::string stringLiteral(std::string_view text) {
    std::string literal = "'";
    for (char c : support::toValidUtf8(text)) {
        if (c == '\0') continue;
        if (c == '\'') literal.push_back('\'');
        literal.push_back(c);
    }
    literal.push_back('\'');
    return literal;
}

// A random version-4 UUID in SQLite, lowercase without braces like every GUID the scripts hold.
constexpr std::string_view kSqliteUuid =
    "(lower(hex(randomblob(4))) || '-' || lower(hex(randomblob(2))) || '-4' || "
    "substr(lower(hex(randomblob(2))), 2) || '-' || substr('89ab', 1 + (abs(random()) % 4), 1) || "
    "substr(lower(hex(randomblob(2))), 2) || '-' || lower(hex(randomblob(6))))";

// One entry of a CREATE TABLE list, with the comments that stand before it.
struct ListEntry {
    std::string comments;
    std::string text;
};

// The entries of one CREATE TABLE list, written straight into the script as they are added:
// commas go between the entries with text; entries without text carry only comments.
struct EntryList {
    std::string* text = nullptr;  // the script; the list is its end
    bool keepTexts = true;        // false: only the comments are written (the table is left out)
    std::size_t lastTextEnd = std::string::npos;

    void reset(std::string& out, bool texts) {
        text = &out;
        keepTexts = texts;
        lastTextEnd = std::string::npos;
    }
    void add(std::string_view comments, std::string_view entryText) {
        *text += comments;
        if (entryText.empty() || !keepTexts) return;
        if (lastTextEnd != std::string::npos) text->insert(lastTextEnd, 1, ',');
        *text += entryText;
        lastTextEnd = text->size();
        *text += '\n';
    }
    void add(const ListEntry& entry) { add(entry.comments, entry.text); }
    // Adds an entry whose text `line` holds with a newline on each side (or an empty line for
    // an entry without text). Most entries follow one another without comments between: the
    // entry before gets its comma and the line goes in whole.
    void addLine(std::string_view comments, std::string_view line) {
        std::string& out = *text;
        if (!line.empty() && comments.empty() && keepTexts && lastTextEnd != std::string::npos &&
            lastTextEnd + 1 == out.size()) {
            out.back() = ',';  // "text\n" becomes "text," and the line brings the newline
            out += line;
            lastTextEnd = out.size() - 1;
            return;
        }
        add(comments, line.empty() ? line : line.substr(1, line.size() - 2));
    }
};

struct TablePlan {
    const TargetTable* table = nullptr;
    bool created = false;
    bool anyColumn = false;  // whether some selected field becomes a column

    // Whether the selected field `name` becomes a column.
    bool carries(std::string_view name) const {
        const TargetField* field = table->findField(name);
        return field != nullptr && carriesColumn(*field);
    }
    const TargetIndex* primary = nullptr;
    bool primaryCarried = false;
    bool rowidAutoNumber = false;  // SQLite: the AutoNumber is the INTEGER PRIMARY KEY
    std::vector<std::vector<std::string>> keys;     // carried unique keys, as folded column lists
    std::vector<std::vector<std::string>> leading;  // carried indexes' column lists (coverage)
};

struct ForeignKeyPlan {
    const schema::Relation* relation = nullptr;
    std::string constraint;  // "CONSTRAINT ... FOREIGN KEY ..." when carried
    std::string reason;      // why not, otherwise
};

class ScriptWriter {
public:
    ScriptWriter(Target target, const TargetSchema& schema)
        : m_target(target), m_schema(schema), m_names(target, schema) {
        m_result.ledger.target = target;
    }

    TargetScript run();

private:
    bool pg() const { return m_target == Target::PostgreSql; }
    void note(LedgerItem item, std::string& out, std::string_view indent = {});
    LedgerItem tableItem(const TargetTable& table, std::string property, std::string original,
                         std::string reason) const;

    void planTables();
    // The created table that `name` stands for, or null.
    const TargetTable* createdNamed(std::string_view name) const;
    void planForeignKeys();
    std::string missingColumn(const TablePlan& plan, std::string_view field) const;
    // The identifier of the column of the table of `plan` that `field` names without regard to
    // case, written from the field's own name: PostgreSQL tells quoted names apart by case.
    std::string columnOf(const TablePlan& plan, std::string_view field) const {
        const TargetField* found = plan.table->findField(field);
        return m_names.column(plan.table->name, found != nullptr ? found->name : field);
    }
    std::string missingColumn(const TablePlan& plan, const KeyColumn& column) const {
        return column.carried ? std::string{} : missingColumn(plan, column.name);
    }
    void writeTable(const TablePlan& plan);
    // `plainColumns`: the table writes every column name as it is, in quotes.
    // The column's definition is left in m_line, with a newline on each side; nothing when the
    // field becomes no column.
    void writeColumn(const TablePlan& plan, const TargetField& field, bool plainColumns,
                     std::string& comments);
    // The typed columns that names in the expressions of the table being written stand for;
    // and the same list's name alone, which is all a default (that reads no field) needs.
    const translate::TableColumns& tableColumns() const {
        return m_columnsOwner != nullptr ? m_columnsOwner->columns : m_noColumns;
    }
    const translate::TableColumns& namedTable() const { return m_tableName; }
    // `tableName`: the table's quoted identifier; `indexNames`: its index names.
    // `plainColumns` as for writeColumn.
    void writeIndex(const TablePlan& plan, const TargetIndex& index, std::string_view tableName,
                    const TargetNames::IndexNames* indexNames, bool plainColumns);
    // Appends the identifier of a key column of the table being written, from the name of the
    // field it matches without regard to case (PostgreSQL tells quoted names apart by case).
    void appendKeyColumn(std::string& out, const TargetTable& table, const KeyColumn& column,
                         bool plainColumns) const {
        if (column.field == nullptr) {
            m_names.appendColumn(out, table.name, column.name);
        } else if (plainColumns) {
            // The column's own name, which the table keeps as it is (see writeColumn).
            out += '"';
            out += column.field->name;
            out += '"';
        } else {
            m_names.appendColumn(out, table.name, column.field->name);
        }
    }
    void writeForeignKeys();
    void writeViews();

    Target m_target;
    const TargetSchema& m_schema;
    TargetNames m_names;
    TargetScript m_result;
    translate::ColumnMap m_columnMap;
    translate::TableColumns m_noColumns;
    const TargetTable* m_columnsOwner = nullptr;  // the table being written, see tableColumns()
    bool m_columnComments = false;        // PostgreSQL: a column of the table has a description
    translate::TableColumns m_tableName;  // its name alone
    // Names compared without regard to ASCII case, as Access compares them.
    struct FoldedHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return foldedNameHash(name); }
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const {
            return sameAccessName(a, b);
        }
    };
    // Created tables by name: positions in m_plans.
    std::unordered_map<std::string_view, std::size_t, FoldedHash, FoldedEqual> m_createdByName;
    std::vector<TablePlan> m_plans;
    std::vector<ForeignKeyPlan> m_foreignKeys;
    EntryList m_entries;  // the CREATE TABLE list being written, and its room kept
    ListEntry m_entry;
    // The identifier of the column being written: at most 63 bytes, each quote doubled, and
    // the two quotes around.
    LineBuffer m_line;      // the column being written
    std::string m_scratch;  // what the translator and the names give the line
    std::string m_out;
};

const TablePlan* findPlan(const std::vector<TablePlan>& plans, std::string_view name) {
    for (const TablePlan& plan : plans) {
        if (sameAccessName(plan.table->name, name)) return &plan;
    }
    return nullptr;
}

std::vector<std::string> foldedColumns(std::span<const KeyColumn> columns) {
    std::vector<std::string> names;
    names.reserve(columns.size());
    for (const KeyColumn& column : columns) names.push_back(folded(column.name));
    return names;
}

bool sameSet(std::vector<std::string> a, std::vector<std::string> b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

void ScriptWriter::note(LedgerItem item, std::string& out, std::string_view indent) {
    const std::string comment = translate::ledgerComment(item);
    // Each comment line keeps the indentation of the statement it stands for.
    std::size_t start = 0;
    while (start < comment.size()) {
        const std::size_t end = comment.find('\n', start);
        out.append(indent).append(comment, start, end - start + 1);
        start = end + 1;
    }
    m_result.ledger.items.push_back(std::move(item));
}

LedgerItem ScriptWriter::tableItem(const TargetTable& table, std::string property,
                                   std::string original, std::string reason) const {
    LedgerItem item;
    item.table = table.name;
    item.property = std::move(property);
    item.original = std::move(original);
    item.reason = std::move(reason);
    return item;
}

void ScriptWriter::planTables() {
    // Key and coverage lists serve foreign keys only: they are made for the tables that
    // relations name.
    std::unordered_set<std::string_view, FoldedHash, FoldedEqual> related;
    for (const schema::Relation& relation : m_schema.relations) {
        related.insert(relation.table);
        related.insert(relation.foreignTable);
    }
    for (const TargetTable& table : m_schema.tables) {
        TablePlan plan;
        plan.table = &table;
        plan.anyColumn = !table.columns.columns.empty();  // the fields that become columns
        plan.created = !table.linked && table.unreadable.empty() && plan.anyColumn;
        // The columns of a created table are what names of its kind stand for (the last one
        // wins when names differ only in case).
        if (plan.created) m_createdByName[table.name] = m_plans.size();
        for (const TargetIndex& index : table.indexes) {
            if (!index.index.primary || plan.primary != nullptr) continue;
            plan.primary = &index;
            plan.primaryCarried = plan.created && !index.columns.empty();
            for (const KeyColumn& column : index.columns) {
                plan.primaryCarried = plan.primaryCarried && column.carried;
            }
        }
        if (plan.primary != nullptr && plan.primaryCarried && !pg() &&
            plan.primary->columns.size() == 1) {
            const TargetField* field = plan.primary->columns[0].field;
            plan.rowidAutoNumber = field != nullptr && isAutoNumber(*field);
        }
        if (!related.contains(table.name)) {
            m_plans.push_back(std::move(plan));
            continue;
        }
        if (plan.primaryCarried) {
            plan.keys.push_back(foldedColumns(plan.primary->columns));
            plan.leading.push_back(plan.keys.back());
        }
        for (const TargetIndex& index : table.indexes) {
            if (index.index.primary || index.index.foreign || index.columns.empty()) continue;
            bool carried = plan.created;
            for (const KeyColumn& column : index.columns) {
                carried = carried && column.carried;
            }
            if (!carried) continue;
            if (!index.index.ignoreNulls) {
                plan.leading.push_back(foldedColumns(index.columns));
                if (index.index.unique) plan.keys.push_back(plan.leading.back());
            }
        }
        m_plans.push_back(std::move(plan));
    }
    for (const TargetQuery& query : m_schema.queries) m_columnMap.addQuery(query.name);
    // Queries read the columns the reader made for each table, as they are.
    m_columnMap.setTableSource([this](std::string_view name) -> const translate::TableColumns* {
        const TargetTable* table = createdNamed(name);
        return table != nullptr ? &table->columns : nullptr;
    });
}

const TargetTable* ScriptWriter::createdNamed(std::string_view name) const {
    const auto found = m_createdByName.find(name);
    return found == m_createdByName.end() ? nullptr : m_plans[found->second].table;
}

std::string ScriptWriter::missingColumn(const TablePlan& plan, std::string_view field) const {
    if (field.empty() || plan.carries(field)) return {};
    const std::string quoted = "\"" + std::string(field) + "\"";
    if (plan.table->isLeftOut(field)) return "the field " + quoted + " is not selected";
    if (plan.table->findField(field) != nullptr) return "the field " + quoted + " is not carried";
    return "the table has no field " + quoted;
}

void ScriptWriter::planForeignKeys() {
    for (const schema::Relation& relation : m_schema.relations) {
        const TablePlan* one = findPlan(m_plans, relation.table);
        const TablePlan* many = findPlan(m_plans, relation.foreignTable);
        // Relations between tables that are not selected (system tables among them) are no
        // part of this script.
        if (one == nullptr && many == nullptr) continue;
        ForeignKeyPlan plan;
        plan.relation = &relation;
        std::vector<std::string> referenced;
        for (const schema::RelationField& field : relation.fields) {
            referenced.push_back(folded(field.name));
        }
        if (one == nullptr || many == nullptr) {
            plan.reason = "the table \"" +
                          (one == nullptr ? relation.table : relation.foreignTable) +
                          "\" is not selected";
        } else if (!one->created || !many->created) {
            plan.reason = "the table \"" +
                          (!one->created ? relation.table : relation.foreignTable) +
                          "\" is not carried";
        } else if ((relation.attributes & dao::kRelationDontEnforce) != 0) {
            plan.reason = "Access does not enforce this relationship";
        } else if (relation.fields.empty()) {
            plan.reason = "the relationship has no fields";
        }
        for (const schema::RelationField& field : relation.fields) {
            if (!plan.reason.empty()) break;
            plan.reason = missingColumn(*one, field.name);
            if (plan.reason.empty()) plan.reason = missingColumn(*many, field.foreignName);
            if (!plan.reason.empty()) break;
            const TargetField* a = one->table->findField(field.name);
            const TargetField* b = many->table->findField(field.foreignName);
            if (typeFamily(a->type) != typeFamily(b->type)) {
                plan.reason = "the fields \"" + field.name + "\" and \"" + field.foreignName +
                              "\" have types that cannot be compared";
            }
        }
        if (plan.reason.empty() &&
            std::none_of(one->keys.begin(), one->keys.end(),
                         [&](const auto& key) { return sameSet(key, referenced); })) {
            plan.reason = "no primary key or unique index over the referenced fields is carried";
        }
        if (plan.reason.empty()) {
            std::string text = "CONSTRAINT " +
                               TargetNames::quote(m_names.relationName(relation.name)) +
                               " FOREIGN KEY (";
            std::string target;
            for (std::size_t i = 0; i < relation.fields.size(); ++i) {
                if (i > 0) {
                    text += ", "sv;
                    target += ", "sv;
                }
                text += columnOf(*many, relation.fields[i].foreignName);
                target += columnOf(*one, relation.fields[i].name);
            }
            text += ") REFERENCES " + m_names.object(relation.table) + " (" + target + ")";
            if ((relation.attributes & dao::kRelationUpdateCascade) != 0) {
                text += " ON UPDATE CASCADE"sv;
            }
            if ((relation.attributes & dao::kRelationDeleteCascade) != 0) {
                text += " ON DELETE CASCADE"sv;
            } else if ((relation.attributes & dao::kRelationDeleteSetNull) != 0) {
                text += " ON DELETE SET NULL"sv;
            }
            plan.constraint = std::move(text);
        }
        m_foreignKeys.push_back(std::move(plan));
    }
}

void ScriptWriter::writeColumn(const TablePlan& plan, const TargetField& field, bool plainColumns,
                               std::string& comments) {
    const TargetTable& table = *plan.table;
    auto fieldItem = [&](std::string property, std::string_view original, std::string reason) {
        LedgerItem item =
            tableItem(table, std::move(property), std::string(original), std::move(reason));
        item.field = std::string(field.name);
        return item;
    };
    if (!carriesColumn(field)) {
        m_line.clear();
        note(fieldItem("Type", typeName(field.type),
                       "no column can hold it; its data is not carried"),
             comments, "  ");
        return;
    }
    if (!field.description.empty()) {
        if (pg()) {
            m_columnComments = true;  // written after the table
        } else {
            comments += "  " + translate::sqlComment(field.description);
        }
    }
    translate::Column column{field.name, field.type, field.size, field.calculated};
    const bool inPrimary = plan.primaryCarried &&
                           std::any_of(plan.primary->columns.begin(), plan.primary->columns.end(),
                                       [&](const KeyColumn& key) { return key.field == &field; });
    // The column's identifier, written once; the checks below repeat it. The definition is
    // assembled in m_line, which the list takes whole.
    LineBuffer& line = m_line;
    line.clear();
    constexpr std::size_t nameAt = 3;  // after "\n  "
    std::size_t nameSize = 0;
    if (plainColumns) {
        // The name as it is, which the table keeps (see TargetNames).
        line += "\n  \""sv;
        line += field.name;
        line += R"(" )"sv;
        nameSize = field.name.size() + 2;
    } else {
        m_scratch.clear();
        m_names.appendColumn(m_scratch, table.name, field.name);
        line += "\n  "sv;
        line += m_scratch;
        line += ' ';
        nameSize = m_scratch.size();
    }
    // The checks below repeat the identifier from the line (which may move as it grows, so it is
    // taken anew each time).
    auto quotedName = [&line, nameSize] { return line.view(nameAt, nameSize); };
    if (pg()) {
        appendPostgresType(line, field);
    } else {
        line += sqliteType(field);
    }

    bool generated = false;
    if (field.calculated) {
        translate::Translation t = translate::translateCalculated(m_target, field.expression,
                                                                  column, tableColumns(), m_names);
        if (t.ok) {
            line += ' ';
            line += t.sql;
            generated = true;
        } else {
            note(fieldItem("Expression", field.expression,
                           t.reason + "; kept as a plain column that holds the values Access "
                                      "computed"),
                 comments, "  ");
        }
    }
    if (plan.rowidAutoNumber && inPrimary) {
        line += " PRIMARY KEY"sv;  // the rowid: SQLite numbers it as AutoNumber does
    } else if (isAutoNumber(field)) {
        if (pg()) {
            line += " GENERATED BY DEFAULT AS IDENTITY"sv;
        } else {
            note(fieldItem("Attributes", "AutoNumber",
                           "SQLite numbers only a single-column INTEGER PRIMARY KEY; the column "
                           "is a plain INTEGER"),
                 comments, "  ");
        }
    }
    if (!generated && (field.required || inPrimary)) line += " NOT NULL"sv;

    if (isGuidAutoNumber(field)) {
        line += " DEFAULT "sv;
        line += pg() ? std::string_view("gen_random_uuid()") : kSqliteUuid;
    } else if (!generated && !isAutoNumber(field) && !field.defaultValue.empty()) {
        const translate::Translation& t =
            translate::keptDefault(m_target, field.defaultValue, column, namedTable(), m_names);
        if (t.ok) {
            line += " DEFAULT "sv;
            line += t.sql;
        } else {
            note(fieldItem("DefaultValue", field.defaultValue, t.reason), comments, "  ");
        }
    }
    if (field.type == dao::kExtendedDate && pg()) {
        note(fieldItem("Type", typeName(field.type),
                       "timestamp(6) keeps microseconds; a seventh fractional digit is lost"),
             comments, "  ");
    }
    if (!generated) {
        if (field.type == dao::kByte && pg()) {
            line += " CHECK ("sv;
            line += quotedName();
            line += " BETWEEN 0 AND 255)"sv;
        }
        if (field.type == dao::kBoolean && !pg()) {
            line += " CHECK ("sv;
            line += quotedName();
            line += " IN (0, 1))"sv;
        }
        if (field.type == dao::kText && !pg() && field.size > 0) {
            line += " CHECK (length("sv;
            line += quotedName();
            line += ") <= "sv;
            appendNumber(line, field.size);
            line += ')';
        }
        if (!field.validationRule.empty()) {
            // Most rules are kept with the field open: the line writes the identifier itself.
            const translate::KeptFieldRule kept =
                translate::keptFieldRule(m_target, field.validationRule, column);
            if (kept.translation != nullptr && kept.translation->ok) {
                const std::string_view sql = kept.translation->sql;
                line += ' ';
                std::size_t start = 0;
                for (const std::size_t open : *kept.open) {
                    line += sql.substr(start, open - start);
                    line += quotedName();
                    start = open + 1;
                }
                line += sql.substr(start);
            } else if (kept.translation != nullptr) {
                note(fieldItem("ValidationRule", field.validationRule, kept.translation->reason),
                     comments, "  ");
            } else {
                m_scratch.clear();
                translate::Translation t =
                    translate::appendFieldRule(m_scratch, " ", m_target, field.validationRule,
                                               column, tableColumns(), m_names);
                line += m_scratch;
                if (!t.ok) {
                    note(fieldItem("ValidationRule", field.validationRule, t.reason), comments,
                         "  ");
                }
            }
        }
        if (!field.allowZeroLength && (field.type == dao::kText || field.type == dao::kMemo)) {
            if (translate::zeroLengthCheckApplies(column)) {
                line += ' ';
                line += translate::kZeroLengthCheckOpen;
                line += quotedName();
                line += translate::kZeroLengthCheckClose;
            } else {
                m_scratch.clear();
                const translate::Translation t = translate::appendAllowZeroLengthCheck(
                    m_scratch, " ", m_target, column, tableColumns(), m_names);
                note(fieldItem("AllowZeroLength", "False", t.reason), comments, "  ");
            }
        }
    }
    line += '\n';
}

void ScriptWriter::writeTable(const TablePlan& plan) {
    const TargetTable& table = *plan.table;
    if (table.linked) {
        note(tableItem(table, "Connect", "linked table",
                       "a linked table's data lives in another database; it is left out"),
             m_out);
        m_out += "\n"sv;
        return;
    }
    if (!table.unreadable.empty()) {
        note(tableItem(table, "TableDef", "", "the table cannot be read: " + table.unreadable),
             m_out);
        m_out += "\n"sv;
        return;
    }
    const auto position = static_cast<std::size_t>(&table - m_schema.tables.data());
    std::string tableName;
    m_names.appendTableAt(tableName, position);
    if (!pg() && !table.description.empty()) m_out += translate::sqlComment(table.description);

    // The typed columns that names in the table's own expressions stand for are those of the
    // created table of its name (the last one, when names differ only in case).
    m_columnsOwner = createdNamed(table.name);
    m_tableName.name = m_columnsOwner != nullptr ? std::string_view(m_columnsOwner->name) : "";
    // A created table's list is written in place after its heading; a left-out table's comments
    // alone stand where it would have.
    if (plan.created) m_out.append("CREATE TABLE "sv).append(tableName).append(" (\n"sv);
    EntryList& entries = m_entries;
    entries.reset(m_out, plan.created);
    std::string& comments = m_entry.comments;
    // A table that keeps its column names, all plain and without quotes, has them written as
    // they are.
    const bool plainColumns =
        m_names.keepsColumnNamesAt(position) && table.plainFieldNames && !table.quotedFieldName;
    m_columnComments = false;
    for (const TargetField& field : table.fields) {
        comments.clear();
        writeColumn(plan, field, plainColumns, comments);
        entries.addLine(comments, m_line.view());
    }
    for (const std::string& name : table.duplicateFields) {
        ListEntry entry;
        LedgerItem item = tableItem(table, "Name", name,
                                    "another field of the table has the same name; left out");
        item.field = name;
        note(std::move(item), entry.comments, "  ");
        entries.add(entry);
    }
    if (!plan.created) {
        // Every field left out: neither engine has a table without columns worth making.
        note(tableItem(table, "Fields", "",
                       "no selected field can be carried; the table is left out"),
             m_out);
        m_out += "\n"sv;
        return;
    }
    if (plan.primary != nullptr && !plan.primaryCarried) {
        std::string reason = "the primary key has no fields";
        for (const KeyColumn& column : plan.primary->columns) {
            if (std::string missing = missingColumn(plan, column); !missing.empty()) {
                reason = missing;
                break;
            }
        }
        ListEntry entry;
        note(tableItem(table, "Index", plan.primary->index.name, reason), entry.comments, "  ");
        entries.add(entry.comments, {});
    } else if (plan.primary != nullptr && !plan.rowidAutoNumber) {
        std::string& text = m_scratch;
        text.assign("  CONSTRAINT "sv);
        m_names.appendIndexName(text, m_names.indexNamesAt(position), table.name,
                                plan.primary->index.name);
        text += " PRIMARY KEY ("sv;
        for (std::size_t i = 0; i < plan.primary->columns.size(); ++i) {
            if (i > 0) text += ", "sv;
            appendKeyColumn(text, table, plan.primary->columns[i], plainColumns);
        }
        text += ')';
        entries.add({}, text);
    }
    if (!table.validationRule.empty()) {
        translate::Translation t =
            translate::translateTableRule(m_target, table.validationRule, tableColumns(), m_names);
        if (t.ok) {
            entries.add({}, "  " + t.sql);
        } else {
            ListEntry entry;
            note(tableItem(table, "ValidationRule", table.validationRule, t.reason), entry.comments,
                 "  ");
            entries.add(entry.comments, {});
        }
    }
    if (!pg()) {
        for (const ForeignKeyPlan& fk : m_foreignKeys) {
            if (!fk.constraint.empty() && sameAccessName(fk.relation->foreignTable, table.name)) {
                entries.add({}, "  " + fk.constraint);
            }
        }
    }

    m_out += ");\n"sv;

    if (pg()) {
        if (!table.description.empty()) {
            m_out +=
                "COMMENT ON TABLE " + tableName + " IS " + stringLiteral(table.description) + ";\n";
        }
        for (const TargetField& field : table.fields) {
            if (!m_columnComments) break;  // no column has a description
            if (field.description.empty() || !carriesColumn(field)) continue;
            m_out += "COMMENT ON COLUMN " + tableName + "." +
                     m_names.column(table.name, field.name) + " IS " +
                     stringLiteral(field.description) + ";\n";
        }
    }
    const TargetNames::IndexNames* indexNames = m_names.indexNamesAt(position);
    for (const TargetIndex& index : table.indexes) {
        if (index.index.primary || index.index.foreign) continue;
        writeIndex(plan, index, tableName, indexNames, plainColumns);
    }
    for (const std::string& name : table.duplicateIndexes) {
        note(tableItem(table, "Index", name,
                       "another index of the table has the same name; left out"),
             m_out);
    }
    m_out += "\n"sv;
}

void ScriptWriter::writeIndex(const TablePlan& plan, const TargetIndex& index,
                              std::string_view tableName, const TargetNames::IndexNames* indexNames,
                              bool plainColumns) {
    const TargetTable& table = *plan.table;
    std::string reason = index.columns.empty() ? "the index has no fields" : std::string{};
    for (const KeyColumn& column : index.columns) {
        if (!reason.empty()) break;
        reason = missingColumn(plan, column);
    }
    if (!reason.empty()) {
        note(tableItem(table, "Index", index.index.name, reason), m_out);
        return;
    }
    m_out += index.index.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ";
    m_names.appendIndexName(m_out, indexNames, table.name, index.index.name);
    m_out.append(" ON "sv).append(tableName).append(" ("sv);
    std::string present;
    for (std::size_t i = 0; i < index.columns.size(); ++i) {
        if (i > 0) m_out += ", "sv;
        const std::size_t at = m_out.size();
        appendKeyColumn(m_out, table, index.columns[i], plainColumns);
        if (index.index.ignoreNulls) {
            if (i > 0) present += " OR "sv;
            present.append(m_out, at).append(" IS NOT NULL"sv);
        }
        if (index.columns[i].descending) m_out += " DESC"sv;
    }
    m_out += ")"sv;
    // IgnoreNulls: rows whose key is all Null have no index entry in Access.
    if (index.index.ignoreNulls) m_out += " WHERE " + present;
    m_out += ";\n"sv;
}

void ScriptWriter::writeForeignKeys() {
    std::string section;
    // Indexes the script adds for foreign keys count as coverage for later ones.
    std::vector<std::pair<std::string, std::vector<std::string>>> added;
    for (const ForeignKeyPlan& fk : m_foreignKeys) {
        const schema::Relation& relation = *fk.relation;
        if (fk.constraint.empty()) {
            LedgerItem item;
            item.table = relation.foreignTable;
            item.property = "Relation";
            item.original = relation.name;
            item.reason = "no foreign key: " + fk.reason;
            note(std::move(item), section);
            continue;
        }
        if (pg()) {
            section += "ALTER TABLE " + m_names.object(relation.foreignTable) + " ADD " +
                       fk.constraint + ";\n";
        }
        // Neither engine indexes the referencing columns itself.
        std::vector<std::string> referencing;
        for (const schema::RelationField& field : relation.fields) {
            referencing.push_back(folded(field.foreignName));
        }
        const TablePlan* many = findPlan(m_plans, relation.foreignTable);
        auto covers = [&](const std::vector<std::string>& columns) {
            if (columns.size() < referencing.size()) return false;
            return sameSet({columns.begin(),
                            columns.begin() + static_cast<std::ptrdiff_t>(referencing.size())},
                           referencing);
        };
        bool covered = std::any_of(many->leading.begin(), many->leading.end(), covers);
        for (const auto& [table, columns] : added) {
            covered = covered || (sameAccessName(table, relation.foreignTable) && covers(columns));
        }
        if (covered) continue;
        // Named after the relation: the names Access gives its own foreign-key indexes say
        // nothing to a reader of the script.
        const std::string name = m_names.claim(relation.name, relation.foreignTable);
        section += "CREATE INDEX " + TargetNames::quote(name) + " ON " +
                   m_names.object(relation.foreignTable) + " (";
        for (std::size_t i = 0; i < relation.fields.size(); ++i) {
            if (i > 0) section += ", "sv;
            section += columnOf(*many, relation.fields[i].foreignName);
        }
        section += ");\n"sv;
        added.emplace_back(relation.foreignTable, referencing);
    }
    if (!m_schema.relationsUnreadable.empty()) {
        LedgerItem item;
        item.property = "Relations";
        item.reason = "the relationships cannot be read: " + m_schema.relationsUnreadable;
        note(std::move(item), section);
    }
    if (!section.empty()) m_out += section + "\n";
}

void ScriptWriter::writeViews() {
    std::vector<translate::SavedQuery> readable;
    for (const TargetQuery& query : m_schema.queries) {
        ++m_result.queries;
        if (!query.unreadable.empty()) {
            LedgerItem item;
            item.query = query.name;
            item.property = "SQL";
            item.reason = "the query cannot be read: " + query.unreadable;
            note(std::move(item), m_out);
            continue;
        }
        readable.push_back({query.name, query.sql, query.type});
    }
    if (readable.empty()) return;
    for (const translate::QueryTranslation& view :
         translate::translateQueries(m_target, readable, m_columnMap, m_names)) {
        if (view.ok) {
            ++m_result.views;
            m_out += view.sql + "\n\n";
            continue;
        }
        LedgerItem item;
        item.query = view.name;
        item.property = "SQL";
        for (const translate::SavedQuery& query : readable) {
            if (query.name == view.name) item.original = query.sql;
        }
        item.reason = view.reason;
        note(std::move(item), m_out);
        m_out += "\n"sv;
    }
}

TargetScript ScriptWriter::run() {
    // Generous room: what is never written is never touched, while growing copies everything.
    std::size_t room = 4096 + m_schema.queries.size() * 4096;
    for (const TargetTable& table : m_schema.tables) room += 1024 + table.fields.size() * 128;
    m_out.reserve(room);
    m_out += pg()
                 ? "-- PostgreSQL 15 script: load with psql -X -v ON_ERROR_STOP=1 "
                   "--single-transaction\nSET client_encoding = 'UTF8';\n\n"
                 : "-- SQLite 3 script: foreign keys are checked once PRAGMA foreign_keys = ON\n\n";
    planTables();
    planForeignKeys();
    for (const TablePlan& plan : m_plans) writeTable(plan);
    writeForeignKeys();
    writeViews();
    // Renames come first in the ledger: they explain the names every later item uses.
    std::vector<LedgerItem> items = m_names.takeRenames();
    items.insert(items.end(), std::make_move_iterator(m_result.ledger.items.begin()),
                 std::make_move_iterator(m_result.ledger.items.end()));
    m_result.ledger.items = std::move(items);
    m_out += translate::sqlComment(m_result.summary());
    m_result.text = std::move(m_out);
    return std::move(m_result);
}

}  // namespace

std::string TargetScript::summary() const {
    std::string line = std::to_string(views) + " of " + std::to_string(queries) +
                       " queries became views; " + std::to_string(queries - views) +
                       " left as comments; ";
    std::size_t renames = 0;
    for (const LedgerItem& item : ledger.items) {
        if (item.reason.starts_with("renamed to ")) ++renames;
    }
    line += std::to_string(renames) + " names changed; " + std::to_string(ledger.items.size()) +
            " ledger items in all";
    return line;
}

namespace {

template <class F>
std::string columnType(Target target, const F& field) {
    std::string type;
    if (!carriesColumn(field)) return type;
    if (target == Target::PostgreSql) {
        appendPostgresType(type, field);
    } else {
        type = sqliteType(field);
    }
    return type;
}

}  // namespace

std::string targetColumnType(Target target, const schema::Field& field) {
    return columnType(target, field);
}

TargetScript generateTargetScript(Target target, const TargetSchema& schema) {
    return ScriptWriter(target, schema).run();
}

TargetScript generateTargetScript(Target target, const schema::SchemaModel& model,
                                  const schema::Database* db) {
    return generateTargetScript(target, readTargetSchema(model, db));
}

}  // namespace zl::sqlgen
