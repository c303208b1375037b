// Name lookups for the translator: typed columns by table, saved queries, and default quoting.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "support/text.h"
#include "translate/translate.h"

namespace zl::translate {

namespace {

std::string quoteIdentifier(std::string_view name) {
    std::string out;
    out.reserve(name.size() + 2);
    appendQuoted(out, name);
    return out;
}

}  // namespace

namespace {

// True when `name` holds a double quote; eight bytes at a time, as names are short and many.
bool holdsQuote(std::string_view name) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    std::size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        std::uint64_t x = 0;
        std::memcpy(&x, name.data() + i, sizeof x);
        const std::uint64_t quote = x ^ (kOnes * '"');  // a zero byte where a quote stands
        if (((quote - kOnes) & ~quote & kHigh) != 0) return true;
    }
    for (; i < name.size(); ++i) {
        if (name[i] == '"') return true;
    }
    return false;
}

}  // namespace

void appendQuoted(std::string& out, std::string_view name) {
    if (!holdsQuote(name)) {
        // The common case, in one piece: the quotes with room between them, then the name.
        const std::size_t at = out.size();
        out.append(name.size() + 2, '"');
        name.copy(out.data() + at + 1, name.size());
        return;
    }
    out += '"';
    for (std::size_t start = 0;;) {
        const std::size_t quote = name.find('"', start);
        out.append(name.substr(start, quote == std::string_view::npos ? quote : quote + 1 - start));
        if (quote == std::string_view::npos) break;
        out += '"';  // a quote inside is written twice
        start = quote + 1;
    }
    out += '"';
}

namespace {

// Two names of the same size, compared without regard to ASCII case. A lookup compares a name
// with many that differ from it, so bytes are first compared eight at a time: a difference in
// more than the case bit (0x20) tells the names apart, and names with no difference at all are
// the same; only names that differ in that bit alone are compared letter by letter.
bool sameName(std::string_view a, std::string_view b) {
    constexpr std::uint64_t kCaseBits = 0x2020202020202020ULL;
    const std::size_t size = a.size();
    std::uint64_t differ = 0;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a.data() + i, sizeof x);
        std::memcpy(&y, b.data() + i, sizeof y);
        if (((x ^ y) & ~kCaseBits) != 0) return false;
        differ |= x ^ y;
    }
    for (; i < size; ++i) {
        const auto d = static_cast<unsigned char>(a[i] ^ b[i]);
        if ((d & ~0x20U) != 0) return false;
        differ |= d;
    }
    return differ == 0 || support::equalsIgnoringAsciiCase(a, b);
}

}  // namespace

TableColumns::TableColumns(const TableColumns& other) : name(other.name), columns(other.columns) {
    for (Column& column : columns) column.name = keep(column.name);
}

TableColumns& TableColumns::operator=(const TableColumns& other) {
    if (this != &other) *this = TableColumns(other);
    return *this;
}

std::string_view TableColumns::keep(std::string_view text) {
    if (text.empty()) return {};
    auto copy = std::make_unique_for_overwrite<char[]>(text.size());
    std::copy(text.begin(), text.end(), copy.get());
    const std::string_view kept(copy.get(), text.size());
    m_kept.push_back(std::move(copy));
    return kept;
}

const Column* TableColumns::find(std::string_view column) const {
    for (const Column& c : columns) {
        if (c.name.size() == column.size() && sameName(c.name, column)) return &c;
    }
    return nullptr;
}

void ColumnMap::addTable(TableColumns table) {
    auto found = m_tables.find(std::string_view(table.name));
    if (found != m_tables.end()) {
        found->second = std::move(table);
        return;
    }
    std::string key = table.name;
    m_tables.emplace(std::move(key), std::move(table));
}

void ColumnMap::addQuery(std::string name) { m_queries.try_emplace(std::move(name), true); }

void ColumnMap::setTableSource(TableSource source) { m_source = std::move(source); }

const TableColumns* ColumnMap::table(std::string_view name) const {
    if (!m_tables.empty()) {
        auto it = m_tables.find(name);
        if (it != m_tables.end()) return &it->second;
    }
    return m_source ? m_source(name) : nullptr;
}

bool ColumnMap::isQuery(std::string_view name) const {
    return !m_queries.empty() && m_queries.find(name) != m_queries.end();
}

std::string QuotingNameMapper::object(std::string_view name) const { return quoteIdentifier(name); }

std::string QuotingNameMapper::column(std::string_view /*owner*/, std::string_view column) const {
    return quoteIdentifier(column);
}

void QuotingNameMapper::appendObject(std::string& out, std::string_view name) const {
    appendQuoted(out, name);
}

void QuotingNameMapper::appendColumn(std::string& out, std::string_view /*owner*/,
                                     std::string_view field) const {
    appendQuoted(out, field);
}

}  // namespace zl::translate
