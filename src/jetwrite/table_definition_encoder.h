// Encodes a table definition (TDEF) and spreads it over one or more table definition pages.
#pragma once

#include <cstdint>
#include <vector>

#include "jetwrite/byte_writer.h"
#include "jetwrite/page_file.h"
#include "jetwrite/table_schema.h"

namespace zl::jetwrite {

// What a table definition records about the table's pages besides its schema.
struct TableDefinitionData {
    std::uint32_t rowCount = 0;
    std::uint32_t lastAutoNumber = 0;
    std::uint32_t ownedPagesMap = 0;  // row pointers to usage maps
    std::uint32_t freeSpaceMap = 0;
    struct PhysicalIndex {
        std::uint32_t usageMap = 0;
        PageNumber root = 0;
        std::uint32_t uniqueEntries = 0;
    };
    std::vector<PhysicalIndex> indexes;  // parallel to TableSchema::physicalIndexes
    struct LongValueMaps {
        std::uint16_t column = 0;
        std::uint32_t owned = 0;
        std::uint32_t freeSpace = 0;
    };
    std::vector<LongValueMaps> longValueMaps;
    std::vector<PageNumber> tablePages;  // definition page of every table, by description position
};

// The complete definition, page header of the first page included. Throws WriteError when a
// name is too long or a foreign reference names a table not in `data.tablePages`.
Bytes encodeTableDefinition(const TableSchema& schema, const TableDefinitionData& data);

// The number of pages a definition of `length` bytes occupies.
std::size_t tableDefinitionPageCount(std::size_t length);

// Writes `definition` to `pages` (as many as tableDefinitionPageCount says), chaining them.
void writeTableDefinitionPages(PageFile& file, const std::vector<PageNumber>& pages,
                               const Bytes& definition);

}  // namespace zl::jetwrite
