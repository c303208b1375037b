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
#include "schema/jet/saved_query_reader.h"
#include "schema/jet/table_listing.h"

namespace zl::schema::jet {
namespace {

constexpr char kQueriesTable[] = "MSysQueries";

// Runs `work`, turning allocation failures and internal faults into EngineError so that no
// input can end the program with an unexpected exception.
template <typename Work>
auto guarded(Work&& work) -> decltype(work()) {
    try {
        return work();
    } catch (const EngineError&) {
        throw;
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
class StoredTableDef final : public TableDef {
public:
    StoredTableDef(std::vector<Field> fields, std::vector<Index> indexes)
        : m_fields(std::move(fields)), m_indexes(std::move(indexes)) {}

    int fieldCount() const override { return static_cast<int>(m_fields.size()); }
    Field field(int position) const override {
        if (position < 0 || static_cast<std::size_t>(position) >= m_fields.size()) {
            throw EngineError(outOfRange("Fields", position, m_fields.size()));
        }
        return m_fields[static_cast<std::size_t>(position)];
    }
    int indexCount() const override { return static_cast<int>(m_indexes.size()); }
    Index index(int position) const override {
        if (position < 0 || static_cast<std::size_t>(position) >= m_indexes.size()) {
            throw EngineError(outOfRange("Indexes", position, m_indexes.size()));
        }
        return m_indexes[static_cast<std::size_t>(position)];
    }

private:
    std::vector<Field> m_fields;
    std::vector<Index> m_indexes;
};

// A QueryDef holding its stored rows; the SQL text is rebuilt when asked for.
class StoredQueryDef final : public QueryDef {
public:
    explicit StoredQueryDef(std::vector<QueryRow> rows) : m_rows(std::move(rows)) {}
    std::string sql() const override {
        return guarded([&] { return rebuildQuerySql(m_rows); });
    }

private:
    std::vector<QueryRow> m_rows;
};

std::string describeLink(const CatalogEntry& entry) {
    std::string target = entry.type == object_type::kOdbcLink ? entry.linkConnect
                                                              : entry.linkDatabase;
    if (entry.type == object_type::kOdbcLink) {
        // A connect string may hold a password (PWD=, any case); it stays out of messages.
        std::string upper = target;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
        const std::size_t pwd = upper.find("PWD=");
        if (pwd != std::string::npos) {
            const std::size_t end = upper.find(';', pwd);
            target.replace(pwd, end == std::string::npos ? std::string::npos : end - pwd,
                           "PWD=...");
        }
    }
    const char* kind = entry.type == object_type::kOdbcLink ? "an ODBC data source"
                                                            : "another database";
    return "\"" + entry.name + "\" is a table linked to " + kind + ": its definition is table \"" +
           entry.foreignName + "\" in " + target + ". Open that database to read it.";
}

class JetDatabaseImpl final : public JetDatabase {
public:
    JetDatabaseImpl(std::string name, const HeaderInfo& header,
                    std::unique_ptr<PageReader> reader, std::vector<CatalogEntry> catalog)
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
        return guarded([&] { return loadTableDef(name); });
    }
    std::unique_ptr<QueryDef> openQueryDef(const std::string& name) const override {
        return guarded([&] { return loadQueryDef(name); });
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
};

const CatalogEntry* JetDatabaseImpl::find(const std::string& name) const {
    const std::vector<const CatalogEntry*> listed = listedEntries(m_catalog);
    for (const CatalogEntry* entry : listed) {
        if (entry->name == name) {
            return entry;
        }
    }
    // DAO looks names up without regard to case.
    const CaseInsensitiveLess less;
    for (const CatalogEntry* entry : listed) {
        if (!less(entry->name, name) && !less(name, entry->name)) {
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
                         readTableDefinition(*m_reader, *m_format, m_text,
                                             entry.definitionPage()));
    const ReadContext context{*m_reader, *m_format, m_text};
    JET_ASSIGN_OR_RETURN(const ColumnProperties properties,
                         readColumnProperties(context, m_catalog, entry, table));
    std::vector<Field> fields;
    for (const ColumnDef& column : table.columns) {
        const auto found = properties.find(column.name);
        const PropertyMap* own = found == properties.end() ? nullptr : &found->second;
        fields.push_back(toDaoField(column, own, *m_format, m_text));
    }
    std::vector<const LogicalIndexDef*> logical;
    for (const LogicalIndexDef& index : table.logicalIndexes) {
        logical.push_back(&index);
    }
    std::stable_sort(logical.begin(), logical.end(),
                     [](const LogicalIndexDef* a, const LogicalIndexDef* b) {
                         return a->number < b->number;
                     });
    std::vector<Index> indexes;
    indexes.reserve(logical.size());
    for (const LogicalIndexDef* index : logical) {
        indexes.push_back(toDaoIndex(*index, table));
    }
    return std::unique_ptr<TableDef>(
        std::make_unique<StoredTableDef>(std::move(fields), std::move(indexes)));
}

Result<std::vector<QueryRow>> JetDatabaseImpl::savedQueryRows(std::int32_t objectId) const {
    if (!m_savedQueries) {
        // One pass over the saved-query table serves every query of the database.
        const CatalogEntry* queries = nullptr;
        for (const CatalogEntry& candidate : m_catalog) {
            if (candidate.type == object_type::kTable && candidate.name == kQueriesTable) {
                queries = &candidate;
                break;
            }
        }
        if (queries == nullptr) {
            return corruption("the system table MSysQueries is missing");
        }
        JET_ASSIGN_OR_RETURN(m_savedQueries, readSavedQueryRows(*m_reader, *m_format, m_text,
                                                                queries->definitionPage()));
    }
    return rowsOfQuery(*m_savedQueries, objectId);
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
    return std::make_unique<StoredQueryDef>(std::move(rows).value());
}

}  // namespace

std::unique_ptr<JetDatabase> openJetDatabase(std::unique_ptr<PageSource> source,
                                             std::string name) {
    return guarded([&]() -> std::unique_ptr<JetDatabase> {
        Result<HeaderInfo> header = readHeader(*source);
        if (!header.ok()) {
            throwEngineError(header.error(), ErrorSubject::Database, name);
        }
        const JetFormat& format = formatFor(header->version);
        auto reader = std::make_unique<PageReader>(std::move(source), format.pageSize,
                                                   header->pageCount);
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
