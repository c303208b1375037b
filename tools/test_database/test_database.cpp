// In-memory Jet 4 databases for the reader's tests.
#include "test_database.h"

#include <algorithm>
#include <stdexcept>

#include "schema/jet/header_page.h"

namespace zl::schema::jet::test {
namespace {

constexpr std::int32_t kRootId = 0x0F000000;
constexpr std::int32_t kTablesId = 0x0F000001;
constexpr std::int32_t kSystemFlags = static_cast<std::int32_t>(0x80000000u);
constexpr std::uint32_t kFirstObjectId = 0x80000010u;

class Writer {
public:
    void u8(unsigned value) { m_bytes.push_back(static_cast<std::byte>(value & 0xFF)); }
    void u16(unsigned value) {
        u8(value);
        u8(value >> 8);
    }
    void u32(std::uint32_t value) {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }
    void bytes(const ByteVector& data) { m_bytes.insert(m_bytes.end(), data.begin(), data.end()); }
    void zeros(std::size_t count) { m_bytes.resize(m_bytes.size() + count); }
    void put16(std::size_t at, unsigned value) {
        m_bytes.at(at) = static_cast<std::byte>(value & 0xFF);
        m_bytes.at(at + 1) = static_cast<std::byte>((value >> 8) & 0xFF);
    }
    void put32(std::size_t at, std::uint32_t value) {
        put16(at, value & 0xFFFF);
        put16(at + 2, value >> 16);
    }
    std::size_t size() const { return m_bytes.size(); }
    ByteVector& data() { return m_bytes; }

private:
    ByteVector m_bytes;
};

void appendUtf16Unit(ByteVector& out, std::uint32_t unit) {
    out.push_back(static_cast<std::byte>(unit & 0xFF));
    out.push_back(static_cast<std::byte>((unit >> 8) & 0xFF));
}

bool fixedByType(std::uint8_t type) {
    switch (type) {
        case 0x09:
        case 0x0A:
        case 0x0B:
        case 0x0C:
        case 0x10:
            return false;
        default:
            return true;
    }
}

std::uint16_t defaultLength(std::uint8_t type) {
    switch (type) {
        case 0x01:
        case 0x02:
            return 1;
        case 0x03:
            return 2;
        case 0x05:
        case 0x07:
        case 0x08:
        case 0x13:
            return 8;
        case 0x09:
            return 255;
        case 0x0A:
            return 100;
        case 0x0B:
        case 0x0C:
            return 0;
        case 0x0F:
            return 16;
        case 0x10:
            return 17;
        case 0x14:
            return 42;
        default:
            return 4;
    }
}

// A column as laid out in rows.
struct Layout {
    ColumnSpec columnSpec;
    std::uint16_t number = 0;
    bool fixed = true;
    std::uint16_t fixedOffset = 0;
    std::uint16_t varIndex = 0;
    std::uint16_t length = 0;
};

std::vector<Layout> layOut(const std::vector<ColumnSpec>& columns) {
    std::vector<Layout> out;
    std::uint16_t number = 0;
    std::uint16_t fixedOffset = 0;
    std::uint16_t varIndex = 0;
    for (const ColumnSpec& columnSpec : columns) {
        Layout layout;
        layout.columnSpec = columnSpec;
        number = static_cast<std::uint16_t>(number + columnSpec.numberGap);
        layout.number = number++;
        layout.fixed = columnSpec.fixed.value_or(fixedByType(columnSpec.type));
        layout.length = columnSpec.length != 0 ? columnSpec.length : defaultLength(columnSpec.type);
        if (layout.fixed) {
            layout.fixedOffset = fixedOffset;
            fixedOffset = static_cast<std::uint16_t>(fixedOffset +
                                                     (columnSpec.type == 0x01 ? 0 : layout.length));
        } else {
            layout.varIndex = varIndex++;
        }
        out.push_back(layout);
    }
    return out;
}

using Cell = std::optional<ByteVector>;

// A Jet 4 row: column count, fixed area, variable data, offsets backwards, null mask.
ByteVector encodeRow(const std::vector<Layout>& columns, const std::vector<Cell>& cells) {
    std::size_t columnCount = 0;
    std::size_t fixedSize = 0;
    std::size_t varCount = 0;
    for (const Layout& column : columns) {
        columnCount = std::max<std::size_t>(columnCount, column.number + 1u);
        if (column.fixed && column.columnSpec.type != 0x01) {
            fixedSize = std::max<std::size_t>(fixedSize, column.fixedOffset + column.length);
        } else if (!column.fixed) {
            varCount = std::max<std::size_t>(varCount, column.varIndex + 1u);
        }
    }
    Writer row;
    row.u16(static_cast<unsigned>(columnCount));
    row.zeros(fixedSize);
    std::vector<std::size_t> starts(varCount + 1, 0);
    ByteVector mask((columnCount + 7) / 8);
    std::vector<const Cell*> varCells(varCount, nullptr);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Layout& column = columns[i];
        const Cell& cell = cells.at(i);
        const bool present = column.columnSpec.type == 0x01
                                 ? (cell && !cell->empty() && (*cell)[0] != std::byte{0})
                                 : cell.has_value();
        if (present) {
            mask[column.number / 8] |= static_cast<std::byte>(1u << (column.number % 8));
        }
        if (column.fixed && column.columnSpec.type != 0x01 && cell) {
            std::copy(cell->begin(), cell->end(), row.data().begin() + 2 + column.fixedOffset);
        } else if (!column.fixed) {
            varCells[column.varIndex] = &cell;
        }
    }
    for (std::size_t v = 0; v < varCount; ++v) {
        starts[v] = row.size();
        if (varCells[v] != nullptr && varCells[v]->has_value()) {
            row.bytes(**varCells[v]);
        }
    }
    starts[varCount] = row.size();
    for (std::size_t v = varCount + 1; v-- > 0;) {
        row.u16(static_cast<unsigned>(starts[v]));
    }
    row.u16(static_cast<unsigned>(varCount));
    row.bytes(mask);
    return row.data();
}

ByteVector number32(std::uint32_t value) {
    Writer w;
    w.u32(value);
    return w.data();
}

ByteVector number16(unsigned value) {
    Writer w;
    w.u16(value);
    return w.data();
}

// An inline long value: 12-byte reference with the data after it.
ByteVector inlineLongValue(const ByteVector& data) {
    Writer w;
    w.u32(static_cast<std::uint32_t>(data.size()) | 0x80000000u);
    w.u32(0);
    w.u32(0);
    w.bytes(data);
    return w.data();
}

// The definition of a table: header, columns, names, physical and logical indexes.
ByteVector encodeDefinition(const std::vector<Layout>& columns,
                            const std::vector<IndexSpec>& indexes, bool system,
                            std::uint32_t ownedPages) {
    std::vector<int> physicalOf;
    int physicalCount = 0;
    for (const IndexSpec& index : indexes) {
        physicalOf.push_back(index.sharesPhysicalOf >= 0
                                 ? physicalOf.at(static_cast<std::size_t>(index.sharesPhysicalOf))
                                 : physicalCount++);
    }
    Writer w;
    w.u8(0x02);
    w.u8(0x01);
    w.u16(0);
    w.u32(0);  // next page, patched when split
    w.u32(0);  // length
    w.zeros(28);
    w.u8(system ? 0x53 : 0x4E);
    std::uint16_t maxNumber = 0;
    std::uint16_t varCount = 0;
    for (const Layout& column : columns) {
        maxNumber =
            std::max<std::uint16_t>(maxNumber, static_cast<std::uint16_t>(column.number + 1));
        varCount = static_cast<std::uint16_t>(varCount + (column.fixed ? 0 : 1));
    }
    w.u16(maxNumber);
    w.u16(varCount);
    w.u16(static_cast<unsigned>(columns.size()));
    w.u32(static_cast<std::uint32_t>(indexes.size()));
    w.u32(static_cast<std::uint32_t>(physicalCount));
    w.u32(ownedPages);
    w.u32(ownedPages);
    w.zeros(12 * static_cast<std::size_t>(physicalCount));
    for (const Layout& column : columns) {
        w.u8(column.columnSpec.type);
        w.u32(0);
        w.u16(column.number);
        w.u16(column.varIndex);
        w.u16(column.number);
        w.u32(column.columnSpec.type == 0x0A ? 0x409 : 0);
        w.u8(column.columnSpec.extraFlags | (column.fixed ? 0x01 : 0x00));
        w.u8(column.columnSpec.extFlags);
        w.u32(0);
        w.u16(column.fixedOffset);
        w.u16(column.length);
    }
    for (const Layout& column : columns) {
        const ByteVector name = utf16(column.columnSpec.name);
        w.u16(static_cast<unsigned>(name.size()));
        w.bytes(name);
    }
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        if (indexes[i].sharesPhysicalOf >= 0) {
            continue;
        }
        w.u32(0);
        for (std::size_t slot = 0; slot < 10; ++slot) {
            if (slot < indexes[i].keys.size()) {
                const std::string& name = indexes[i].keys[slot].first;
                const bool ascending = indexes[i].keys[slot].second;
                const auto found =
                    std::find_if(columns.begin(), columns.end(),
                                 [&](const Layout& c) { return c.columnSpec.name == name; });
                w.u16(found == columns.end() ? 0x7777 : found->number);
                w.u8(ascending ? 0x01 : 0x02);
            } else {
                w.u16(0xFFFF);
                w.u8(0);
            }
        }
        w.u32(0);
        w.u32(0);
        w.u32(0);
        w.u8(indexes[i].flags);
        w.zeros(5);
    }
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        w.u32(0);
        w.u32(static_cast<std::uint32_t>(indexes[i].number >= 0 ? indexes[i].number
                                                                : static_cast<std::int32_t>(i)));
        w.u32(static_cast<std::uint32_t>(physicalOf[i]));
        w.u8(0);
        w.u32(0xFFFFFFFFu);
        w.u32(0);
        w.u8(0);
        w.u8(0);
        w.u8(indexes[i].kind);
        w.u32(0);
    }
    for (const IndexSpec& index : indexes) {
        const ByteVector name = utf16(index.name);
        w.u16(static_cast<unsigned>(name.size()));
        w.bytes(name);
    }
    w.u16(0xFFFF);
    w.put32(8, static_cast<std::uint32_t>(w.size()));
    return w.data();
}

