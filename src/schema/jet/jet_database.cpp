// The engine interface over the reader: opening, listing, table definitions, saved queries.
#include "schema/jet/jet_database.h"

#include <algorithm>
#include <new>

#include "schema/jet/catalog.h"
#include "schema/jet/column_properties.h"
#include "schema/jet/dao_mapping.h"
#include "schema/jet/engine_errors.h"
#include "schema/jet/header_page.h"
#include "schema/jet/property_map.h"
#include "schema/jet/query_sql.h"
#include "schema/jet/recordset.h"
#include "schema/jet/relationship_reader.h"
#include "schema/jet/saved_query_reader.h"
#include "schema/jet/table_listing.h"

namespace zl::schema::jet {
namespace {

constexpr char kQueriesTable[] = "MSysQueries";
constexpr char kRelationshipsTable[] = "MSysRelationships";

// Runs `work`, turning allocation failures and internal faults into EngineError so that no
// input can end the program with an unexpected exception. A value read past its checked span
// is corruption of `subject` (`name`), reported like any other.
template <typename Work>
auto guarded(ErrorSubject subject, const std::string& name, Work&& work) -> decltype(work()) {
    try {
        return work();
    } catch (const EngineError&) {
        throw;
    } catch (const SpanOverrun& overrun) {
        throwEngineError(corruption(overrun.what), subject, name);
    } catch (const std::bad_alloc&) {
        throw EngineError("Not enough memory to read the database.");
    } catch (const std::exception& fault) {
        throw EngineError(std::string("Internal error while reading the database: ") +
                          fault.what());
    }
}

std::string outOfRange(const char* collection, int position, std::size_t count) {
    return "Item " + std::to_string(position) + " not found in the " + collection +
           " collection (" + std::to_string(count) + " items).";
}

// A TableDef read in full when fetched; it needs the file no more.
// The table's own documentation and rule.
struct TableTexts {
    std::string validationRule;
    std::string validationText;
    std::string description;
};

class StoredTableDef final : public TableDef {
public:
    StoredTableDef(std::vector<Field> fields, std::vector<Index> indexes, TableTexts texts)
        : m_fields(std::move(fields)), m_indexes(std::move(indexes)), m_texts(std::move(texts)) {}

    int fieldCount() const override { return static_cast<int>(m_fields.size()); }
    Field field(int position) const override {
        if (position < 0 || static_cast<std::size_t>(position) >= m_fields.size()) {
            throw EngineError(outOfRange("Fields", position, m_fields.size()));
        }
        return m_fields[static_cast<std::size_t>(position)];
    }
    const std::vector<Field>* fields() const override { return &m_fields; }
    int indexCount() const override { return static_cast<int>(m_indexes.size()); }
    Index index(int position) const override {
        if (position < 0 || static_cast<std::size_t>(position) >= m_indexes.size()) {
            throw EngineError(outOfRange("Indexes", position, m_indexes.size()));
        }
        return m_indexes[static_cast<std::size_t>(position)];
    }
    std::string validationRule() const override { return m_texts.validationRule; }
    std::string validationText() const override { return m_texts.validationText; }
    std::string description() const override { return m_texts.description; }

private:
    std::vector<Field> m_fields;
    std::vector<Index> m_indexes;
    TableTexts m_texts;
};

// A QueryDef rebuilt in full when opened; it needs the file no more.
class StoredQueryDef final : public QueryDef {
public:
    explicit StoredQueryDef(SavedQuery query) : m_query(std::move(query)) {}
    std::string sql() const override { return m_query.sql; }
    int type() const override { return m_query.type; }

private:
    SavedQuery m_query;
};

std::string describeLink(const CatalogEntry& entry) {
    std::string target =
        entry.type == object_type::kOdbcLink ? entry.linkConnect : entry.linkDatabase;
    if (entry.type == object_type::kOdbcLink) {
        // A connect string may hold a password (PWD=, any case); it stays out of messages.
        std::string upper = target;
        std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
            return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        });
        const std::size_t pwd = upper.find("PWD=");
        if (pwd != std::string::npos) {
            const std::size_t end = upper.find(';', pwd);
            target.replace(pwd, end == std::string::npos ? std::string::npos : end - pwd,
                           "PWD=...");
        }
    }
    const char* kind =
        entry.type == object_type::kOdbcLink ? "an ODBC data source" : "another database";
    return "\"" + entry.name + "\" is a table linked to " + kind + ": its definition is table \"" +
           entry.foreignName + "\" in " + target + ". Open that database to read it.";
}

class JetDatabaseImpl final : public JetDatabase {
public:
    JetDatabaseImpl(std::string name, const HeaderInfo& header, std::unique_ptr<PageReader> reader,
                    std::vector<CatalogEntry> catalog)
        : m_name(std::move(name)),
          m_header(header),
          m_format(&formatFor(header.version)),
          m_text(header.version, header.codePage),
          m_reader(std::move(reader)),
          m_catalog(std::move(catalog)),
          m_listing(buildListing(m_catalog)) {}

