// The in-memory engine: serves a MemoryDatabaseContent through the engine interface.
#include "common/memory_engine.h"

#include <algorithm>
#include <utility>

namespace zl::testing {

using schema::EngineError;

namespace {

class FailurePlan {
public:
    explicit FailurePlan(std::vector<Failure> failures) : m_failures(std::move(failures)) {}

    void check(Op op, const std::string& target = {}, int position = -1) const {
        for (const Failure& f : m_failures) {
            if (f.op != op) continue;
            if (!f.target.empty() && f.target != target) continue;
            if (f.position >= 0 && f.position != position) continue;
            throw EngineError(f.description);
        }
    }
    // Whether some failure is planned for `op` on `target`.
    bool plans(Op op, const std::string& target) const {
        return std::any_of(m_failures.begin(), m_failures.end(), [&](const Failure& f) {
            return f.op == op && (f.target.empty() || f.target == target);
        });
    }

private:
    std::vector<Failure> m_failures;
};

// Shares the database's table rather than copying it: benchmarks fetch thousands of TableDefs.
class MemoryTableDef : public schema::TableDef {
public:
    MemoryTableDef(std::shared_ptr<const MemoryDatabaseContent> content, const MemoryTable& table,
                   std::shared_ptr<const FailurePlan> plan)
        : m_content(std::move(content)), m_table(table), m_plan(std::move(plan)) {}

    int fieldCount() const override {
        m_plan->check(Op::FieldCount, m_table.name);
        return static_cast<int>(m_table.fields.size());
    }
    schema::Field field(int position) const override {
        m_plan->check(Op::Field, m_table.name, position);
        if (position < 0 || position >= static_cast<int>(m_table.fields.size())) {
            throw EngineError("Item not found in this collection.");
        }
        return m_table.fields[static_cast<std::size_t>(position)];
    }
    // The shared fields, unless a test plans a failure of one of them.
    const std::vector<schema::Field>* fields() const override {
        if (m_plan->plans(Op::Field, m_table.name)) return nullptr;
        m_plan->check(Op::FieldCount, m_table.name);
        return &m_table.fields;
    }
    int indexCount() const override {
        m_plan->check(Op::IndexCount, m_table.name);
        return static_cast<int>(m_table.indexes.size());
    }
    schema::Index index(int position) const override {
        m_plan->check(Op::Index, m_table.name, position);
        if (position < 0 || position >= static_cast<int>(m_table.indexes.size())) {
            throw EngineError("Item not found in this collection.");
        }
        return m_table.indexes[static_cast<std::size_t>(position)];
    }
    std::string validationRule() const override { return m_table.validationRule; }
    std::string validationText() const override { return m_table.validationText; }
    std::string description() const override { return m_table.description; }

private:
    std::shared_ptr<const MemoryDatabaseContent> m_content;
    const MemoryTable& m_table;
    std::shared_ptr<const FailurePlan> m_plan;
};

class MemoryQueryDef : public schema::QueryDef {
public:
    MemoryQueryDef(std::string sql, int type) : m_sql(std::move(sql)), m_type(type) {}
    std::string sql() const override { return m_sql; }
    int type() const override { return m_type; }

private:
    std::string m_sql;
    int m_type;
};

class MemoryDatabase : public schema::Database {
public:
    explicit MemoryDatabase(MemoryDatabaseContent content)
        : m_content(std::make_shared<const MemoryDatabaseContent>(std::move(content))),
          m_plan(std::make_shared<FailurePlan>(m_content->failures)) {
        for (std::size_t i = 0; i < m_content->tables.size(); ++i) {
            m_tables.emplace(m_content->tables[i].name, i);
        }
        for (std::size_t i = 0; i < m_content->queries.size(); ++i) {
            m_queries.emplace(m_content->queries[i].name, i);
        }
    }

