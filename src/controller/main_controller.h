// The main window's behaviour: start-up, menu commands and list events, without any toolkit.
#pragma once

#include <string>
#include <vector>

#include "controller/database_connection.h"
#include "controller/main_view.h"
#include "sqlgen/sql_script.h"

namespace zl::schema {
class Engine;
}

namespace zl::controller {

class Services;

// Drives a MainView. The window forwards every menu command and list event here; the
// controller decides and calls back into the view. Engine, view and services must outlive it.
class MainController {
public:
    MainController(schema::Engine& engine, MainView& view, Services& services);

    // Start-up: the caption, the tutorial when the settings ask for it, then the database named
    // by `arguments` (the command line without the program name), if any.
    void start(const std::vector<std::string>& arguments);

    // File menu.
    void fileMenuOpening();
    void fileOpen();
    void fileClose();
    void fileSettings();
    // Asks for the .bas file and writes the module; reports the outcome in a message box.
    void CreateVisualBasicModule();
    // Generates the script in `dialect` and shows it in the text viewer; a failure is shown in
    // a message box and nothing else changes.
    void generateSqlDefinition(sqlgen::SqlDialect dialect);
    // Export the selection's rows: ask for the SQLite file, or for the PostgreSQL connection,
    // run under the progress dialog, then show the summary and the ledger.
    void exportToSqlite();
    void exportToPostgresql();

    // Select menu.
    void selectAll();
    void unselectAll();

    // Help menu and the tutorial window's Hide button.
    void helpTutorial();
    void helpAbout();
    void tutorialHidden();

    // A list row changed its selection (a click or a keyboard toggle).
    void rowToggled(ListId list, int row, bool selected);

    // The main window is closing: the database is closed.
    void windowClosing();

    const DatabaseConnection& connection() const { return m_connection; }

private:
    void updateCommandEnabling();
    void openTutorial();
    void runExport(const ExportJob& job, const std::string& caption);

    MainView& m_view;
    Services& m_services;
    DatabaseConnection m_connection;
    // The last connection entered, for the next dialog; its password is never kept.
    PostgresConnection m_lastPostgres;
};

}  // namespace zl::controller