// Splits a definition into pages: the first page holds 4096 bytes, each next one 4088 after
// its 8-byte header; the next-page fields are filled in from `firstPage` on.
std::vector<ByteVector> splitDefinition(const ByteVector& definition, std::uint32_t firstPage) {
    std::vector<ByteVector> pages;
    std::size_t taken = 0;
    while (taken < definition.size() || pages.empty()) {
        ByteVector page(kPageSize);
        const std::size_t header = pages.empty() ? 0 : 8;
        if (!pages.empty()) {
            page[0] = std::byte{0x02};
            page[1] = std::byte{0x01};
        }
        const std::size_t count = std::min(kPageSize - header, definition.size() - taken);
        std::copy_n(definition.begin() + static_cast<std::ptrdiff_t>(taken), count,
                    page.begin() + static_cast<std::ptrdiff_t>(header));
        taken += count;
        pages.push_back(std::move(page));
    }
    for (std::size_t i = 0; i + 1 < pages.size(); ++i) {
        const auto next = static_cast<std::uint32_t>(firstPage + i + 1);
        for (std::size_t b = 0; b < 4; ++b) {
            pages[i][4 + b] = static_cast<std::byte>((next >> (8 * b)) & 0xFF);
        }
    }
    return pages;
}

std::vector<ColumnSpec> catalogColumns() {
    return {{"Id", 0x04},    {"ParentId", 0x04}, {"Name", 0x0A, 128}, {"Type", 0x03},
            {"Flags", 0x04}, {"Database", 0x0C}, {"Connect", 0x0C},   {"ForeignName", 0x0A, 128},
            {"LvProp", 0x0B}};
}

