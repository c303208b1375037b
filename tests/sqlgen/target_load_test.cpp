// The PostgreSQL and SQLite scripts loaded into the real engines: every script loads without an
// error or notice, the catalog read back matches the source model, and one row per table goes in
// in foreign-key order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "common/memory_engine.h"
#include "common/pg_cluster.h"
#include "common/sqlite_db.h"
#include "jetwrite/edge_databases.h"
#include "schema/engine.h"
#include "schema/jet/jet_engine.h"
#include "schema/schema_model.h"
#include "sqlgen/target_names.h"
#include "sqlgen/target_schema.h"
#include "sqlgen/target_script.h"
#include "target_databases.h"

namespace zl::sqlgen {
namespace {

namespace fs = std::filesystem;
namespace dao = schema::dao;
namespace zt = zl::testing;
using translate::Target;

// ---- the source: a database and the selection over it ----

// A view whose select list is one "*" over `table` (directly or through another view): whether
// the script may write it as "table.*" on PostgreSQL and on SQLite, or must name each column.
struct StarView {
    std::string query;
    std::string table;
    bool shortOnPg = false;
    bool shortOnSqlite = false;
};

struct Source {
    std::string name;
    std::unique_ptr<schema::Database> db;
    schema::SchemaModel model;
    bool everyRowInserts = true;  // false for real files, whose rules may refuse the test row
    int foreignKeys = -1;         // the foreign keys the script must make; -1: not counted
    // Columns of one table with the type each engine reports for them: {table, column,
    // PostgreSQL's type, SQLite's}.
    std::vector<std::array<std::string, 4>> engineTypes;
    std::vector<StarView> starViews;
};

Source fromMemory(std::string name, zt::MemoryDatabaseContent content,
                  const std::function<void(schema::SchemaModel&)>& select = {}) {
    Source source;
    source.name = std::move(name);
    source.model = zt::modelFor(content);
    if (select) select(source.model);
    source.db = zt::openMemoryDatabase(std::move(content));
    return source;
}

Source fromFile(const fs::path& path) {
    Source source;
    source.name = path.filename().string();
    schema::jet::JetEngine engine;
    source.db = engine.openDatabase(path.string());
    for (const schema::TableListRow& row : source.db->listTables()) {
        if (!row.isSystemObject()) source.model.addEntry(row.name, row.isQueryDef());
    }
    source.model.ResetSelection();
    source.everyRowInserts = false;
    return source;
}

std::size_t entryOf(const schema::SchemaModel& model, const std::string& name) {
    for (std::size_t e = 0; e < model.size(); ++e) {
        if (model.entry(e).name == name) return e;
    }
    throw std::runtime_error("no entry " + name);
}

// ---- the catalog, read back the same way from either engine ----

struct CatalogColumn {
    std::string name;
    std::string type;
    bool notNull = false;
    bool hasDefault = false;
    bool generated = false;
};

struct CatalogIndex {
    std::string table;
    bool primary = false;
    bool unique = false;
    bool partial = false;
    std::vector<std::string> columns;
};

struct CatalogForeignKey {
    std::string table;
    std::string referenced;
    std::vector<std::string> columns;
    std::vector<std::string> referencedColumns;
    std::string onUpdate;
    std::string onDelete;
};

struct Catalog {
    std::map<std::string, std::vector<CatalogColumn>> tables;
    std::vector<CatalogIndex> indexes;
    std::vector<CatalogForeignKey> foreignKeys;
};

constexpr char kSeparator = '\x1f';

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const std::size_t end = text.find(kSeparator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

std::string action(const std::string& code) {
    if (code == "c" || code == "CASCADE") return "CASCADE";
    if (code == "n" || code == "SET NULL") return "SET NULL";
    return "NO ACTION";
}

// `sql` against either engine, failing the test when it does not run.
class Engine {
public:
    virtual ~Engine() = default;
    virtual std::string load(const std::string& script) = 0;  // "" or the complaint
    virtual zt::QueryRows query(const std::string& sql) = 0;
    virtual std::string run(const std::string& sql) = 0;  // "" or the error
    virtual Catalog catalog() = 0;
    virtual bool isCheckFailure(const std::string& error) const = 0;
};

zt::QueryRows mustQuery(Engine& engine, const std::string& sql) {
    zt::QueryRows rows = engine.query(sql);
    EXPECT_TRUE(rows.ok) << rows.error << "\n" << sql;
    return rows;
}

constexpr const char* kPgColumns =
    "SELECT c.relname, a.attname, format_type(a.atttypid, a.atttypmod), a.attnotnull, "
    "a.atthasdef OR a.attidentity <> '', a.attgenerated <> '' FROM pg_attribute a "
    "JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
    "WHERE n.nspname = 'public' AND c.relkind = 'r' AND a.attnum > 0 AND NOT a.attisdropped "
    "ORDER BY c.relname, a.attnum";
constexpr const char* kPgIndexes =
    "SELECT t.relname, ix.indisprimary, ix.indisunique, ix.indpred IS NOT NULL, "
    "(SELECT string_agg(a.attname, chr(31) ORDER BY k.o) FROM unnest(ix.indkey) WITH ORDINALITY "
    "k(n, o) JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.n) FROM pg_index ix "
    "JOIN pg_class t ON t.oid = ix.indrelid JOIN pg_namespace s ON s.oid = t.relnamespace "
    "WHERE s.nspname = 'public'";
constexpr const char* kPgForeignKeys =
    "SELECT t.relname, r.relname, "
    "(SELECT string_agg(a.attname, chr(31) ORDER BY k.o) FROM unnest(c.conkey) WITH ORDINALITY "
    "k(n, o) JOIN pg_attribute a ON a.attrelid = c.conrelid AND a.attnum = k.n), "
    "(SELECT string_agg(a.attname, chr(31) ORDER BY k.o) FROM unnest(c.confkey) WITH ORDINALITY "
    "k(n, o) JOIN pg_attribute a ON a.attrelid = c.confrelid AND a.attnum = k.n), "
    "c.confupdtype, c.confdeltype FROM pg_constraint c JOIN pg_class t ON t.oid = c.conrelid "
    "JOIN pg_class r ON r.oid = c.confrelid WHERE c.contype = 'f'";

class Postgres : public Engine {
public:
    Postgres() : m_cluster(zt::PgCluster::shared()) {
        if (m_cluster.ok()) m_db = m_cluster.createDatabase();
    }
    bool ok() const { return !m_db.empty(); }
    std::string error() const { return m_cluster.error(); }

    std::string load(const std::string& script) override {
        const zt::CommandResult result = m_cluster.psqlText(m_db, script);
        if (result.status != 0 || zt::hasPsqlDiagnostics(result.output)) {
            return "psql status " + std::to_string(result.status) + ":\n" + result.output;
        }
        return {};
    }
    zt::QueryRows query(const std::string& sql) override { return m_cluster.query(m_db, sql); }
    std::string run(const std::string& sql) override {
        zt::QueryRows rows = m_cluster.query(m_db, sql);
        return rows.ok ? std::string{} : rows.error.empty() ? "failed" : rows.error;
    }
    bool isCheckFailure(const std::string& error) const override {
        return error.find("check constraint") != std::string::npos;
    }
    Catalog catalog() override {
        Catalog catalog;
        for (const auto& row : mustQuery(*this, kPgColumns).rows) {
            catalog.tables[row[0]].push_back(
                {row[1], row[2], row[3] == "t", row[4] == "t", row[5] == "t"});
        }
        for (const auto& row : mustQuery(*this, kPgIndexes).rows) {
            catalog.indexes.push_back(
                {row[0], row[1] == "t", row[2] == "t", row[3] == "t", splitList(row[4])});
        }
        for (const auto& row : mustQuery(*this, kPgForeignKeys).rows) {
            catalog.foreignKeys.push_back({row[0], row[1], splitList(row[2]), splitList(row[3]),
                                           action(row[4]), action(row[5])});
        }
        return catalog;
    }

private:
    zt::PgCluster& m_cluster;
    std::string m_db;
};

class Sqlite : public Engine {
public:
    std::string load(const std::string& script) override {
        return m_db.exec("BEGIN;\n" + script + "\nCOMMIT;");
    }
    zt::QueryRows query(const std::string& sql) override { return m_db.query(sql); }
    std::string run(const std::string& sql) override { return m_db.exec(sql); }
    bool isCheckFailure(const std::string& error) const override {
        return error.find("CHECK constraint failed") != std::string::npos;
    }
    Catalog catalog() override {
        Catalog catalog;
        std::map<std::string, std::map<int, std::string>> keys;
        for (const auto& row :
             mustQuery(*this,
                       "SELECT m.name, p.name, p.type, p.\"notnull\", p.dflt_value IS NOT NULL, "
                       "p.pk, p.hidden FROM sqlite_schema m, pragma_table_xinfo(m.name) p "
                       "WHERE m.type = 'table' ORDER BY m.name, p.cid")
                 .rows) {
            catalog.tables[row[0]].push_back(
                {row[1], row[2], row[3] == "1", row[4] == "1", row[6] == "2" || row[6] == "3"});
            if (row[5] != "0") keys[row[0]][std::stoi(row[5])] = row[1];
        }
        for (const auto& [table, columns] : keys) {
            CatalogIndex primary{table, true, true, false, {}};
            for (const auto& [position, column] : columns) primary.columns.push_back(column);
            catalog.indexes.push_back(primary);
        }
        for (const auto& row :
             mustQuery(*this,
                       "SELECT m.name, il.\"unique\", il.partial, (SELECT group_concat(ii.name, "
                       "char(31)) FROM (SELECT name FROM pragma_index_info(il.name) ORDER BY "
                       "seqno) ii) FROM sqlite_schema m, pragma_index_list(m.name) il WHERE "
                       "m.type = 'table' AND il.origin <> 'pk'")
                 .rows) {
            catalog.indexes.push_back(
                {row[0], false, row[1] == "1", row[2] == "1", splitList(row[3])});
        }
        std::map<std::pair<std::string, std::string>, CatalogForeignKey> keysById;
        for (const auto& row : mustQuery(*this,
                                         "SELECT m.name, f.id, f.\"table\", f.\"from\", f.\"to\", "
                                         "f.on_update, f.on_delete FROM sqlite_schema m, "
                                         "pragma_foreign_key_list(m.name) f WHERE m.type = "
                                         "'table' ORDER BY m.name, f.id, f.seq")
                                   .rows) {
            CatalogForeignKey& key = keysById[{row[0], row[1]}];
            key.table = row[0];
            key.referenced = row[2];
            key.columns.push_back(row[3]);
            key.referencedColumns.push_back(row[4]);
            key.onUpdate = action(row[5]);
            key.onDelete = action(row[6]);
        }
        for (auto& [id, key] : keysById) catalog.foreignKeys.push_back(std::move(key));
        return catalog;
    }

private:
    zt::SqliteDb m_db;
};

// ---- what the source model says the catalog must hold ----

// Whether the scripts make a column for `field`.
bool carriesType(const TargetField& field) {
    return !targetColumnType(Target::Sqlite, field).empty();
}

bool ledgerHas(const translate::Ledger& ledger, const std::string& table,
               const std::optional<std::string>& field, const std::string& property) {
    return std::any_of(ledger.items.begin(), ledger.items.end(), [&](const auto& item) {
        return item.table == table && item.field == field && item.property == property;
    });
}

const CatalogColumn* findColumn(const std::vector<CatalogColumn>& columns,
                                const std::string& name) {
    for (const CatalogColumn& column : columns) {
        if (column.name == name) return &column;
    }
    return nullptr;
}

// The column that `field` of `table` names, as Access finds it: without regard to case.
std::string columnNamed(const TargetSchema& source, const TargetNames& names,
                        const std::string& table, const std::string& field) {
    const TargetTable* owner = source.findTable(table);
    const TargetField* found = owner != nullptr ? owner->findField(field) : nullptr;
    return names.columnName(table, found != nullptr ? found->name : field);
}

void compareCatalog(Target target, const TargetSchema& source, const TargetScript& script,
                    const Catalog& catalog) {
    const TargetNames names(target, source);
    std::set<std::string> expectedTables;
    for (const TargetTable& table : source.tables) {
        bool carried = !table.linked && table.unreadable.empty();
        bool anyColumn = false;
        for (const TargetField& field : table.fields) {
            anyColumn = anyColumn || carriesType(field);
        }
        if (!carried || !anyColumn) continue;
        const std::string name = names.tableName(table.name);
        expectedTables.insert(name);
        SCOPED_TRACE("table " + name);
        const auto found = catalog.tables.find(name);
        ASSERT_NE(found, catalog.tables.end());

        std::vector<std::string> primary;
        for (const TargetIndex& index : table.indexes) {
            if (!index.index.primary) continue;
            for (const KeyColumn& column : index.columns) {
                primary.push_back(
                    names.columnName(table.name, column.field ? column.field->name : column.name));
            }
        }
        std::size_t columnCount = 0;
        for (const TargetField& field : table.fields) {
            if (!carriesType(field)) continue;
            ++columnCount;
            const std::string column = names.columnName(table.name, field.name);
            SCOPED_TRACE("column " + column);
            const CatalogColumn* actual = findColumn(found->second, column);
            ASSERT_NE(actual, nullptr);
            const bool inKey = std::find(primary.begin(), primary.end(), column) != primary.end();
            if (!actual->generated) {
                EXPECT_EQ(actual->notNull, field.required || inKey);
            }
            const bool autoNumber =
                field.type == dao::kLong && (field.attributes & dao::kAutoIncrField) != 0;
            const bool defaultKept =
                !field.defaultValue.empty() && !actual->generated && !autoNumber &&
                !ledgerHas(script.ledger, table.name, std::string(field.name), "DefaultValue");
            if (actual->generated) {
                // PostgreSQL keeps a generated column's expression as its default.
            } else if (target == Target::PostgreSql && autoNumber) {
                EXPECT_TRUE(actual->hasDefault) << "identity";
            } else {
                EXPECT_EQ(actual->hasDefault, defaultKept);
            }
        }
        EXPECT_EQ(found->second.size(), columnCount);

        for (const TargetIndex& index : table.indexes) {
            if (!(index.index.unique || index.index.primary) || index.index.foreign) continue;
            std::vector<std::string> columns;
            for (const KeyColumn& column : index.columns) {
                columns.push_back(
                    names.columnName(table.name, column.field ? column.field->name : column.name));
            }
            const bool present = std::any_of(
                catalog.indexes.begin(), catalog.indexes.end(), [&](const CatalogIndex& actual) {
                    return actual.table == name && actual.unique && actual.columns == columns &&
                           actual.primary == index.index.primary &&
                           actual.partial == index.index.ignoreNulls;
                });
            const bool ledgered = ledgerHas(script.ledger, table.name, std::nullopt, "Index");
            EXPECT_TRUE(present || ledgered) << "unique index " << index.index.name;
        }
    }
    std::set<std::string> actualTables;
    for (const auto& [name, columns] : catalog.tables) actualTables.insert(name);
    EXPECT_EQ(actualTables, expectedTables);

    // Foreign keys: every enforced relation between carried tables, with its actions, unless the
    // ledger says why not.
    int made = 0;
    for (const schema::Relation& relation : source.relations) {
        const std::string table = names.tableName(relation.foreignTable);
        const std::string referenced = names.tableName(relation.table);
        std::vector<std::string> columns;
        std::vector<std::string> referencedColumns;
        for (const schema::RelationField& field : relation.fields) {
            columns.push_back(columnNamed(source, names, relation.foreignTable, field.foreignName));
            referencedColumns.push_back(columnNamed(source, names, relation.table, field.name));
        }
        const auto match = std::find_if(
            catalog.foreignKeys.begin(), catalog.foreignKeys.end(), [&](const auto& key) {
                return key.table == table && key.referenced == referenced &&
                       key.columns == columns && key.referencedColumns == referencedColumns;
            });
        const bool ledgered = std::any_of(
            script.ledger.items.begin(), script.ledger.items.end(), [&](const auto& item) {
                return item.property == "Relation" && item.original == relation.name;
            });
        const bool bothCarried =
            expectedTables.contains(table) && expectedTables.contains(referenced);
        if (!bothCarried || (relation.attributes & dao::kRelationDontEnforce) != 0) {
            EXPECT_EQ(match, catalog.foreignKeys.end()) << relation.name;
            continue;
        }
        if (match == catalog.foreignKeys.end()) {
            EXPECT_TRUE(ledgered) << "relation " << relation.name << " neither made nor listed";
            continue;
        }
        ++made;
        EXPECT_EQ(match->onUpdate, (relation.attributes & dao::kRelationUpdateCascade) != 0
                                       ? "CASCADE"
                                       : "NO ACTION")
            << relation.name;
        const std::string onDelete =
            (relation.attributes & dao::kRelationDeleteCascade) != 0   ? "CASCADE"
            : (relation.attributes & dao::kRelationDeleteSetNull) != 0 ? "SET NULL"
                                                                       : "NO ACTION";
        EXPECT_EQ(match->onDelete, onDelete) << relation.name;
    }
    EXPECT_EQ(static_cast<int>(catalog.foreignKeys.size()), made);
}

// ---- one row per table, parents first ----

std::string testValue(Target target, const std::string& type) {
    if (target == Target::Sqlite) {
        if (type == "INTEGER") return "1";
        if (type == "REAL") return "1.5";
        if (type == "BLOB") return "x'01'";
        return "'A'";
    }
    if (type == "boolean") return "true";
    if (type == "bytea") return "'\\x01'";
    if (type == "uuid") return "'6f9619ff-8b86-d011-b42d-00c04fc964ff'";
    if (type.starts_with("timestamp")) return "'2024-02-29 13:45:30'";
    if (type.starts_with("character") || type == "text") return "'A'";
    return "1";
}

void insertRows(Target target, Engine& engine, const Catalog& catalog, bool mustInsert) {
    // Parents before children; a table in a cycle goes last.
    std::vector<std::string> order;
    std::set<std::string> done;
    for (std::size_t round = 0; round <= catalog.tables.size(); ++round) {
        for (const auto& [table, columns] : catalog.tables) {
            if (done.contains(table)) continue;
            const bool ready = round == catalog.tables.size() ||
                               std::all_of(catalog.foreignKeys.begin(), catalog.foreignKeys.end(),
                                           [&](const auto& key) {
                                               return key.table != table ||
                                                      key.referenced == table ||
                                                      done.contains(key.referenced);
                                           });
            if (ready) {
                order.push_back(table);
                done.insert(table);
            }
        }
    }
    if (target == Target::Sqlite) {
        ASSERT_EQ(engine.run("PRAGMA foreign_keys = ON;"), "");
    }
    for (const std::string& table : order) {
        std::string names;
        std::string values;
        for (const CatalogColumn& column : catalog.tables.at(table)) {
            if (column.generated) continue;
            if (!names.empty()) {
                names += ", ";
                values += ", ";
            }
            names += TargetNames::quote(column.name);
            values += testValue(target, column.type);
        }
        const std::string sql =
            "INSERT INTO " + TargetNames::quote(table) +
            (names.empty() ? " DEFAULT VALUES;" : " (" + names + ") VALUES (" + values + ");");
        const std::string error = engine.run(sql);
        if (error.empty() || (!mustInsert && engine.isCheckFailure(error))) continue;
        ADD_FAILURE() << "row refused: " << error << "\n" << sql;
    }
}

// ---- views over "*" ----

// The column names of view `view` as the engine reports them, in order.
std::vector<std::string> viewColumns(Target target, Engine& engine, const std::string& view) {
    std::string literal = "'";
    for (const char c : view) literal += c == '\'' ? std::string("''") : std::string(1, c);
    literal += "'";
    const std::string sql =
        target == Target::PostgreSql
            ? "SELECT a.attname FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
              "WHERE c.relkind = 'v' AND c.relname = " +
                  literal + " AND a.attnum > 0 ORDER BY a.attnum"
            : "SELECT name FROM pragma_table_info(" + literal + ") ORDER BY cid";
    std::vector<std::string> names;
    for (const auto& row : mustQuery(engine, sql).rows) names.push_back(row.at(0));
    return names;
}

// A view written as "table.*" has the columns, names and rows that naming each column gives: the
// table's rows, under the names the view's own columns get; where a column of the table was
// renamed (or the view needs its columns named), each column is named.
void checkStarViews(Target target, Engine& engine, const Source& source, const TargetSchema& schema,
                    const TargetScript& script, const TargetNames& names) {
    for (const StarView& view : source.starViews) {
        SCOPED_TRACE(view.query);
        const std::size_t at = script.text.find("CREATE VIEW " + names.object(view.query));
        ASSERT_NE(at, std::string::npos);
        const std::string statement = script.text.substr(at, script.text.find(";\n", at) - at);
        const bool shortForm = target == Target::PostgreSql ? view.shortOnPg : view.shortOnSqlite;
        EXPECT_EQ(statement.find(".*\nFROM") != std::string::npos, shortForm) << statement;
        const TargetTable* table = schema.findTable(view.table);
        ASSERT_NE(table, nullptr);
        std::vector<std::string> expected;
        for (const TargetField& field : table->fields) {
            expected.push_back(names.columnName(view.query, field.name));
        }
        EXPECT_EQ(viewColumns(target, engine, names.tableName(view.query)), expected);
        const zt::QueryRows viewRows =
            mustQuery(engine, "SELECT * FROM " + names.object(view.query));
        const zt::QueryRows tableRows =
            mustQuery(engine, "SELECT * FROM " + names.object(view.table));
        EXPECT_FALSE(tableRows.rows.empty());
        EXPECT_EQ(viewRows.rows, tableRows.rows);
    }
}

// ---- the checks, for one source on both engines ----

void checkLoads(const Source& source) {
    SCOPED_TRACE(source.name);
    const TargetSchema schema = readTargetSchema(source.model, source.db.get());
    for (const Target target : {Target::PostgreSql, Target::Sqlite}) {
        SCOPED_TRACE(std::string(translate::targetName(target)));
        const TargetScript script = generateTargetScript(target, schema);
        std::unique_ptr<Engine> engine;
        if (target == Target::PostgreSql) {
            auto pg = std::make_unique<Postgres>();
            ASSERT_TRUE(pg->ok()) << "PostgreSQL 15 is needed: " << pg->error();
            engine = std::move(pg);
        } else {
            engine = std::make_unique<Sqlite>();
        }
        const std::string complaint = engine->load(script.text);
        ASSERT_EQ(complaint, "") << script.text.substr(0, 20000);
        const Catalog catalog = engine->catalog();
        compareCatalog(target, schema, script, catalog);
        const TargetNames names(target, schema);
        for (const auto& [table, column, pgType, sqliteType] : source.engineTypes) {
            const auto found = catalog.tables.find(names.tableName(table));
            ASSERT_NE(found, catalog.tables.end()) << table;
            const CatalogColumn* actual =
                findColumn(found->second, names.columnName(table, column));
            ASSERT_NE(actual, nullptr) << column;
            EXPECT_EQ(actual->type, target == Target::PostgreSql ? pgType : sqliteType) << column;
        }
        if (source.foreignKeys >= 0) {
            EXPECT_EQ(static_cast<int>(catalog.foreignKeys.size()), source.foreignKeys);
        }
        if (target == Target::PostgreSql) {
            // Each carried field's description is its column's comment; plain texts as they are.
            std::map<std::pair<std::string, std::string>, std::string> expected;
            for (const TargetTable& table : schema.tables) {
                if (!catalog.tables.contains(names.tableName(table.name))) continue;
                for (const TargetField& field : table.fields) {
                    if (field.description.empty() || !carriesType(field)) continue;
                    expected[{names.tableName(table.name),
                              names.columnName(table.name, field.name)}] = field.description;
                }
            }
            const zt::QueryRows rows = mustQuery(
                *engine,
                "SELECT c.relname, a.attname, col_description(c.oid, a.attnum) FROM pg_attribute "
                "a JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = "
                "c.relnamespace WHERE n.nspname = 'public' AND c.relkind = 'r' AND a.attnum > 0 "
                "AND col_description(c.oid, a.attnum) IS NOT NULL");
            EXPECT_EQ(rows.rows.size(), expected.size());
            for (const auto& row : rows.rows) {
                const auto found = expected.find({row[0], row[1]});
                ASSERT_NE(found, expected.end()) << row[0] << "." << row[1];
                const bool plain = std::all_of(found->second.begin(), found->second.end(),
                                               [](char c) { return c >= ' ' && c < 0x7F; });
                if (plain) {
                    EXPECT_EQ(row[2], found->second);
                }
            }
        }
        insertRows(target, *engine, catalog, source.everyRowInserts);
        // Views answer: each one the script made can be read.
        for (const TargetQuery& query : schema.queries) {
            if (script.text.find("CREATE VIEW " + names.object(query.name)) == std::string::npos) {
                continue;
            }
            const zt::QueryRows rows = engine->query("SELECT * FROM " + names.object(query.name));
            EXPECT_TRUE(rows.ok) << query.name << ": " << rows.error;
        }
        checkStarViews(target, *engine, source, schema, script, names);
    }
}

using SourceMaker = std::function<Source()>;

struct MemoryCase {
    const char* name;
    SourceMaker make;
};

class TargetLoad : public ::testing::TestWithParam<MemoryCase> {};

TEST_P(TargetLoad, LoadsIntoBothEnginesAndMatchesTheModel) { checkLoads(GetParam().make()); }

const MemoryCase kMemoryCases[] = {
    {"EveryType",
     [] {
         Source s = fromMemory("every type", zt::targets::everyTypeDatabase());
         // Each DAO type once, as the engines name the type that holds its values.
         s.engineTypes = {
             {"Every Type", "Flag", "boolean", "INTEGER"},
             {"Every Type", "Tiny", "smallint", "INTEGER"},
             {"Every Type", "Quantity", "smallint", "INTEGER"},
             {"Every Type", "Number", "integer", "INTEGER"},
             {"Every Type", "Money", "numeric(19,4)", "TEXT"},
             {"Every Type", "Ratio", "real", "REAL"},
             {"Every Type", "Precise", "double precision", "REAL"},
             {"Every Type", "StartDate", "timestamp without time zone", "TEXT"},
             {"Every Type", "Raw", "bytea", "BLOB"},
             {"Every Type", "Picture", "bytea", "BLOB"},
             {"Every Type", "Country", "character varying(50)", "TEXT"},
             {"Every Type", "Notes", "text", "TEXT"},
             {"Every Type", "Key", "uuid", "TEXT"},
             {"Every Type", "Exact", "numeric(12,3)", "TEXT"},
             {"Every Type", "Big", "bigint", "INTEGER"},
             {"Every Type", "Stamp", "timestamp(6) without time zone", "TEXT"},
         };
         return s;
     }},
    {"AwkwardNames",
     [] { return fromMemory("awkward names", zt::targets::awkwardNamesDatabase()); }},
    {"ManyTables",
     [] {
         Source s = fromMemory("250 tables", zt::targets::manyTablesDatabase());
         s.foreignKeys = 249;
         return s;
     }},
    {"Relations",
     [] {
         Source s = fromMemory("relations", zt::targets::relationsDatabase(),
                               [](schema::SchemaModel& model) {
                                   model.setEntrySelected(entryOf(model, "Unselected"), false);
                                   model.StoreFieldSelection(entryOf(model, "Detail"), 2, false);
                               });
         // ParentChild, ChildChild, ChildDetail, OtherChild; not Loose, ToUnselected, OverHidden.
         s.foreignKeys = 4;
         return s;
     }},
    {"Unreadable", [] { return fromMemory("unreadable", zt::targets::unreadableDatabase()); }},
    {"StarViews",
     [] {
         zt::MemoryDatabaseContent content;
         const std::string longName(70, 'c');
         content.table({"Plain",
                        {zt::longField("ID"), zt::textField("Name", 20),
                         zt::typedField("Price", dao::kDouble, 8)}});
         // A column renamed on both engines (cut to 63 bytes), and one on PostgreSQL only.
         content.table({"Renamed", {zt::longField("ID"), zt::longField(longName)}});
         content.table({"System", {zt::longField("ID"), zt::longField("xmin")}});
         content.query("All Plain", "SELECT * FROM Plain;");
         content.query("Plain Sorted",
                       "SELECT Plain.* FROM Plain WHERE Plain.Price > 0 ORDER BY Plain.Name DESC;");
         content.query("Aliased", "SELECT P.* FROM Plain AS P;");
         content.query("Distinct Plain", "SELECT DISTINCT * FROM Plain;");
         content.query("Top Plain", "SELECT TOP 1 * FROM Plain ORDER BY Plain.ID;");
         content.query("All Renamed", "SELECT * FROM Renamed;");
         content.query("All System", "SELECT System.* FROM System;");
         content.query("Over View", "SELECT * FROM [All Plain];");
         Source s = fromMemory("star views", std::move(content));
         s.starViews = {
             {"All Plain", "Plain", true, true},    {"Plain Sorted", "Plain", true, true},
             {"Aliased", "Plain", true, true},      {"Distinct Plain", "Plain", false, false},
             {"Top Plain", "Plain", false, false},  {"All Renamed", "Renamed", false, false},
             {"All System", "System", false, true}, {"Over View", "Plain", false, false}};
         return s;
     }},
};

INSTANTIATE_TEST_SUITE_P(Memory, TargetLoad, ::testing::ValuesIn(kMemoryCases),
                         [](const auto& param) { return std::string(param.param.name); });

// An engine that gives fields only one by one: their texts are copied into the table's own
// block. The script must be the one the shared fields give, byte for byte, and a field that
// cannot be read must leave its table as a comment.
TEST(TargetSchemaRead, FieldsReadOneByOneGiveTheSameScript) {
    zt::MemoryDatabaseContent shared = zt::targets::everyTypeDatabase();
    zt::MemoryDatabaseContent oneByOne = zt::targets::everyTypeDatabase();
    for (const auto& row : oneByOne.listingRows()) {
        if (!row.isQueryDef()) oneByOne.fail(zt::Op::Field, row.name, 9999);  // never met
    }
    zt::MemoryDatabaseContent failing = zt::targets::everyTypeDatabase();
    failing.fail(zt::Op::Field, "Every Type", 2, "The field is damaged.");
    for (const Target target : {Target::PostgreSql, Target::Sqlite}) {
        const Source a = fromMemory("shared", shared);
        const Source b = fromMemory("one by one", oneByOne);
        EXPECT_EQ(generateTargetScript(target, a.model, a.db.get()).text,
                  generateTargetScript(target, b.model, b.db.get()).text);
        const Source c = fromMemory("failing", failing);
        EXPECT_NE(generateTargetScript(target, c.model, c.db.get())
                      .text.find("the table cannot be read: The field is damaged."),
                  std::string::npos);
    }
}

TEST(TargetLoadFiles, SampleDatabase) {
    const fs::path sample = ZLGEN_SAMPLE_DB;
    ASSERT_TRUE(fs::exists(sample)) << "the build makes " << sample;
    checkLoads(fromFile(sample));
}

TEST(TargetLoadFiles, WriterMadeEdgeDatabases) {
    const fs::path folder =
        fs::temp_directory_path() / ("zl_targets_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (const auto& edge : jetwrite::testing::allEdgeDatabases()) {
        checkLoads(fromFile(jetwrite::testing::writeEdgeDatabase(edge, folder)));
    }
    fs::remove_all(folder);
}

TEST(TargetLoadFiles, Fixtures) {
    const fs::path fixtures = "../shared/fixtures";
    if (!fs::is_directory(fixtures)) {
        GTEST_SKIP() << "no fixtures at " << fixtures;
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fixtures)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".mdb" || ext == ".accdb") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        Source source;
        try {
            source = fromFile(file);
        } catch (const schema::EngineError& e) {
            continue;  // encrypted or foreign files: opening them is the reader's test
        }
        checkLoads(source);
    }
}

}  // namespace
}  // namespace zl::sqlgen
