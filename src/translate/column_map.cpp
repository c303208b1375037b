// Name lookups for the translator: typed columns by table, saved queries, and default quoting.
#include "translate/translate.h"

namespace zl::translate {

namespace {

// Access compares names without regard to case; ASCII folding covers the names seen in practice.
std::string fold(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string quoteIdentifier(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace

const Column* TableColumns::find(std::string_view column) const {
    const std::string key = fold(column);
    for (const Column& c : columns) {
        if (fold(c.name) == key) {
            return &c;
        }
    }
    return nullptr;
}

void ColumnMap::addTable(TableColumns table) {
    std::string key = fold(table.name);
    m_tables[std::move(key)] = std::move(table);
}

void ColumnMap::addQuery(std::string name) {
    std::string key = fold(name);
    m_queries[std::move(key)] = std::move(name);
}

const TableColumns* ColumnMap::table(std::string_view name) const {
    auto it = m_tables.find(fold(name));
    return it == m_tables.end() ? nullptr : &it->second;
}

bool ColumnMap::isQuery(std::string_view name) const { return m_queries.count(fold(name)) != 0; }

std::string QuotingNameMapper::object(std::string_view name) const { return quoteIdentifier(name); }

std::string QuotingNameMapper::column(std::string_view /*owner*/, std::string_view column) const {
    return quoteIdentifier(column);
}

}  // namespace zl::translate