std::vector<ColumnSpec> queryColumns() {
    return {{"Attribute", 0x02},  {"Expression", 0x0C}, {"Flag", 0x03},  {"Name1", 0x0A, 510},
            {"Name2", 0x0A, 510}, {"ObjectId", 0x04},   {"Order", 0x09}, {"LvExtra", 0x04}};
}

ByteVector inlineMapRow(std::uint32_t page) {
    Writer w;
    w.u8(0);
    w.u32(0);
    ByteVector bitmap(64);
    if (page != 0) {
        bitmap.at(page / 8) |= static_cast<std::byte>(1u << (page % 8));
    }
    w.bytes(bitmap);
    return w.data();
}

Cell text(const std::string& value) { return utf16(value); }

}  // namespace

ByteVector utf16(const std::string& text) {
    ByteVector out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t code = lead;
        std::size_t length = 1;
        if (lead >= 0xF0) {
            code = lead & 0x07u;
            length = 4;
        } else if (lead >= 0xE0) {
            code = lead & 0x0Fu;
            length = 3;
        } else if (lead >= 0xC0) {
            code = lead & 0x1Fu;
            length = 2;
        }
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        i += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            appendUtf16Unit(out, 0xD800 + (code >> 10));
            appendUtf16Unit(out, 0xDC00 + (code & 0x3FF));
        } else {
            appendUtf16Unit(out, code);
        }
    }
    return out;
}

