// Page order of a new database: header (0), global usage map (1), the definitions of the four
// system tables (2-5), the definitions of the user tables, then data, long-value, index and
// usage-map pages as each table is written; the catalog is written last, once every id is known.
#include "jetwrite/database_writer.h"

#include "jetwrite/catalog_rows.h"
#include "jetwrite/description_checker.h"
#include "jetwrite/file_saver.h"
#include "jetwrite/global_usage_map.h"
#include "jetwrite/header_page.h"
#include "jetwrite/query_rows.h"
#include "jetwrite/relationship_rows.h"
#include "jetwrite/schema_planner.h"
#include "jetwrite/system_tables.h"
#include "jetwrite/table_definition_encoder.h"
#include "jetwrite/table_writer.h"

namespace zl::jetwrite {

namespace {

constexpr PageNumber kHeaderPage = 0;
constexpr PageNumber kGlobalMapPage = 1;

std::vector<PageNumber> reservePages(PageFile& file, std::size_t definitionSize) {
    std::vector<PageNumber> pages;
    const std::size_t count = tableDefinitionPageCount(definitionSize);
    for (std::size_t i = 0; i < count; ++i) pages.push_back(file.allocate());
    return pages;
}

void writeRows(TableWriter& writer, const TableDescription& table) {
    for (const std::vector<Value>& row : table.rows) writer.addRow(row);
    if (table.generatedRows) {
        for (std::size_t i = 0; i < table.generatedRows->count; ++i)
            writer.addRow(table.generatedRows->make(i));
    }
}

void writeSystemTable(PageFile& file, UsageMapStore& maps, const TableSchema& schema,
                      PageNumber page, const std::vector<std::vector<Value>>& rows,
                      const std::vector<PageNumber>& tablePages) {
    TableWriter writer(file, maps, schema, {page});
    for (const std::vector<Value>& row : rows) writer.addRow(row);
    writer.finish(tablePages);
}

std::vector<std::vector<Value>> allQueryRows(const DatabaseDescription& database) {
    std::vector<std::vector<Value>> rows;
    for (std::size_t i = 0; i < database.queries.size(); ++i) {
        std::vector<std::vector<Value>> query = queryRows(database.queries[i], documentId(i));
        rows.insert(rows.end(), std::make_move_iterator(query.begin()),
                    std::make_move_iterator(query.end()));
    }
    return rows;
}

}  // namespace

Bytes buildDatabase(const DatabaseDescription& database) {
    checkDescription(database);
    const std::vector<TableSchema> schemas = planSchemas(database);
    PageFile file;
    for (PageNumber page = kHeaderPage; page <= kRelationshipsPage; ++page) file.allocate();
    std::vector<std::vector<PageNumber>> definitionPages;
    std::vector<PageNumber> tablePages;
    for (const TableSchema& schema : schemas) {
        definitionPages.push_back(reservePages(file, TableWriter::definitionSize(schema)));
        tablePages.push_back(definitionPages.back().front());
    }
    UsageMapStore maps(file);
    for (std::size_t i = 0; i < schemas.size(); ++i) {
        TableWriter writer(file, maps, schemas[i], definitionPages[i]);
        writeRows(writer, database.tables[i]);
        writer.finish(tablePages);
    }
    writeSystemTable(file, maps, queriesSchema(), kQueriesPage, allQueryRows(database), tablePages);
    writeSystemTable(file, maps, relationshipsSchema(), kRelationshipsPage,
                     relationshipRows(database.relationships), tablePages);
    writeSystemTable(file, maps, accessControlSchema(), kAccessControlPage, {}, tablePages);
    writeSystemTable(file, maps, catalogSchema(), kCatalogPage, catalogRows(database, tablePages),
                     tablePages);
    writeGlobalUsageMap(file, kGlobalMapPage);
    writeHeaderPage(file.page(kHeaderPage), database.collatingOrder, database.created);
    return file.bytes();
}

void writeDatabase(const DatabaseDescription& database, const std::filesystem::path& path) {
    const Bytes image = buildDatabase(database);
    saveBesideAndRename(path, image);
}

}  // namespace zl::jetwrite