    std::string name() const override { return m_name; }
    int collatingOrder() const override { return m_header.collatingOrder; }
    std::vector<TableListRow> listTables() const override {
        requireOpen();
        return m_listing;
    }
    std::unique_ptr<TableDef> tableDef(const std::string& name) const override {
        return guarded(ErrorSubject::Table, name, [&] { return loadTableDef(name); });
    }
    std::unique_ptr<QueryDef> openQueryDef(const std::string& name) const override {
        return guarded(ErrorSubject::Query, name, [&] { return loadQueryDef(name); });
    }
    std::vector<Relation> relations() const override {
        return guarded(ErrorSubject::Database, m_name, [&] { return loadRelations(); });
    }
    std::unique_ptr<Recordset> openRecordset(const std::string& name) const override {
        return guarded(ErrorSubject::Table, name, [&] { return loadRecordset(name); });
    }
    void close() override {
        if (m_reader) {
            m_closedStats = m_reader->stats();
            m_reader.reset();
        }
    }
    ReadStats readStats() const override { return m_reader ? m_reader->stats() : m_closedStats; }

private:
    void requireOpen() const {
        if (!m_reader) {
            throw EngineError("The database is closed.");
        }
    }

    const CatalogEntry* find(const std::string& name) const;
    const CatalogEntry& findOrThrow(const std::string& name, const char* kind) const;
    std::unique_ptr<TableDef> loadTableDef(const std::string& name) const;
    std::unique_ptr<QueryDef> loadQueryDef(const std::string& name) const;
    std::vector<Relation> loadRelations() const;
    const CatalogEntry* systemTable(const char* name) const;
    std::unique_ptr<Recordset> loadRecordset(const std::string& name) const;
    Result<RowCursor> openRowCursor(const CatalogEntry& entry) const;
    Result<std::unique_ptr<TableDef>> readTable(const CatalogEntry& entry) const;
    Result<std::vector<QueryRow>> savedQueryRows(std::int32_t objectId) const;

    std::string m_name;
    HeaderInfo m_header;
    const JetFormat* m_format;
    TextDecoder m_text;
    std::unique_ptr<PageReader> m_reader;
    ReadStats m_closedStats;
    std::vector<CatalogEntry> m_catalog;
    std::vector<TableListRow> m_listing;
    mutable std::optional<SavedQueryRows> m_savedQueries;
    mutable std::optional<std::vector<Relation>> m_relations;
};

const CatalogEntry* JetDatabaseImpl::find(const std::string& name) const {
    const std::vector<const CatalogEntry*> listed = listedEntries(m_catalog);
    for (const CatalogEntry* entry : listed) {
        if (entry->name == name) {
            return entry;
        }
    }
    // DAO looks names up without regard to case.
    for (const CatalogEntry* entry : listed) {
        if (sameNameIgnoringCase(entry->name, name)) {
            return entry;
        }
    }
    return nullptr;
}

const CatalogEntry& JetDatabaseImpl::findOrThrow(const std::string& name, const char* kind) const {
    requireOpen();
    const CatalogEntry* entry = find(name);
    if (entry == nullptr) {
        throw EngineError("The database has no " + std::string(kind) + " named \"" + name + "\".");
    }
    return *entry;
}

std::unique_ptr<TableDef> JetDatabaseImpl::loadTableDef(const std::string& name) const {
    const CatalogEntry& entry = findOrThrow(name, "table");
    if (entry.type == object_type::kQuery) {
        throw EngineError("\"" + entry.name + "\" is a saved query, not a table.");
    }
    if (entry.type != object_type::kTable) {
        throw EngineError(describeLink(entry));
    }
    Result<std::unique_ptr<TableDef>> table = readTable(entry);
    if (!table.ok()) {
        throwEngineError(table.error(), ErrorSubject::Table, entry.name);
    }
    return std::move(table).value();
}

Result<std::unique_ptr<TableDef>> JetDatabaseImpl::readTable(const CatalogEntry& entry) const {
    JET_ASSIGN_OR_RETURN(const TableDefinition table,
                         readTableDefinition(*m_reader, *m_format, m_text, entry.definitionPage()));
    const ReadContext context{*m_reader, *m_format, m_text};
    JET_ASSIGN_OR_RETURN(const PropertySet properties,
                         readTableProperties(context, m_catalog, entry, table));
    std::vector<Field> fields;
    fields.reserve(table.columns.size());
    for (const ColumnDef& column : table.columns) {
        fields.push_back(toDaoField(column, properties.child(column.name), *m_format, m_text));
    }
    const PropertyMap* own = &properties.own();
    TableTexts texts{propertyText(own, "ValidationRule", m_text),
                     propertyText(own, "ValidationText", m_text),
                     propertyText(own, "Description", m_text)};
    std::vector<const LogicalIndexDef*> logical;
    for (const LogicalIndexDef& index : table.logicalIndexes) {
        logical.push_back(&index);
    }
    std::stable_sort(
        logical.begin(), logical.end(),
        [](const LogicalIndexDef* a, const LogicalIndexDef* b) { return a->number < b->number; });
    std::vector<Index> indexes;
    indexes.reserve(logical.size());
    for (const LogicalIndexDef* index : logical) {
        indexes.push_back(toDaoIndex(*index, table));
    }
    return std::unique_ptr<TableDef>(
        std::make_unique<StoredTableDef>(std::move(fields), std::move(indexes), std::move(texts)));
}