ByteVector dataPage(std::uint32_t owner, const std::vector<ByteVector>& rows) {
    ByteVector page(kPageSize);
    Writer header;
    header.u8(0x01);
    header.u8(0x01);
    header.u16(0);
    header.u32(owner);
    header.u32(0);
    header.u16(static_cast<unsigned>(rows.size()));
    std::size_t end = kPageSize;
    for (const ByteVector& row : rows) {
        if (row.size() > end - 14 - 2 * rows.size()) {
            throw std::length_error("test rows do not fit one page");
        }
        end -= row.size();
        header.u16(static_cast<unsigned>(end));
        std::copy(row.begin(), row.end(), page.begin() + static_cast<std::ptrdiff_t>(end));
    }
    std::copy(header.data().begin(), header.data().end(), page.begin());
    return page;
}

PropertyBlob& PropertyBlob::column(const std::string& name) {
    m_maps.push_back(Map{name, {}});
    return *this;
}

PropertyBlob& PropertyBlob::text(const std::string& property, const std::string& value) {
    m_maps.back().values.push_back(Value{property, 0x0A, utf16(value)});
    return *this;
}

PropertyBlob& PropertyBlob::boolean(const std::string& property, bool value) {
    m_maps.back().values.push_back(
        Value{property, 0x01, ByteVector{value ? std::byte{0xFF} : std::byte{0}}});
    return *this;
}

PropertyBlob& PropertyBlob::byteValue(const std::string& property, std::uint8_t value) {
    m_maps.back().values.push_back(Value{property, 0x02, ByteVector{std::byte{value}}});
    return *this;
}

