// What the main window's controller needs of the window: lists, labels, dialogs and windows.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controller/data_export.h"
#include "settings/generation_settings.h"

namespace zl::controller {

// The three lists of the main window.
enum class ListId { Tables, Fields, Indexes };

// The labels whose caption or visibility the controller sets.
enum class LabelId { TableName, Sql, IndexesLabel };

// The icon of a message box.
enum class MessageIcon { None, Exclamation, Information };

// An open or save file dialog. Each filter is "Label (patterns)", e.g. "MS Access (*.mdb)";
// the first filter is the one chosen at start.
struct FileDialogRequest {
    std::string title;
    std::vector<std::string> filters;
    std::string defaultSuffix;      // added when the user types a name without one
    bool mustExist = false;         // open: the chosen file must exist
    bool confirmOverwrite = false;  // save: ask before replacing an existing file
};

// Work run under a progress dialog: it reports progress and stops once `cancel` turns true.
using ProgressWork =
    std::function<ExportOutcome(const std::atomic<bool>& cancel, const ExportProgress& progress)>;

// The main window as the controller sees it. Every call is synchronous. A list may report a
// selection change back (MainController::rowToggled) from inside any call that changes its
// rows or their selection, as a toolkit list does; the controller ignores those reports.
class MainView {
public:
    virtual ~MainView() = default;

    virtual void setCaption(const std::string& caption) = 0;

    // Lists. Rows are 0-based. appendRow adds one row with the given selection state.
    virtual void clearList(ListId list) = 0;
    virtual void appendRow(ListId list, const std::string& text, bool selected) = 0;
    virtual void setRowSelected(ListId list, int row, bool selected) = 0;
    virtual void setAllRowsSelected(ListId list, bool selected) = 0;
    // Makes `row` the list's current row without changing any selection; -1 for none.
    virtual void setCurrentRow(ListId list, int row) = 0;
    virtual void setListVisible(ListId list, bool visible) = 0;

    // Labels; texts may carry "&" before a shortcut letter ("&&" for an ampersand).
    virtual void setLabelText(LabelId label, const std::string& text) = 0;
    virtual void setLabelVisible(LabelId label, bool visible) = 0;

    // The File menu's "&Close Database", "Create &Visual Basic Module..." and export items.
    virtual void setDatabaseCommandsEnabled(bool enabled) = 0;

    // Modal file dialogs; each returns the chosen file name, or empty text when cancelled.
    virtual std::string askOpenFileName(const FileDialogRequest& request) = 0;
    virtual std::string askSaveFileName(const FileDialogRequest& request) = 0;

    // A modal message box with an OK button.
    virtual void showMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;

    // A modal question with one button for each of `answers` (the first is the default);
    // the index of the one pressed, or -1 when the box was closed otherwise.
    virtual int askChoice(const std::string& text, const std::string& title,
                          const std::vector<std::string>& answers) = 0;

    // The modeless text viewer: created when not open, else reused with text and caption replaced.
    virtual void showTextViewer(const std::string& caption, const std::string& text) = 0;

    // The modal Settings dialog filled with `current`; the edited values when the user pressed
    // OK, nothing when the dialog was closed any other way.
    virtual std::optional<settings::GenerationSettings> editSettings(
        const settings::GenerationSettings& current) = 0;

    // The modal PostgreSQL connection dialog filled with `last` (its password empty); the
    // entered fields on OK, nothing when the dialog was closed any other way.
    virtual std::optional<PostgresConnection> askPostgresConnection(
        const PostgresConnection& last) = 0;

    // Runs `work` on another thread under a modal progress dialog titled `caption`, whose
    // Cancel sets the flag; returns the work's outcome once it has ended.
    virtual ExportOutcome runWithProgress(const std::string& caption, const ProgressWork& work) = 0;

    // The modeless tutorial window beside the main window, then the main window activated.
    // Returns true when the window was newly opened, false when it was only brought forward.
    virtual bool openTutorial() = 0;
    virtual void closeTutorial() = 0;

    // The modal About box.
    virtual void showAbout() = 0;

    // The hourglass pointer on the main window while a modal dialog is being opened and shown.
    virtual void setBusyPointer(bool busy) = 0;
};

}  // namespace zl::controller
