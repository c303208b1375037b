// System catalog reading.
#include "schema/jet/catalog.h"

#include "schema/jet/table_scan.h"

namespace zl::schema::jet {
namespace {

// The catalog columns the reader uses.
struct CatalogColumns {
    const ColumnDef* id;
    const ColumnDef* parentId;
    const ColumnDef* name;
    const ColumnDef* type;
    const ColumnDef* flags;
    const ColumnDef* database;
    const ColumnDef* connect;
    const ColumnDef* foreignName;
    const ColumnDef* properties;
};

Result<CatalogColumns> findColumns(const TableDefinition& table) {
    CatalogColumns columns{table.columnByName("Id"),      table.columnByName("ParentId"),
                           table.columnByName("Name"),    table.columnByName("Type"),
                           table.columnByName("Flags"),   table.columnByName("Database"),
                           table.columnByName("Connect"), table.columnByName("ForeignName"),
                           table.columnByName("LvProp")};
    for (const auto& [column, name] : {std::pair{columns.id, "Id"}, std::pair{columns.name, "Name"},
                                       std::pair{columns.type, "Type"}}) {
        if (column == nullptr) {
            return corruption("the system catalog (page 2) has no column " + std::string(name));
        }
    }
    return columns;
}

Result<CatalogEntry> readEntry(const RecordReader& record, const CatalogColumns& columns,
                               const RowView& row) {
    CatalogEntry entry;
    JET_ASSIGN_OR_RETURN(const auto id, record.integer(row, columns.id));
    JET_ASSIGN_OR_RETURN(const auto parentId, record.integer(row, columns.parentId));
    JET_ASSIGN_OR_RETURN(const auto name, record.text(row, columns.name));
    JET_ASSIGN_OR_RETURN(const auto type, record.integer(row, columns.type));
    JET_ASSIGN_OR_RETURN(const auto flags, record.integer(row, columns.flags));
    entry.id = static_cast<std::int32_t>(id.value_or(0));
    entry.parentId = static_cast<std::int32_t>(parentId.value_or(0));
    entry.name = name.value_or("");
    entry.type = static_cast<int>(type.value_or(0));
    entry.flags = static_cast<std::int32_t>(flags.value_or(0));
    const bool linked =
        entry.type == object_type::kAccessLink || entry.type == object_type::kOdbcLink;
    if (linked) {
        JET_ASSIGN_OR_RETURN(const auto database, record.text(row, columns.database));
        JET_ASSIGN_OR_RETURN(const auto connect, record.text(row, columns.connect));
        JET_ASSIGN_OR_RETURN(const auto foreign, record.text(row, columns.foreignName));
        entry.linkDatabase = database.value_or("");
        entry.linkConnect = connect.value_or("");
        entry.foreignName = foreign.value_or("");
    }
    if (entry.type == object_type::kTable && columns.properties != nullptr) {
        JET_ASSIGN_OR_RETURN(const std::optional<Bytes> raw, row.value(*columns.properties));
        if (raw) {
            entry.properties.assign(raw->begin(), raw->end());
            entry.propertiesOrigin = row.origin();
        }
    }
    return entry;
}

}  // namespace

Result<std::vector<CatalogEntry>> readCatalog(PageReader& reader, const JetFormat& format,
                                              const TextDecoder& text) {
    JET_ASSIGN_OR_RETURN(const TableDefinition table,
                         readTableDefinition(reader, format, text, kCatalogDefinitionPage));
    JET_ASSIGN_OR_RETURN(const CatalogColumns columns, findColumns(table));
    const RecordReader record(reader, format, text);
    std::vector<CatalogEntry> entries;
    entries.reserve(64);  // a new database holds about 40 objects
    JET_TRY(scanRows(reader, format, table, [&](const RowView& row) -> Status {
        JET_ASSIGN_OR_RETURN(CatalogEntry entry, readEntry(record, columns, row));
        entries.push_back(std::move(entry));
        return {};
    }));
    return entries;
}

std::vector<const CatalogEntry*> listedEntries(const std::vector<CatalogEntry>& catalog) {
    // The "Tables" container sits directly under the root container (its parent id has the
    // top byte 0x0F), and every table, link and query has it as parent.
    std::optional<std::int32_t> tablesContainer;
    for (const CatalogEntry& entry : catalog) {
        if (entry.type == object_type::kContainer && entry.name == "Tables") {
            tablesContainer = entry.id;
            break;
        }
    }
    std::vector<const CatalogEntry*> listed;
    for (const CatalogEntry& entry : catalog) {
        const bool listedType =
            entry.type == object_type::kTable || entry.type == object_type::kOdbcLink ||
            entry.type == object_type::kQuery || entry.type == object_type::kAccessLink;
        if (listedType && (!tablesContainer || entry.parentId == *tablesContainer)) {
            listed.push_back(&entry);
        }
    }
    return listed;
}

}  // namespace zl::schema::jet