ByteVector PropertyBlob::build() const {
    std::vector<std::string> names;
    for (const Map& map : m_maps) {
        for (const Value& value : map.values) {
            if (std::find(names.begin(), names.end(), value.name) == names.end()) {
                names.push_back(value.name);
            }
        }
    }
    Writer w;
    w.bytes({std::byte{'M'}, std::byte{'R'}, std::byte{'2'}, std::byte{0}});
    Writer nameChunk;
    for (const std::string& name : names) {
        const ByteVector encoded = utf16(name);
        nameChunk.u16(static_cast<unsigned>(encoded.size()));
        nameChunk.bytes(encoded);
    }
    w.u32(static_cast<std::uint32_t>(nameChunk.size() + 6));
    w.u16(0x80);
    w.bytes(nameChunk.data());
    for (std::size_t m = 0; m < m_maps.size(); ++m) {
        const Map& map = m_maps[m];
        Writer chunk;
        const ByteVector mapName = utf16(map.name);
        chunk.u32(static_cast<std::uint32_t>(6 + mapName.size()));
        chunk.u16(static_cast<unsigned>(mapName.size()));
        chunk.bytes(mapName);
        for (const Value& value : map.values) {
            const auto index = std::find(names.begin(), names.end(), value.name) - names.begin();
            chunk.u16(static_cast<unsigned>(8 + value.data.size()));
            chunk.u8(0);
            chunk.u8(value.type);
            chunk.u16(static_cast<unsigned>(index));
            chunk.u16(static_cast<unsigned>(value.data.size()));
            chunk.bytes(value.data);
        }
        w.u32(static_cast<std::uint32_t>(chunk.size() + 6));
        w.u16(m == 0 ? 0x00 : 0x01);
        w.bytes(chunk.data());
    }
    return w.data();
}

TestDatabase& TestDatabase::table(TableSpec columnSpec) {
    m_tables.push_back(std::move(columnSpec));
    return *this;
}

TestDatabase& TestDatabase::link(LinkSpec columnSpec) {
    m_links.push_back(std::move(columnSpec));
    return *this;
}

TestDatabase& TestDatabase::query(QuerySpec columnSpec) {
    m_queries.push_back(std::move(columnSpec));
    return *this;
}

TestDatabase& TestDatabase::collatingOrder(std::uint16_t order) {
    m_collatingOrder = order;
    return *this;
}

std::uint32_t TestDatabase::tablePage(std::size_t index) const {
    std::uint32_t page = kFirstTablePage;
    for (std::size_t i = 0; i < index; ++i) {
        const ByteVector definition =
            encodeDefinition(layOut(m_tables[i].columns), m_tables[i].indexes, false, 0);
        page += static_cast<std::uint32_t>(splitDefinition(definition, page).size());
        page += m_tables[i].propertiesOnOwnPage ? 1 : 0;
    }
    return page;
}