    std::string name() const override {
        m_plan->check(Op::Name);
        return m_content->name;
    }
    int collatingOrder() const override {
        m_plan->check(Op::CollatingOrder);
        return m_content->collatingOrder;
    }
    std::vector<schema::TableListRow> listTables() const override {
        m_plan->check(Op::ListTables);
        return m_content->listingRows();
    }
    std::unique_ptr<schema::TableDef> tableDef(const std::string& name) const override {
        m_plan->check(Op::TableDef, name);
        const auto it = m_tables.find(name);
        if (it == m_tables.end()) throw EngineError("Item not found in this collection.");
        return std::make_unique<MemoryTableDef>(m_content, m_content->tables[it->second], m_plan);
    }
    std::unique_ptr<schema::QueryDef> openQueryDef(const std::string& name) const override {
        m_plan->check(Op::OpenQueryDef, name);
        return findQuery(name);
    }
    std::unique_ptr<schema::QueryDef> queryDef(const std::string& name) const override {
        m_plan->check(Op::QueryDefs, name);
        return findQuery(name);
    }
    std::vector<schema::Relation> relations() const override {
        m_plan->check(Op::Relations);
        return m_content->relations;
    }
    void close() override {}

private:
    std::unique_ptr<schema::QueryDef> findQuery(const std::string& name) const {
        const auto it = m_queries.find(name);
        if (it == m_queries.end()) throw EngineError("Item not found in this collection.");
        const MemoryQuery& q = m_content->queries[it->second];
        return std::make_unique<MemoryQueryDef>(q.sql, q.type);
    }

    std::shared_ptr<const MemoryDatabaseContent> m_content;
    std::shared_ptr<const FailurePlan> m_plan;
    std::map<std::string, std::size_t> m_tables;
    std::map<std::string, std::size_t> m_queries;
};

}  // namespace

MemoryDatabaseContent& MemoryDatabaseContent::table(MemoryTable t) {
    tables.push_back(std::move(t));
    return *this;
}

MemoryDatabaseContent& MemoryDatabaseContent::query(std::string queryName, std::string sql,
                                                    int type) {
    queries.push_back(MemoryQuery{std::move(queryName), std::move(sql), 0, type});
    return *this;
}

MemoryDatabaseContent& MemoryDatabaseContent::relation(schema::Relation r) {
    relations.push_back(std::move(r));
    return *this;
}

MemoryDatabaseContent& MemoryDatabaseContent::fail(Op op, std::string target, int position,
                                                   std::string description) {
    failures.push_back(Failure{op, std::move(target), position, std::move(description)});
    return *this;
}

std::vector<schema::TableListRow> MemoryDatabaseContent::listingRows() const {
    if (listing) return *listing;
    std::vector<schema::TableListRow> rows;
    for (const MemoryTable& t : tables) {
        rows.push_back({t.name, schema::dao::kTableTypeTable, t.attributes});
    }
    for (const MemoryQuery& q : queries) {
        rows.push_back({q.name, schema::dao::kTableTypeQueryDef, q.attributes});
    }
    rows.insert(rows.end(), extraRows.begin(), extraRows.end());
    return rows;
}

schema::Field longField(std::string name, bool autoNumber) {
    schema::Field f;
    f.name = std::move(name);
    f.type = schema::dao::kLong;
    f.size = 4;
    f.attributes = schema::dao::kFixedField |
                   (autoNumber ? schema::dao::kAutoIncrField : schema::dao::kUpdatableField);
    return f;
}

schema::Field textField(std::string name, int size, bool fixed) {
    schema::Field f;
    f.name = std::move(name);
    f.type = schema::dao::kText;
    f.size = size;
    f.attributes = (fixed ? schema::dao::kFixedField : schema::dao::kVariableField) |
                   schema::dao::kUpdatableField;
    return f;
}

schema::Field typedField(std::string name, int daoType, int size) {
    schema::Field f;
    f.name = std::move(name);
    f.type = daoType;
    f.size = size;
    f.attributes = schema::dao::kFixedField | schema::dao::kUpdatableField;
    return f;
}

schema::Index index(std::string name, std::string fields, bool primary, bool unique) {
    schema::Index i;
    i.name = std::move(name);
    i.fields = std::move(fields);
    i.primary = primary;
    i.unique = unique;
    i.required = primary;
    return i;
}

schema::SchemaModel modelFor(const MemoryDatabaseContent& content) {
    schema::SchemaModel model;
    for (const schema::TableListRow& row : content.listingRows()) {
        if (!row.isSystemObject()) model.addEntry(row.name, row.isQueryDef());
    }
    model.ResetSelection();
    return model;
}

std::unique_ptr<schema::Database> openMemoryDatabase(MemoryDatabaseContent content) {
    FailurePlan(content.failures).check(Op::Open);
    return std::make_unique<MemoryDatabase>(std::move(content));
}

void MemoryEngine::add(MemoryDatabaseContent content) {
    std::string key = content.name;
    m_specs[key] = std::move(content);
}

std::unique_ptr<schema::Database> MemoryEngine::openDatabase(const std::string& fileName) {
    ++m_openCount;
    auto it = m_specs.find(fileName);
    if (it == m_specs.end()) {
        throw EngineError("Could not find file '" + fileName + "'.");
    }
    return openMemoryDatabase(it->second);
}

}  // namespace zl::testing
