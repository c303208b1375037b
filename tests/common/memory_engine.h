// An in-memory engine for tests and benchmarks, scriptable to fail at any operation.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "schema/engine.h"
#include "schema/schema_model.h"

namespace zl::testing {

// The operations a failure can be attached to.
enum class Op {
    Open,            // Engine::openDatabase of this database
    ListTables,      // Database::listTables
    TableDef,        // Database::tableDef(target)
    FieldCount,      // TableDef::fieldCount of table target
    Field,           // TableDef::field(position) of table target
    IndexCount,      // TableDef::indexCount of table target
    Index,           // TableDef::index(position) of table target
    OpenQueryDef,    // Database::openQueryDef(target)
    QueryDefs,       // Database::queryDef(target)
    Name,            // Database::name
    CollatingOrder,  // Database::collatingOrder
    Relations        // Database::relations
};

struct Failure {
    Op op = Op::Open;
    std::string target;  // table or QueryDef name; empty matches any
    int position = -1;   // field or index position; -1 matches any
    std::string description = "Simulated engine failure";
};

struct MemoryTable {
    std::string name;
    std::vector<schema::Field> fields;
    std::vector<schema::Index> indexes;
    std::int32_t attributes = 0;
    std::string validationRule;
    std::string validationText;
    std::string description;
};

struct MemoryQuery {
    std::string name;
    std::string sql;
    std::int32_t attributes = 0;
    int type = schema::dao::kQuerySelect;
};

// A whole database. Unless `listing` is given, the listing holds one row per table (type 1)
// and QueryDef (type 5) in the order they were added; `extraRows` are appended to it.
struct MemoryDatabaseContent {
    std::string name = "/data/orders.mdb";
    int collatingOrder = 1033;
    std::vector<MemoryTable> tables;
    std::vector<MemoryQuery> queries;
    std::vector<schema::Relation> relations;
    std::optional<std::vector<schema::TableListRow>> listing;
    std::vector<schema::TableListRow> extraRows;
    std::vector<Failure> failures;

    MemoryDatabaseContent& table(MemoryTable t);
    MemoryDatabaseContent& query(std::string name, std::string sql,
                                 int type = schema::dao::kQuerySelect);
    MemoryDatabaseContent& relation(schema::Relation r);
    MemoryDatabaseContent& fail(Op op, std::string target = {}, int position = -1,
                                std::string description = "Simulated engine failure");
    std::vector<schema::TableListRow> listingRows() const;
};

// Field and index builders for compact descriptions.
schema::Field longField(std::string name, bool autoNumber = false);
schema::Field textField(std::string name, int size, bool fixed = false);
schema::Field typedField(std::string name, int daoType, int size = 0);
schema::Index index(std::string name, std::string fields, bool primary = false,
                    bool unique = false);

// The model as opening the database leaves it: every non-system listed entry, all selected.
schema::SchemaModel modelFor(const MemoryDatabaseContent& content);

// Opens a database straight from its content.
std::unique_ptr<schema::Database> openMemoryDatabase(MemoryDatabaseContent content);

// An engine that serves database contents by file name; unknown names fail to open like a missing
// file.
class MemoryEngine : public schema::Engine {
public:
    void add(MemoryDatabaseContent content);
    std::unique_ptr<schema::Database> openDatabase(const std::string& fileName) override;
    int openCount() const { return m_openCount; }

private:
    std::map<std::string, MemoryDatabaseContent> m_specs;
    int m_openCount = 0;
};

}  // namespace zl::testing
