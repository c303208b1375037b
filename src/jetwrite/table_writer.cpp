// Table writing: rows first (data pages, long values, index entries), then the index trees and
// usage maps, then the definition that points at all of them.
#include "jetwrite/table_writer.h"

#include <algorithm>

#include "jetwrite/index_key_encoder.h"
#include "jetwrite/table_definition_encoder.h"
#include "jetwrite/value_encoder.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

std::vector<LongValueStore> makeStores(PageFile& file, std::size_t count) {
    std::vector<LongValueStore> stores;
    stores.reserve(count);
    for (std::size_t i = 0; i < count; ++i) stores.emplace_back(file);
    return stores;
}

bool entryLess(const IndexEntry& a, const IndexEntry& b) {
    if (a.key != b.key)
        return std::lexicographical_compare(a.key.begin(), a.key.end(), b.key.begin(), b.key.end());
    return a.row.pointer() < b.row.pointer();
}

}  // namespace

TableWriter::TableWriter(PageFile& file, UsageMapStore& maps, const TableSchema& schema,
                         std::vector<PageNumber> definitionPages)
    : m_file(file),
      m_maps(maps),
      m_schema(schema),
      m_definitionPages(std::move(definitionPages)),
      m_longValues(makeStores(file, schema.columns.size())),
      m_encoder(schema.columns, m_longValues),
      m_dataPages(file, m_definitionPages.at(0)),
      m_indexEntries(schema.physicalIndexes.size()) {}

std::size_t TableWriter::definitionSize(const TableSchema& schema) {
    TableDefinitionData data;
    for (const ColumnLayout& column : schema.columns) {
        if (column.isLongValue()) data.longValueMaps.push_back({column.number, 0, 0});
    }
    for (const LogicalIndexLayout& index : schema.logicalIndexes) {
        if (index.hasReference)
            data.tablePages.resize(
                std::max(data.tablePages.size(), index.reference.otherTable + 1));
    }
    return encodeTableDefinition(schema, data).size();
}

void TableWriter::fillAutoNumbers(std::vector<Value>& row) {
    for (std::size_t i = 0; i < m_schema.columns.size() && i < row.size(); ++i) {
        if (!m_schema.columns[i].autoNumber) continue;
        if (isNull(row[i])) {
            row[i] = m_lastAutoNumber + 1;
        }
        if (const auto* number = std::get_if<std::int64_t>(&row[i])) {
            m_lastAutoNumber = std::max(m_lastAutoNumber, *number);
        }
    }
}

void TableWriter::addRow(std::vector<Value> row) {
    const std::string where =
        "table \"" + m_schema.name + "\", row " + std::to_string(m_rowCount + 1);
    fillAutoNumbers(row);
    const Bytes encoded = m_encoder.encode(row, where);
    const RowLocation location = m_dataPages.add(encoded);
    collectIndexEntries(row, location, where);
    ++m_rowCount;
}

void TableWriter::collectIndexEntries(const std::vector<Value>& row, RowLocation location,
                                      const std::string& where) {
    for (std::size_t i = 0; i < m_schema.physicalIndexes.size(); ++i) {
        const PhysicalIndexLayout& index = m_schema.physicalIndexes[i];
        const auto nulls = static_cast<std::size_t>(std::count_if(
            index.columns.begin(), index.columns.end(), [&](const PhysicalIndexColumn& part) {
                return isNull(row[part.column]) && !m_schema.columns[part.column].isBoolean();
            }));
        if (nulls == index.columns.size() && (index.flags & jet::kIndexIgnoreNulls) != 0) continue;
        if (nulls > 0 && (index.flags & jet::kIndexRequired) != 0) {
            throw WriteError(where + ": NULL in a field of a required or primary index");
        }
        m_indexEntries[i].push_back(
            {encodeIndexKey(index, m_schema.columns, row, where), location});
    }
}

void TableWriter::writeIndexes(TableDefinitionData& data) {
    for (std::size_t i = 0; i < m_schema.physicalIndexes.size(); ++i) {
        std::vector<IndexEntry>& entries = m_indexEntries[i];
        std::sort(entries.begin(), entries.end(), entryLess);
        std::uint32_t distinct = 0;
        for (std::size_t e = 0; e < entries.size(); ++e) {
            if (e > 0 && entries[e].key == entries[e - 1].key) {
                if ((m_schema.physicalIndexes[i].flags & jet::kIndexUnique) != 0) {
                    throw WriteError("table \"" + m_schema.name +
                                     "\": duplicate key in a unique index");
                }
                continue;
            }
            ++distinct;
        }
        const IndexTree tree = writeIndexTree(m_file, m_definitionPages.at(0), entries);
        data.indexes.push_back({m_maps.add(tree.pages), tree.root, distinct});
        entries.clear();
        entries.shrink_to_fit();
    }
}

void TableWriter::writeUsageMaps(TableDefinitionData& data) {
    const std::vector<PageNumber>& dataPages = m_dataPages.pages();
    data.ownedPagesMap = m_maps.add(dataPages);
    std::vector<PageNumber> withSpace;
    if (!dataPages.empty() && m_dataPages.freeSpace(dataPages.back()) > 0)
        withSpace.push_back(dataPages.back());
    data.freeSpaceMap = m_maps.add(withSpace);
    for (std::size_t i = 0; i < m_schema.columns.size(); ++i) {
        if (!m_schema.columns[i].isLongValue()) continue;
        const std::vector<PageNumber>& pages = m_longValues[i].pages();
        std::vector<PageNumber> lastWithSpace;
        if (!pages.empty() && m_longValues[i].packer().freeSpace(pages.back()) > 0)
            lastWithSpace.push_back(pages.back());
        const std::uint32_t owned = m_maps.add(pages);
        data.longValueMaps.push_back(
            {m_schema.columns[i].number, owned, m_maps.add(lastWithSpace)});
    }
}

void TableWriter::finish(const std::vector<PageNumber>& tablePages) {
    TableDefinitionData data;
    data.rowCount = m_rowCount;
    data.lastAutoNumber = static_cast<std::uint32_t>(m_lastAutoNumber);
    data.tablePages = tablePages;
    writeIndexes(data);
    writeUsageMaps(data);
    const Bytes definition = encodeTableDefinition(m_schema, data);
    writeTableDefinitionPages(m_file, m_definitionPages, definition);
}

}  // namespace zl::jetwrite
