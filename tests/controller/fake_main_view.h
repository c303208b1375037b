// A main window without a toolkit, recording what the controller shows, and stand-in services.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "controller/main_view.h"
#include "controller/services.h"

namespace zl::testing {

using controller::LabelId;
using controller::ListId;
using controller::MessageIcon;

struct ShownMessage {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    bool operator==(const ShownMessage&) const = default;
};

struct FakeRow {
    std::string text;
    bool selected = false;
};

// Like a toolkit list, every selection change (the view's own included) is reported back
// through `onToggle` at once, so a controller that does not tell them apart is caught.
class FakeMainView : public controller::MainView {
public:
    std::function<void(ListId, int, bool)> onToggle;

    // What the dialogs answer next; an empty queue answers "cancelled".
    std::deque<std::string> openAnswers;
    std::deque<std::string> saveAnswers;
    std::deque<int> choiceAnswers;  // askChoice's answers in turn; -1 once they run out
    std::optional<settings::GenerationSettings> settingsAnswer;
    std::optional<controller::PostgresConnection> postgresAnswer;
    // The progress dialog's Cancel, pressed at this progress report (1-based); 0: never.
    int cancelAtReport = 0;

    std::string caption;
    std::map<ListId, std::vector<FakeRow>> rows;
    std::map<ListId, int> currentRow;
    std::map<ListId, bool> listVisible;
    std::map<LabelId, std::string> labelText;
    std::map<LabelId, bool> labelVisible;
    std::optional<bool> databaseCommandsEnabled;
    std::vector<controller::FileDialogRequest> openRequests;
    std::vector<controller::FileDialogRequest> saveRequests;
    std::vector<ShownMessage> messages;
    std::vector<std::pair<std::string, std::vector<std::string>>> choices;  // text, answers
    std::vector<std::pair<std::string, std::string>> viewerShows;           // caption, text
    std::vector<settings::GenerationSettings> settingsShown;
    std::vector<controller::PostgresConnection> postgresShown;
    std::vector<std::string> progressCaptions;
    int progressReports = 0;
    bool tutorialOpen = false;
    int tutorialOpenings = 0;
    int aboutShown = 0;
    std::vector<bool> busyPointer;
    std::vector<std::string> events;  // dialogs and windows in the order they were shown

    std::vector<std::string> texts(ListId list) const;
    std::vector<bool> selection(ListId list) const;
    // What a user's click does: toggles the row, makes it current, reports the change.
    void click(ListId list, int row);

    void setCaption(const std::string& text) override { caption = text; }
    void clearList(ListId list) override;
    void appendRow(ListId list, const std::string& text, bool selected) override;
    void setRowSelected(ListId list, int row, bool selected) override;
    void setAllRowsSelected(ListId list, bool selected) override;
    void setCurrentRow(ListId list, int row) override { currentRow[list] = row; }
    void setListVisible(ListId list, bool visible) override { listVisible[list] = visible; }
    void setLabelText(LabelId label, const std::string& text) override { labelText[label] = text; }
    void setLabelVisible(LabelId label, bool visible) override { labelVisible[label] = visible; }
    void setDatabaseCommandsEnabled(bool enabled) override { databaseCommandsEnabled = enabled; }
    std::string askOpenFileName(const controller::FileDialogRequest& request) override;
    std::string askSaveFileName(const controller::FileDialogRequest& request) override;
    void showMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    int askChoice(const std::string& text, const std::string& title,
                  const std::vector<std::string>& answers) override;
    void showTextViewer(const std::string& caption, const std::string& text) override;
    std::optional<settings::GenerationSettings> editSettings(
        const settings::GenerationSettings& current) override;
    std::optional<controller::PostgresConnection> askPostgresConnection(
        const controller::PostgresConnection& last) override;
    controller::ExportOutcome runWithProgress(const std::string& caption,
                                              const controller::ProgressWork& work) override;
    bool openTutorial() override;
    void closeTutorial() override { tutorialOpen = false; }
    void showAbout() override;
    void setBusyPointer(bool busy) override { busyPointer.push_back(busy); }

private:
    void report(ListId list, int row, bool selected);
};

// Services that record what the commands ask for.
class FakeServices : public controller::Services {
public:
    support::Status moduleOutcome;  // success unless a test sets an Error
    std::vector<std::string> modulesWritten;
    std::string script = "CREATE TABLE x\r\n";
    std::optional<std::string> scriptFailure;  // throws EngineError with this description
    std::vector<sqlgen::SqlDialect> dialects;
    settings::GenerationSettings settingsInForce;
    int settingsStored = 0;
    support::Status storeOutcome;  // what storeSettings returns
    bool tutorialSetting = true;
    std::vector<bool> tutorialWrites;
    std::vector<controller::ExportJob> exportJobs;

    // Records the job and runs the real export.
    controller::ExportOutcome exportData(const controller::ExportJob& job,
                                         const schema::SchemaModel& model,
                                         const schema::Database& db,
                                         const std::atomic<bool>& cancel,
                                         const controller::ExportProgress& progress) override;

    support::Status writeModule(const std::string& fileName, const schema::SchemaModel& model,
                                const schema::Database& db) override;
    std::string sqlScript(sqlgen::SqlDialect dialect, const schema::SchemaModel& model,
                          const schema::Database* db) override;
    settings::GenerationSettings currentSettings() override { return settingsInForce; }
    support::Status storeSettings(const settings::GenerationSettings& edited) override;
    bool tutorialShownAtStart() override { return tutorialSetting; }
    void setTutorialShownAtStart(bool show) override;
};

}  // namespace zl::testing
