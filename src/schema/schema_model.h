// The schema model: the open database's entries in listing order and the user's selection.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zl::schema {

// One table or QueryDef of the open database, as listed.
struct SchemaEntry {
    std::string name;
    bool isQueryDef = false;
    bool selected = false;
};

// Entries plus the FieldSelection/IndexSelection flags. Every entry has its selection row.
// A row holds an all-fields (all-indexes) flag, 501 field (51 index) columns, and one more flag
// that stands for every position past the last column, so that fields beyond the displayed
// limits follow the same rules as a field the user never clicked.
class SchemaModel {
public:
    static constexpr int kFieldColumns = 501;  // field positions 0..500
    static constexpr int kIndexColumns = 51;   // index positions 0..50
    static constexpr int kListedFields = 500;  // Fields list shows positions 0..499
    static constexpr int kListedIndexes = 50;  // Indexes list shows positions 0..49

    // Appends one entry (unselected) with a fresh selection row.
    void addEntry(std::string name, bool isQueryDef);
    // Empties the entry list (closing the database).
    void clear();

    const std::vector<SchemaEntry>& entries() const { return m_entries; }
    std::size_t size() const { return m_entries.size(); }
    const SchemaEntry& entry(std::size_t e) const { return m_entries.at(e); }

    // Selects or unselects one entry (a click in the Tables list).
    void setEntrySelected(std::size_t e, bool selected);

    // Every entry selected, in the all-fields and all-indexes state.
    void ResetSelection();
    // Records the user's change of one field's (index's) selection.
    void StoreFieldSelection(std::size_t e, int j, bool selected);
    void StoreIndexSelection(std::size_t e, int k, bool selected);
    // Every entry (un)selected with all explicit field and index columns set (cleared);
    // the all-fields and all-indexes flags are left as they are.
    void SelectAllEntries();
    void UnselectAllEntries();

    // Whether field j (index k) of entry e is to be generated. False for an unknown entry.
    bool IsFieldIncluded(std::size_t e, int j) const;
    bool IsIndexIncluded(std::size_t e, int k) const;
    // True when every field of entry e is included, so that a caller need not ask field by field.
    bool allFieldsIncluded(std::size_t e) const {
        return e < m_entries.size() && m_fieldRows[e].all;
    }

private:
    struct Row {
        bool all = true;
        std::vector<bool> columns;  // explicit flags for positions 0..N-1
        bool beyond = true;         // positions N and above
    };
    static void expand(Row& row);
    static void store(Row& row, int position, bool selected);
    static bool included(const Row& row, int position);
    static void setExplicit(Row& row, bool value);

    std::vector<SchemaEntry> m_entries;
    std::vector<Row> m_fieldRows;
    std::vector<Row> m_indexRows;
};

}  // namespace zl::schema
