// Builds small Jet 4 databases in memory for the reader's tests: a header, the catalog, the
// saved-query table, user tables with columns, indexes and properties, links and queries.
// The layout is fixed so that tests can damage known bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zl::schema::jet::test {

using ByteVector = std::vector<std::byte>;

inline constexpr std::size_t kPageSize = 4096;

// Fixed page numbers of the built file.
inline constexpr std::uint32_t kCatalogPage = 2;      // MSysObjects definition
inline constexpr std::uint32_t kUsageMapPage = 3;     // usage map rows: catalog, queries
inline constexpr std::uint32_t kCatalogDataPage = 4;  // catalog rows
inline constexpr std::uint32_t kQueriesPage = 5;      // MSysQueries definition
inline constexpr std::uint32_t kQueriesDataPage = 6;  // MSysQueries rows
inline constexpr std::uint32_t kFirstTablePage = 7;   // user tables from here on

struct ColumnSpec {
    std::string name;
    std::uint8_t type = 0x04;
    std::uint16_t length = 0;        // stored length (bytes); 0 takes the type's size
    std::uint8_t extraFlags = 0x02;  // flag bits besides "fixed" (set from `fixed`)
    std::optional<bool> fixed{};     // default: by type
    std::uint8_t extFlags = 0;
    std::uint16_t numberGap = 0;  // column numbers skipped before this one (deletions)
};

struct IndexSpec {
    std::string name;
    std::vector<std::pair<std::string, bool>> keys{};  // column name, ascending
    std::uint8_t flags = 0;     // physical flags: 1 unique, 2 ignore nulls, 8 required
    std::uint8_t kind = 0;      // 1 primary key, 2 foreign key
    std::int32_t number = -1;   // logical number; -1 takes the position
    int sharesPhysicalOf = -1;  // use the physical index of an earlier index (by position)
};

struct TableSpec {
    std::string name;
    std::int32_t flags = 0;
    std::vector<ColumnSpec> columns{};
    std::vector<IndexSpec> indexes{};
    ByteVector properties{};           // LvProp blob (see PropertyBlob)
    bool propertiesOnOwnPage = false;  // store the blob as a long value on a page of its own
    std::size_t dataPages = 0;         // filler data pages of the table, appended to the file
};

struct LinkSpec {
    std::string name;
    int type = 6;  // 6 Access link, 4 ODBC link
    std::string database{};
    std::string connect{};
    std::string foreignName{};
    std::int32_t flags = 0;
};

struct QueryRowSpec {
    std::optional<int> attribute{};
    std::optional<std::string> expression{};
    std::optional<int> flag{};
    std::optional<std::string> name1{};
    std::optional<std::string> name2{};
    ByteVector order{};
    std::optional<std::int32_t> extra{};
};

struct QuerySpec {
    std::string name;
    std::int32_t flags = 0;
    std::vector<QueryRowSpec> rows{};
};

// Encodes a property blob ("MR2\0"): the object's own properties and per-column maps.
class PropertyBlob {
public:
    PropertyBlob& column(const std::string& name);  // following values belong to `name`
    PropertyBlob& text(const std::string& property, const std::string& value);
    PropertyBlob& boolean(const std::string& property, bool value);
    PropertyBlob& byteValue(const std::string& property, std::uint8_t value);
    ByteVector build() const;

private:
    struct Value {
        std::string name;
        std::uint8_t type;
        ByteVector data;
    };
    struct Map {
        std::string name;
        std::vector<Value> values;
    };
    std::vector<Map> m_maps{Map{}};
};

// The database under construction.
class TestDatabase {
public:
    TestDatabase& table(TableSpec columnSpec);
    TestDatabase& link(LinkSpec columnSpec);
    TestDatabase& query(QuerySpec columnSpec);
    TestDatabase& collatingOrder(std::uint16_t order);

    // The file's bytes.
    ByteVector build() const;
    // The first definition page of user table `index` in the built file.
    std::uint32_t tablePage(std::size_t index) const;

private:
    std::vector<TableSpec> m_tables;
    std::vector<LinkSpec> m_links;
    std::vector<QuerySpec> m_queries;
    std::uint16_t m_collatingOrder = 1033;
};

// UTF-16LE bytes of a UTF-8 text.
ByteVector utf16(const std::string& text);

// A 4 KB data page owned by `owner` holding `rows` (row 0 at the end of the page).
ByteVector dataPage(std::uint32_t owner, const std::vector<ByteVector>& rows);

}  // namespace zl::schema::jet::test
