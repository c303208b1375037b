// The recording main window and services used by the controller tests.
#include "fake_main_view.h"

#include "schema/engine.h"

namespace zl::testing {

std::vector<std::string> FakeMainView::texts(ListId list) const {
    std::vector<std::string> out;
    if (auto it = rows.find(list); it != rows.end()) {
        for (const FakeRow& r : it->second) out.push_back(r.text);
    }
    return out;
}

std::vector<bool> FakeMainView::selection(ListId list) const {
    std::vector<bool> out;
    if (auto it = rows.find(list); it != rows.end()) {
        for (const FakeRow& r : it->second) out.push_back(r.selected);
    }
    return out;
}

void FakeMainView::report(ListId list, int row, bool selected) {
    if (onToggle) onToggle(list, row, selected);
}

void FakeMainView::click(ListId list, int row) {
    FakeRow& r = rows[list].at(static_cast<std::size_t>(row));
    r.selected = !r.selected;
    currentRow[list] = row;
    report(list, row, r.selected);
}

void FakeMainView::clearList(ListId list) {
    std::vector<FakeRow>& listRows = rows[list];
    const std::vector<FakeRow> old = listRows;
    listRows.clear();
    currentRow[list] = -1;
    for (std::size_t i = 0; i < old.size(); ++i) {
        if (old[i].selected) report(list, static_cast<int>(i), false);
    }
}

void FakeMainView::appendRow(ListId list, const std::string& text, bool selected) {
    rows[list].push_back(FakeRow{text, selected});
    if (selected) report(list, static_cast<int>(rows[list].size()) - 1, true);
}

void FakeMainView::setRowSelected(ListId list, int row, bool selected) {
    FakeRow& r = rows[list].at(static_cast<std::size_t>(row));
    if (r.selected == selected) return;
    r.selected = selected;
    report(list, row, selected);
}

void FakeMainView::setAllRowsSelected(ListId list, bool selected) {
    const std::size_t count = rows[list].size();
    for (std::size_t i = 0; i < count; ++i) setRowSelected(list, static_cast<int>(i), selected);
}

std::string FakeMainView::askOpenFileName(const controller::FileDialogRequest& request) {
    openRequests.push_back(request);
    events.push_back("open dialog");
    if (openAnswers.empty()) return {};
    std::string answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::string FakeMainView::askSaveFileName(const controller::FileDialogRequest& request) {
    saveRequests.push_back(request);
    events.push_back("save dialog");
    if (saveAnswers.empty()) return {};
    std::string answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

void FakeMainView::showMessage(const std::string& text, const std::string& title,
                               MessageIcon icon) {
    messages.push_back(ShownMessage{text, title, icon});
    events.push_back("message: " + text);
}

int FakeMainView::askChoice(const std::string& text, const std::string& /*title*/,
                            const std::vector<std::string>& answers) {
    choices.push_back({text, answers});
    events.push_back("choice: " + text);
    if (choiceAnswers.empty()) return -1;
    const int answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
}

void FakeMainView::showTextViewer(const std::string& viewerCaption, const std::string& text) {
    viewerShows.emplace_back(viewerCaption, text);
    events.push_back("viewer");
}

std::optional<settings::GenerationSettings> FakeMainView::editSettings(
    const settings::GenerationSettings& current) {
    settingsShown.push_back(current);
    events.push_back("settings");
    return settingsAnswer;
}

std::optional<controller::PostgresConnection> FakeMainView::askPostgresConnection(
    const controller::PostgresConnection& last) {
    postgresShown.push_back(last);
    events.push_back("postgres");
    return postgresAnswer;
}

controller::ExportOutcome FakeMainView::runWithProgress(const std::string& title,
                                                        const controller::ProgressWork& work) {
    progressCaptions.push_back(title);
    events.push_back("progress");
    std::atomic<bool> cancel{false};
    return work(cancel, [&](const std::string&, std::uint64_t, std::uint64_t) {
        if (++progressReports == cancelAtReport) cancel.store(true);
    });
}

bool FakeMainView::openTutorial() {
    events.push_back("tutorial");
    if (tutorialOpen) return false;
    tutorialOpen = true;
    ++tutorialOpenings;
    return true;
}

void FakeMainView::showAbout() {
    ++aboutShown;
    events.push_back("about");
}

support::Status FakeServices::writeModule(const std::string& fileName,
                                          const schema::SchemaModel& /*model*/,
                                          const schema::Database& /*db*/) {
    modulesWritten.push_back(fileName);
    return moduleOutcome;
}

controller::ExportOutcome FakeServices::exportData(const controller::ExportJob& job,
                                                   const schema::SchemaModel& model,
                                                   const schema::Database& db,
                                                   const std::atomic<bool>& cancel,
                                                   const controller::ExportProgress& progress) {
    exportJobs.push_back(job);
    return controller::runDataExport(db, model, job, cancel, progress);
}

std::string FakeServices::sqlScript(sqlgen::SqlDialect dialect,
                                    const schema::SchemaModel& /*model*/,
                                    const schema::Database* /*db*/) {
    dialects.push_back(dialect);
    if (scriptFailure) throw schema::EngineError(*scriptFailure);
    return script;
}

support::Status FakeServices::storeSettings(const settings::GenerationSettings& edited) {
    settingsInForce = edited;
    ++settingsStored;
    return storeOutcome;
}

void FakeServices::setTutorialShownAtStart(bool show) {
    tutorialSetting = show;
    tutorialWrites.push_back(show);
}

}  // namespace zl::testing
