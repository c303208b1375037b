// Opening, closing and listing the database in the main window.
#include "controller/database_connection.h"

#include <algorithm>
#include <exception>

#include "controller/app_texts.h"
#include "schema/engine.h"

namespace zl::controller {

// Marks the span in which this object changes the lists itself, so that the selection changes
// the lists report back meanwhile never reach the model.
class DatabaseConnection::UpdateGuard {
public:
    explicit UpdateGuard(DatabaseConnection& owner) : m_owner(owner), m_previous(owner.m_updating) {
        m_owner.m_updating = true;
    }
    ~UpdateGuard() { m_owner.m_updating = m_previous; }
    UpdateGuard(const UpdateGuard&) = delete;
    UpdateGuard& operator=(const UpdateGuard&) = delete;

private:
    DatabaseConnection& m_owner;
    bool m_previous;
};

namespace {

// Names go into captions whose "&" marks a shortcut letter; a name's own "&" must show as is.
std::string literalCaption(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

std::string tooManyFieldsMessage(int count, const std::string& table) {
    return "Too many fields (" + std::to_string(count) + ") in table " + table + " (max. " +
           std::to_string(schema::SchemaModel::kListedFields) + "). Contact the author of " +
           kAppTitle + ".";
}

}  // namespace

DatabaseConnection::DatabaseConnection(schema::Engine& engine, MainView& view)
    : m_engine(engine), m_view(view) {}

DatabaseConnection::~DatabaseConnection() = default;

FileDialogRequest DatabaseConnection::openDialogRequest() const {
    FileDialogRequest request;
    request.title = kFileDialogTitle;
    request.filters = {"MS Access (*.mdb *.accdb)", "MS Access 97-2003 (*.mdb)",
                       "MS Access 2007 and later (*.accdb)", "All files (*)"};
    request.defaultSuffix = "mdb";
    request.mustExist = true;
    return request;
}

bool DatabaseConnection::OpenDatabaseFile(const std::string& fileName) {
    if (m_database) CloseDatabase();
    std::string name = fileName;
    if (name.empty()) {
        name = m_view.askOpenFileName(openDialogRequest());
        if (name.empty()) return false;
    }
    try {
        m_database = m_engine.openDatabase(name);
    } catch (const std::exception& e) {
        m_database.reset();
        m_view.showMessage(e.what(), kOpenFailedTitle, MessageIcon::Exclamation);
        return false;
    }
    m_open = true;
    FillTableList();
    {
        UpdateGuard guard(*this);
        m_model.ResetSelection();
        m_view.setAllRowsSelected(ListId::Tables, true);
        m_current = m_model.size() > 0 ? 0 : -1;
        m_view.setCurrentRow(ListId::Tables, m_current);
    }
    FillFieldList();
    FillIndexList();
    return true;
}

void DatabaseConnection::CloseDatabase() {
    {
        UpdateGuard guard(*this);
        m_view.clearList(ListId::Tables);
        m_view.clearList(ListId::Fields);
        m_view.clearList(ListId::Indexes);
        m_model.clear();
        m_fieldPositions.clear();
        m_indexPositions.clear();
        m_current = -1;
    }
    if (m_database) {
        try {
            m_database->close();
        } catch (const std::exception&) {
            // Closing is best effort; the object is released either way.
        }
        m_database.reset();
    }
    m_open = false;
    // A closed database's captions and SQL text must not stay on show.
    showNoEntry();
}

void DatabaseConnection::FillTableList() {
    UpdateGuard guard(*this);
    std::string lastFailure;
    bool failed = false;
    std::vector<schema::TableListRow> rows;
    try {
        rows = m_database->listTables();
    } catch (const std::exception& e) {
        failed = true;
        lastFailure = e.what();
    }
    if (!failed) {
        m_view.clearList(ListId::Tables);
        m_model.clear();
        for (const schema::TableListRow& row : rows) {
            if (row.isSystemObject()) continue;
            m_model.addEntry(row.name, row.isQueryDef());
            m_view.appendRow(ListId::Tables, row.name, false);
            if (row.isQueryDef()) continue;
            try {
                const int count = m_database->tableDef(row.name)->fieldCount();
                if (count > schema::SchemaModel::kListedFields) {
                    m_view.showMessage(tooManyFieldsMessage(count, row.name), kAppTitle,
                                       MessageIcon::Exclamation);
                }
            } catch (const std::exception& e) {
                failed = true;
                lastFailure = e.what();
            }
        }
    }
    if (failed) m_view.showMessage(lastFailure, kAppTitle, MessageIcon::None);
}

void DatabaseConnection::FillFieldList() {
    UpdateGuard guard(*this);
    m_view.clearList(ListId::Fields);
    m_fieldPositions.clear();
    if (m_current < 0 || static_cast<std::size_t>(m_current) >= m_model.size()) {
        showNoEntry();
        return;
    }
    const schema::SchemaEntry& entry = m_model.entry(static_cast<std::size_t>(m_current));
    if (entry.isQueryDef) {
        showQueryDef(entry);
    } else {
        showTableFields(m_current, entry);
    }
}

void DatabaseConnection::showQueryDef(const schema::SchemaEntry& entry) {
    m_view.setLabelText(LabelId::TableName, "QueryDef '" + literalCaption(entry.name) + "':");
    m_view.setLabelVisible(LabelId::Sql, true);
    // A QueryDef that cannot be read shows no SQL rather than the previous entry's.
    std::string sql;
    try {
        std::unique_ptr<schema::QueryDef> query = m_database->openQueryDef(entry.name);
        sql = query->sql();
        query->close();
    } catch (const std::exception&) {
        sql.clear();
    }
    m_view.setLabelText(LabelId::Sql, sql);
    m_view.setListVisible(ListId::Fields, false);
}

void DatabaseConnection::showTableFields(int e, const schema::SchemaEntry& entry) {
    m_view.setListVisible(ListId::Fields, true);
    m_view.setLabelVisible(LabelId::Sql, false);
    m_view.setLabelText(LabelId::TableName,
                        "Fi&elds in table '" + literalCaption(entry.name) + "':");
    const auto entryIndex = static_cast<std::size_t>(e);
    try {
        std::unique_ptr<schema::TableDef> table = m_database->tableDef(entry.name);
        const int count = std::min(table->fieldCount(), schema::SchemaModel::kListedFields);
        for (int j = 0; j < count; ++j) {
            try {
                const schema::Field field = table->field(j);
                const bool shown = entry.selected && m_model.IsFieldIncluded(entryIndex, j);
                m_view.appendRow(ListId::Fields, field.name, shown);
                m_fieldPositions.push_back(j);
            } catch (const std::exception&) {
                // An unreadable field is left out of the list; the others still show.
            }
        }
    } catch (const std::exception&) {
        // No TableDef or no field count: the list stays empty, as documented.
    }
}

void DatabaseConnection::showNoEntry() {
    UpdateGuard guard(*this);
    m_view.setLabelText(LabelId::TableName, "");
    m_view.setLabelText(LabelId::Sql, "");
    m_view.setLabelVisible(LabelId::Sql, false);
    m_view.setListVisible(ListId::Fields, true);
    m_view.setLabelVisible(LabelId::IndexesLabel, true);
    m_view.setListVisible(ListId::Indexes, true);
}

void DatabaseConnection::FillIndexList() {
    UpdateGuard guard(*this);
    m_view.clearList(ListId::Indexes);
    m_indexPositions.clear();
    if (m_current < 0 || static_cast<std::size_t>(m_current) >= m_model.size()) {
        m_view.setLabelVisible(LabelId::IndexesLabel, true);
        m_view.setListVisible(ListId::Indexes, true);
        return;
    }
    const auto e = static_cast<std::size_t>(m_current);
    const schema::SchemaEntry& entry = m_model.entry(e);
    if (entry.isQueryDef) {
        m_view.setLabelVisible(LabelId::IndexesLabel, false);
        m_view.setListVisible(ListId::Indexes, false);
        return;
    }
    m_view.setLabelVisible(LabelId::IndexesLabel, true);
    m_view.setListVisible(ListId::Indexes, true);
    try {
        std::unique_ptr<schema::TableDef> table = m_database->tableDef(entry.name);
        const int count = std::min(table->indexCount(), schema::SchemaModel::kListedIndexes);
        for (int k = 0; k < count; ++k) {
            const schema::Index index = table->index(k);
            m_view.appendRow(ListId::Indexes, index.name,
                             entry.selected && m_model.IsIndexIncluded(e, k));
            m_indexPositions.push_back(k);
        }
    } catch (const std::exception&) {
        // The filling stops at the first failure; the rows added so far stay.
    }
}

void DatabaseConnection::rowToggled(ListId list, int row, bool selected) {
    if (m_updating || row < 0) return;
    if (list == ListId::Tables) {
        tableToggled(row, selected);
        return;
    }
    // Fields and indexes belong to the entry whose lists are on show.
    if (m_current < 0) return;
    const auto r = static_cast<std::size_t>(row);
    const auto e = static_cast<std::size_t>(m_current);
    if (list == ListId::Fields && r < m_fieldPositions.size()) {
        m_model.StoreFieldSelection(e, m_fieldPositions[r], selected);
    } else if (list == ListId::Indexes && r < m_indexPositions.size()) {
        m_model.StoreIndexSelection(e, m_indexPositions[r], selected);
    }
}

void DatabaseConnection::tableToggled(int row, bool selected) {
    if (static_cast<std::size_t>(row) >= m_model.size()) return;
    m_model.setEntrySelected(static_cast<std::size_t>(row), selected);
    m_current = row;
    {
        UpdateGuard guard(*this);
        m_view.setCurrentRow(ListId::Tables, row);
    }
    FillFieldList();
    FillIndexList();
}

void DatabaseConnection::SelectAll() {
    {
        UpdateGuard guard(*this);
        m_model.SelectAllEntries();
        m_view.setAllRowsSelected(ListId::Tables, true);
    }
    FillFieldList();
    FillIndexList();
}

void DatabaseConnection::UnselectAll() {
    {
        UpdateGuard guard(*this);
        m_model.UnselectAllEntries();
        m_view.setAllRowsSelected(ListId::Tables, false);
    }
    FillFieldList();
    FillIndexList();
}

}  // namespace zl::controller
