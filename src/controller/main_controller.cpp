// Start-up, menu commands and list events of the main window.
#include "controller/main_controller.h"

#include <exception>
#include <optional>
#include <utility>

#include "controller/app_texts.h"
#include "controller/command_line.h"
#include "controller/services.h"

namespace zl::controller {

MainController::MainController(schema::Engine& engine, MainView& view, Services& services)
    : m_view(view), m_services(services), m_connection(engine, view) {}

void MainController::start(const std::vector<std::string>& arguments) {
    m_view.setCaption(kWindowCaption);
    const std::string database = DatabaseFromCommandLine(arguments);
    if (m_services.tutorialShownAtStart()) openTutorial();
    updateCommandEnabling();
    if (!database.empty()) {
        m_connection.OpenDatabaseFile(database);
        updateCommandEnabling();
    }
}

void MainController::updateCommandEnabling() {
    m_view.setDatabaseCommandsEnabled(m_connection.isOpen());
}

void MainController::fileMenuOpening() { updateCommandEnabling(); }

void MainController::fileOpen() {
    m_connection.CloseDatabase();
    m_connection.OpenDatabaseFile("");
    updateCommandEnabling();
}

void MainController::fileClose() {
    m_connection.CloseDatabase();
    updateCommandEnabling();
}

void MainController::fileSettings() {
    m_view.setBusyPointer(true);
    const std::optional<settings::GenerationSettings> edited =
        m_view.editSettings(m_services.currentSettings());
    if (edited) {
        if (const support::Status stored = m_services.storeSettings(*edited); !stored) {
            m_view.showMessage("Cannot store the settings: " + stored.error().message, kAppTitle,
                               MessageIcon::Exclamation);
        }
    }
    m_view.setBusyPointer(false);
}

void MainController::CreateVisualBasicModule() {
    const schema::Database* db = m_connection.database();
    if (!m_connection.isOpen() || db == nullptr) return;
    FileDialogRequest request;
    request.title = kFileDialogTitle;
    request.filters = {"Basic module (*.bas)", "All files (*)"};
    request.defaultSuffix = "bas";
    request.confirmOverwrite = true;
    const std::string fileName = m_view.askSaveFileName(request);
    if (fileName.empty()) return;
    support::Status written;
    try {
        written = m_services.writeModule(fileName, m_connection.model(), *db);
    } catch (const std::exception& e) {
        written = support::Error{support::ErrorKind::Engine, e.what()};
    }
    if (written) {
        m_view.showMessage(vbgen::kModuleSuccessMessage, kAppTitle, MessageIcon::Information);
    } else {
        m_view.showMessage(written.error().message, kAppTitle, MessageIcon::Exclamation);
    }
}

void MainController::generateSqlDefinition(sqlgen::SqlDialect dialect) {
    std::string script;
    try {
        script = m_services.sqlScript(dialect, m_connection.model(), m_connection.database());
    } catch (const std::exception& e) {
        m_view.showMessage(e.what(), kAppTitle, MessageIcon::Exclamation);
        return;
    }
    m_view.showTextViewer(sqlgen::kSqlScriptCaption, script);
}

void MainController::exportToSqlite() {
    if (!m_connection.isOpen() || m_connection.database() == nullptr) return;
    FileDialogRequest request;
    request.title = kExportSqliteTitle;
    request.filters = {"SQLite database (*.sqlite *.db)", "All files (*)"};
    request.defaultSuffix = "sqlite";
    request.confirmOverwrite = true;
    ExportJob job;
    job.target = ExportTarget::Sqlite;
    job.sqliteFile = m_view.askSaveFileName(request);
    if (job.sqliteFile.empty()) return;
    runExport(job, kExportSqliteTitle);
}

void MainController::exportToPostgresql() {
    if (!m_connection.isOpen() || m_connection.database() == nullptr) return;
    std::optional<PostgresConnection> entered = m_view.askPostgresConnection(m_lastPostgres);
    if (!entered) return;
    ExportJob job;
    job.target = ExportTarget::Postgresql;
    job.postgres = std::move(*entered);
    m_lastPostgres = job.postgres;
    m_lastPostgres.password.clear();
    runExport(job, kExportPostgresTitle);
}

void MainController::runExport(const ExportJob& job, const std::string& caption) {
    const schema::Database& db = *m_connection.database();
    const schema::SchemaModel& model = m_connection.model();
    const ExportOutcome outcome = m_view.runWithProgress(
        caption, [&](const std::atomic<bool>& cancel, const ExportProgress& progress) {
            return m_services.exportData(job, model, db, cancel, progress);
        });
    switch (outcome.kind) {
        case ExportOutcomeKind::Ok: {
            std::string text = outcome.summary + "\n";
            if (!outcome.ledger.empty()) text += "\nLedger:\n" + outcome.ledger;
            m_view.showTextViewer(caption, text);
            break;
        }
        case ExportOutcomeKind::Cancelled:
            m_view.showMessage(outcome.summary, caption, MessageIcon::Information);
            break;
        case ExportOutcomeKind::Failed:
            m_view.showMessage(outcome.summary, caption, MessageIcon::Exclamation);
            break;
        case ExportOutcomeKind::RulesBroken: {
            // Nothing was written; the user may run it again either way, once.
            if (job.skipInvalidRows || job.noConstraints) {
                m_view.showMessage(outcome.summary, caption, MessageIcon::Exclamation);
                break;
            }
            const int answer = m_view.askChoice(outcome.summary, caption,
                                                {kLeaveRowsOut, kLoadWithoutRules, kCancelAnswer});
            if (answer != 0 && answer != 1) break;
            ExportJob again = job;
            again.skipInvalidRows = answer == 0;
            again.noConstraints = answer == 1;
            runExport(again, caption);
            break;
        }
    }
}

void MainController::selectAll() { m_connection.SelectAll(); }

void MainController::unselectAll() { m_connection.UnselectAll(); }

void MainController::openTutorial() {
    // Every opening from the closed state records that the tutorial is to show at start.
    if (m_view.openTutorial()) m_services.setTutorialShownAtStart(true);
}

void MainController::helpTutorial() { openTutorial(); }

void MainController::helpAbout() {
    m_view.setBusyPointer(true);
    m_view.showAbout();
    m_view.setBusyPointer(false);
}

void MainController::tutorialHidden() {
    m_services.setTutorialShownAtStart(false);
    m_view.closeTutorial();
}

void MainController::rowToggled(ListId list, int row, bool selected) {
    m_connection.rowToggled(list, row, selected);
}

void MainController::windowClosing() {
    m_connection.CloseDatabase();
    updateCommandEnabling();
}

}  // namespace zl::controller
