// The main window's one open database, its schema model, and the three lists that show them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controller/main_view.h"
#include "schema/schema_model.h"

namespace zl::schema {
class Database;
class Engine;
}  // namespace zl::schema

namespace zl::controller {

// Opens and closes the database through the engine, fills the Tables, Fields and Indexes lists
// of the view, and turns the user's clicks in them into schema-model operations. Engine
// failures are reported to the user in message boxes as each operation states; none escapes.
class DatabaseConnection {
public:
    DatabaseConnection(schema::Engine& engine, MainView& view);
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    // Opens `fileName` shared and read-only (empty: asks with the open dialog), fills the lists,
    // selects everything and shows the first entry. A database still open is closed first.
    // A cancelled dialog shows nothing; an engine failure shows "Couldn't open database" with
    // the engine's description. Returns whether a database is open afterwards.
    bool OpenDatabaseFile(const std::string& fileName);
    // Empties the lists and the model and closes the database; harmless when none is open.
    void CloseDatabase();

    // Refills the Tables list and the model's entries from the engine's table listing.
    void FillTableList();
    // Refill the right-hand side (Fields or the QueryDef's SQL; Indexes) for the current entry.
    void FillFieldList();
    void FillIndexList();

    // A row of a list changed its selection. Only the user's own changes are acted on: reports
    // that arrive while this object itself updates the lists are ignored.
    void rowToggled(ListId list, int row, bool selected);

    // Select all / Unselect all: every entry, then both right-hand lists refilled.
    void SelectAll();
    void UnselectAll();

    bool isOpen() const { return m_open; }
    const schema::SchemaModel& model() const { return m_model; }
    // The open database, or null when none is open.
    const schema::Database* database() const { return m_database.get(); }
    // The entry whose fields and indexes are shown, -1 when none.
    int currentEntry() const { return m_current; }

private:
    class UpdateGuard;

    FileDialogRequest openDialogRequest() const;
    void showQueryDef(const schema::SchemaEntry& entry);
    void showTableFields(int e, const schema::SchemaEntry& entry);
    void showNoEntry();
    void tableToggled(int row, bool selected);

    schema::Engine& m_engine;
    MainView& m_view;
    std::unique_ptr<schema::Database> m_database;
    bool m_open = false;
    schema::SchemaModel m_model;
    int m_current = -1;
    // Field (index) position shown by each row of the Fields (Indexes) list; a field that
    // cannot be read is left out, so rows and positions may differ.
    std::vector<int> m_fieldPositions;
    std::vector<int> m_indexPositions;
    bool m_updating = false;
};

}  // namespace zl::controller
