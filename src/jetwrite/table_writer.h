// Writes one table: its rows to data and long-value pages, its index trees, its usage maps and
// finally its definition.
#pragma once

#include <string>
#include <vector>

#include "jetwrite/database_description.h"
#include "jetwrite/index_tree_writer.h"
#include "jetwrite/long_value_store.h"
#include "jetwrite/row_encoder.h"
#include "jetwrite/table_definition_encoder.h"
#include "jetwrite/table_schema.h"
#include "jetwrite/usage_map_store.h"

namespace zl::jetwrite {

class TableWriter {
public:
    // `definitionPages` are the pages reserved for the table definition (the first one is the
    // table's page number). `maps` receives the table's usage maps.
    TableWriter(PageFile& file, UsageMapStore& maps, const TableSchema& schema,
                std::vector<PageNumber> definitionPages);

    // Adds one row (one value per column). AutoNumber columns given NULL get the next number.
    // Throws WriteError naming the table and row when a value cannot be stored.
    void addRow(std::vector<Value> row);

    // Writes index trees, usage maps and the definition. `tablePages` gives the definition page
    // of every user table by position, for foreign-key references.
    // Throws WriteError for duplicate keys in a unique index or NULLs in a required one.
    void finish(const std::vector<PageNumber>& tablePages);

    // The size in bytes of the definition of `schema`, for reserving its pages.
    static std::size_t definitionSize(const TableSchema& schema);

private:
    void fillAutoNumbers(std::vector<Value>& row);
    void collectIndexEntries(const std::vector<Value>& row, RowLocation location,
                             const std::string& where);
    void writeIndexes(TableDefinitionData& data);
    void writeUsageMaps(TableDefinitionData& data);

    PageFile& m_file;
    UsageMapStore& m_maps;
    const TableSchema& m_schema;
    std::vector<PageNumber> m_definitionPages;
    std::vector<LongValueStore> m_longValues;
    RowEncoder m_encoder;
    RowPagePacker m_dataPages;
    std::vector<std::vector<IndexEntry>> m_indexEntries;  // per physical index
    std::uint32_t m_rowCount = 0;
    std::int64_t m_lastAutoNumber = 0;
};

}  // namespace zl::jetwrite