const CatalogEntry* JetDatabaseImpl::systemTable(const char* name) const {
    for (const CatalogEntry& candidate : m_catalog) {
        if (candidate.type == object_type::kTable && candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

std::vector<Relation> JetDatabaseImpl::loadRelations() const {
    requireOpen();
    if (!m_relations) {
        const CatalogEntry* table = systemTable(kRelationshipsTable);
        if (table == nullptr) {
            // Files from before relationships existed, and stripped ones, have none.
            return {};
        }
        Result<std::vector<Relation>> relations =
            readRelations(*m_reader, *m_format, m_text, table->definitionPage());
        if (!relations.ok()) {
            throwEngineError(relations.error(), ErrorSubject::Table, table->name);
        }
        m_relations = std::move(relations).value();
    }
    return *m_relations;
}

Result<std::vector<QueryRow>> JetDatabaseImpl::savedQueryRows(std::int32_t objectId) const {
    if (!m_savedQueries) {
        // One pass over the saved-query table serves every query of the database.
        const CatalogEntry* queries = systemTable(kQueriesTable);
        if (queries == nullptr) {
            return corruption("the system table MSysQueries is missing");
        }
        JET_ASSIGN_OR_RETURN(m_savedQueries, readSavedQueryRows(*m_reader, *m_format, m_text,
                                                                queries->definitionPage()));
    }
    return rowsOfQuery(*m_savedQueries, objectId);
}

// Only the cursor reads data pages; opening the schema never does.
std::unique_ptr<Recordset> JetDatabaseImpl::loadRecordset(const std::string& name) const {
    const CatalogEntry& entry = findOrThrow(name, "table");
    if (entry.type != object_type::kTable) {
        throw EngineError("\"" + entry.name + "\" is not a local table; it has no rows to read.");
    }
    Result<RowCursor> cursor = openRowCursor(entry);
    if (!cursor.ok()) {
        throwEngineError(cursor.error(), ErrorSubject::Table, entry.name);
    }
    return makeRecordset(std::move(cursor).value(), entry.name);
}

Result<RowCursor> JetDatabaseImpl::openRowCursor(const CatalogEntry& entry) const {
    JET_ASSIGN_OR_RETURN(RowCursor cursor,
                         RowCursor::open(*m_reader, *m_format, m_text, entry.definitionPage()));
    const ReadContext context{*m_reader, *m_format, m_text};
    JET_ASSIGN_OR_RETURN(const PropertySet properties,
                         readTableProperties(context, m_catalog, entry, cursor.definition()));
    // A calculated column stores its result in the type its ResultType property names.
    const std::vector<ColumnDef>& columns = cursor.definition().columns;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const PropertyMap* found = properties.child(columns[i].name);
        if (columns[i].calculated() && found != nullptr) {
            const auto type = integerProperty(found, "ResultType");
            if (type && *type > 0 && *type < 256) {
                cursor.setResultType(i, static_cast<std::uint8_t>(*type));
            }
        }
    }
    return cursor;
}

std::unique_ptr<QueryDef> JetDatabaseImpl::loadQueryDef(const std::string& name) const {
    const CatalogEntry& entry = findOrThrow(name, "saved query");
    if (entry.type != object_type::kQuery) {
        throw EngineError("\"" + entry.name + "\" is a table, not a saved query.");
    }
    Result<std::vector<QueryRow>> rows = savedQueryRows(entry.id);
    if (!rows.ok()) {
        throwEngineError(rows.error(), ErrorSubject::Query, entry.name);
    }
    Result<SavedQuery> query = rebuildSavedQuery(*rows, entry.flags);
    if (!query.ok()) {
        throwEngineError(query.error(), ErrorSubject::Query, entry.name);
    }
    return std::make_unique<StoredQueryDef>(std::move(query).value());
}

}  // namespace

std::unique_ptr<JetDatabase> openJetDatabase(std::unique_ptr<PageSource> source, std::string name) {
    return guarded(ErrorSubject::Database, name, [&]() -> std::unique_ptr<JetDatabase> {
        Result<HeaderInfo> header = readHeader(*source);
        if (!header.ok()) {
            throwEngineError(header.error(), ErrorSubject::Database, name);
        }
        const JetFormat& format = formatFor(header->version);
        auto reader =
            std::make_unique<PageReader>(std::move(source), format.pageSize, header->pageCount);
        reader->countPriorRead();
        const TextDecoder text(header->version, header->codePage);
        Result<std::vector<CatalogEntry>> catalog = readCatalog(*reader, format, text);
        if (!catalog.ok()) {
            throwEngineError(catalog.error(), ErrorSubject::Database, name);
        }
        return std::make_unique<JetDatabaseImpl>(std::move(name), *header, std::move(reader),
                                                 std::move(catalog).value());
    });
}

}  // namespace zl::schema::jet