ByteVector TestDatabase::build() const {
    std::vector<ByteVector> pages(kFirstTablePage);
    // Header page.
    ByteVector header(kPageSize);
    const std::string engine = "Standard Jet DB";
    header[1] = std::byte{0x01};
    for (std::size_t i = 0; i < engine.size(); ++i) {
        header[4 + i] = static_cast<std::byte>(engine[i]);
    }
    header[0x14] = std::byte{0x01};
    std::vector<std::uint8_t> clear(0x98);
    clear[0x3C] = 1252 & 0xFF;
    clear[0x3D] = 1252 >> 8;
    clear[0x6E] = static_cast<std::uint8_t>(m_collatingOrder & 0xFF);
    clear[0x6F] = static_cast<std::uint8_t>(m_collatingOrder >> 8);
    toggleHeaderMask(clear, JetVersion::Jet4);
    for (std::size_t i = 0x18; i < clear.size(); ++i) {
        header[i] = static_cast<std::byte>(clear[i]);
    }
    pages[0] = header;
    pages[1] = ByteVector(kPageSize);

    const std::vector<Layout> catalog = layOut(catalogColumns());
    const std::vector<Layout> queries = layOut(queryColumns());
    pages[kCatalogPage] =
        splitDefinition(encodeDefinition(catalog, {}, true, (kUsageMapPage << 8) | 0), kCatalogPage)
            .at(0);
    pages[kQueriesPage] =
        splitDefinition(encodeDefinition(queries, {}, true, (kUsageMapPage << 8) | 1), kQueriesPage)
            .at(0);
    pages[kUsageMapPage] = dataPage(
        0, {inlineMapRow(kCatalogDataPage), inlineMapRow(kQueriesDataPage), inlineMapRow(0)});

    auto catalogRow = [&](std::int32_t id, std::int32_t parent, const std::string& name, int type,
                          std::int32_t flags, const std::vector<Cell>& extra) {
        std::vector<Cell> cells{number32(static_cast<std::uint32_t>(id)),
                                number32(static_cast<std::uint32_t>(parent)), text(name),
                                number16(static_cast<unsigned>(type)),
                                number32(static_cast<std::uint32_t>(flags))};
        cells.insert(cells.end(), extra.begin(), extra.end());
        cells.resize(catalog.size());
        return encodeRow(catalog, cells);
    };
    std::vector<ByteVector> catalogRows;
    catalogRows.push_back(catalogRow(kTablesId, kRootId, "Tables", 3, kSystemFlags, {}));
    catalogRows.push_back(catalogRow(kCatalogPage, kTablesId, "MSysObjects", 1, kSystemFlags, {}));
    catalogRows.push_back(catalogRow(kQueriesPage, kTablesId, "MSysQueries", 1, kSystemFlags, {}));

    std::uint32_t next = kFirstTablePage;
    for (const TableSpec& table : m_tables) {
        const std::uint32_t first = next;
        const ByteVector definition =
            encodeDefinition(layOut(table.columns), table.indexes, false, (kUsageMapPage << 8) | 2);
        for (ByteVector& page : splitDefinition(definition, first)) {
            pages.push_back(std::move(page));
            ++next;
        }
        Cell properties;
        if (!table.properties.empty() && table.propertiesOnOwnPage) {
            pages.push_back(dataPage(0x4C56414C, {table.properties}));
            Writer reference;
            reference.u32(static_cast<std::uint32_t>(table.properties.size()) | 0x40000000u);
            reference.u32(next << 8);
            reference.u32(0);
            properties = reference.data();
            ++next;
        } else if (!table.properties.empty()) {
            properties = inlineLongValue(table.properties);
        }
        catalogRows.push_back(catalogRow(static_cast<std::int32_t>(first), kTablesId, table.name, 1,
                                         table.flags, {Cell(), Cell(), Cell(), properties}));
    }
    std::uint32_t objectId = kFirstObjectId;
    for (const LinkSpec& link : m_links) {
        catalogRows.push_back(catalogRow(
            static_cast<std::int32_t>(objectId++), kTablesId, link.name, link.type, link.flags,
            {inlineLongValue(utf16(link.database)), inlineLongValue(utf16(link.connect)),
             text(link.foreignName), Cell()}));
    }
    std::vector<ByteVector> queryRows;
    for (const QuerySpec& query : m_queries) {
        const std::int32_t id = static_cast<std::int32_t>(objectId++);
        catalogRows.push_back(catalogRow(id, kTablesId, query.name, 5, query.flags, {}));
        for (const QueryRowSpec& row : query.rows) {
            auto optionalText = [](const std::optional<std::string>& value) {
                return value ? text(*value) : Cell();
            };
            queryRows.push_back(encodeRow(
                queries,
                {row.attribute ? Cell(ByteVector{static_cast<std::byte>(*row.attribute)}) : Cell(),
                 row.expression ? Cell(inlineLongValue(utf16(*row.expression))) : Cell(),
                 row.flag ? Cell(number16(static_cast<unsigned>(*row.flag))) : Cell(),
                 optionalText(row.name1), optionalText(row.name2),
                 number32(static_cast<std::uint32_t>(id)),
                 row.order.empty() ? Cell() : Cell(row.order),
                 row.extra ? Cell(number32(static_cast<std::uint32_t>(*row.extra))) : Cell()}));
        }
    }
    pages[kCatalogDataPage] = dataPage(kCatalogPage, catalogRows);
    pages[kQueriesDataPage] = dataPage(kQueriesPage, queryRows);
    for (std::size_t t = 0; t < m_tables.size(); ++t) {
        const ByteVector filler(1000, std::byte{0x5A});
        for (std::size_t i = 0; i < m_tables[t].dataPages; ++i) {
            pages.push_back(dataPage(tablePage(t), {filler, filler, filler}));
        }
    }

    ByteVector file;
    for (const ByteVector& page : pages) {
        file.insert(file.end(), page.begin(), page.end());
    }
    return file;
}

}  // namespace zl::schema::jet::test
