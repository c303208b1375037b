// The system catalog (MSysObjects, defined at page 2): one row per database object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "schema/jet/page_reader.h"
#include "schema/jet/row_view.h"
#include "schema/jet/table_definition.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// Object types of catalog rows (column "Type").
namespace object_type {
inline constexpr int kContainer = 3;
inline constexpr int kTable = 1;
inline constexpr int kOdbcLink = 4;
inline constexpr int kQuery = 5;
inline constexpr int kAccessLink = 6;
}  // namespace object_type

// What the reader keeps of one catalog row.
struct CatalogEntry {
    std::int32_t id = 0;
    std::int32_t parentId = 0;
    std::string name;
    int type = 0;
    std::int32_t flags = 0;
    std::string linkDatabase;  // "Database": the linked file (Access links)
    std::string linkConnect;   // "Connect": the connect string (ODBC links)
    std::string foreignName;   // "ForeignName": the table's name in the linked database
    // "LvProp": the raw long value reference (with inline data), read only when needed.
    std::vector<std::byte> properties;
    Origin propertiesOrigin;

    // The table definition page of a local table (low 24 bits of the id).
    std::uint32_t definitionPage() const { return static_cast<std::uint32_t>(id) & 0xFFFFFFu; }
};

inline constexpr std::uint32_t kCatalogDefinitionPage = 2;

// Reads the catalog: its definition at page 2 and every live row.
Result<std::vector<CatalogEntry>> readCatalog(PageReader& reader, const JetFormat& format,
                                              const TextDecoder& text);

// The entries DAO lists as tables and queries: local tables, links and queries inside the
// "Tables" container (all such entries when the container row is missing).
std::vector<const CatalogEntry*> listedEntries(const std::vector<CatalogEntry>& catalog);

}  // namespace zl::schema::jet
