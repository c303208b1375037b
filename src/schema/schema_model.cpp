// The schema model's selection rules.
#include "schema/schema_model.h"

namespace zl::schema {

namespace {
template <typename Row>
Row makeRow(int columns) {
    Row row;
    row.columns.assign(static_cast<std::size_t>(columns), true);
    return row;
}
}  // namespace

void SchemaModel::addEntry(std::string name, bool isQueryDef) {
    m_entries.push_back(SchemaEntry{std::move(name), isQueryDef, false});
    if (m_fieldRows.size() < m_entries.size()) {
        m_fieldRows.push_back(makeRow<Row>(kFieldColumns));
        m_indexRows.push_back(makeRow<Row>(kIndexColumns));
    }
}

void SchemaModel::clear() { m_entries.clear(); }

void SchemaModel::setEntrySelected(std::size_t e, bool selected) {
    m_entries.at(e).selected = selected;
}

void SchemaModel::ResetSelection() {
    for (std::size_t e = 0; e < m_entries.size(); ++e) {
        m_entries[e].selected = true;
        m_fieldRows[e].all = true;
        m_indexRows[e].all = true;
    }
}

void SchemaModel::setExplicit(Row& row, bool value) {
    row.columns.assign(row.columns.size(), value);
    row.beyond = value;
}

// The first change to a row in the all state makes every position explicitly selected, so
// that the one change just made is the only difference.
void SchemaModel::expand(Row& row) {
    if (row.all) {
        row.all = false;
        setExplicit(row, true);
    }
}

void SchemaModel::store(Row& row, int position, bool selected) {
    expand(row);
    if (position >= 0 && static_cast<std::size_t>(position) < row.columns.size()) {
        row.columns[static_cast<std::size_t>(position)] = selected;
    }
}

bool SchemaModel::included(const Row& row, int position) {
    if (row.all) return true;
    if (position < 0) return false;
    if (static_cast<std::size_t>(position) < row.columns.size()) {
        return row.columns[static_cast<std::size_t>(position)];
    }
    return row.beyond;
}

void SchemaModel::StoreFieldSelection(std::size_t e, int j, bool selected) {
    if (e < m_fieldRows.size()) store(m_fieldRows[e], j, selected);
}

void SchemaModel::StoreIndexSelection(std::size_t e, int k, bool selected) {
    if (e < m_indexRows.size()) store(m_indexRows[e], k, selected);
}

void SchemaModel::SelectAllEntries() {
    for (std::size_t e = 0; e < m_entries.size(); ++e) {
        m_entries[e].selected = true;
        setExplicit(m_fieldRows[e], true);
        setExplicit(m_indexRows[e], true);
    }
}

void SchemaModel::UnselectAllEntries() {
    for (std::size_t e = 0; e < m_entries.size(); ++e) {
        m_entries[e].selected = false;
        setExplicit(m_fieldRows[e], false);
        setExplicit(m_indexRows[e], false);
    }
}

bool SchemaModel::IsFieldIncluded(std::size_t e, int j) const {
    return e < m_entries.size() && included(m_fieldRows[e], j);
}

bool SchemaModel::IsIndexIncluded(std::size_t e, int k) const {
    return e < m_entries.size() && included(m_indexRows[e], k);
}

}  // namespace zl::schema
