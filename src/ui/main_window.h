// The main window `zlgen`: three lists, their labels and the menu, rendering the controller.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <vector>

#include "controller/main_layout.h"
#include "controller/main_view.h"

class QAction;
class QLabel;
class QListWidget;
class QItemSelection;
class QPlainTextEdit;

namespace zl::schema {
class Engine;
}
namespace zl::controller {
class MainController;
class Services;
}  // namespace zl::controller

namespace zl::ui {

class TextViewer;
class TutorialWindow;

// Owns its controller; forwards menu commands and list clicks to it and shows what it asks for.
// Engine and services must outlive the window.
class MainWindow : public QMainWindow, public controller::MainView {
    Q_OBJECT

public:
    MainWindow(schema::Engine& engine, controller::Services& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up with the command line (program name excluded); call once the window is shown.
    void start(const std::vector<std::string>& arguments);

    // controller::MainView
    void setCaption(const std::string& caption) override;
    void clearList(controller::ListId list) override;
    void appendRow(controller::ListId list, const std::string& text, bool selected) override;
    void setRowSelected(controller::ListId list, int row, bool selected) override;
    void setAllRowsSelected(controller::ListId list, bool selected) override;
    void setCurrentRow(controller::ListId list, int row) override;
    void setListVisible(controller::ListId list, bool visible) override;
    void setLabelText(controller::LabelId label, const std::string& text) override;
    void setLabelVisible(controller::LabelId label, bool visible) override;
    void setDatabaseCommandsEnabled(bool enabled) override;
    std::string askOpenFileName(const controller::FileDialogRequest& request) override;
    std::string askSaveFileName(const controller::FileDialogRequest& request) override;
    void showMessage(const std::string& text, const std::string& title,
                     controller::MessageIcon icon) override;
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
    void closeTutorial() override;
    void showAbout() override;
    void setBusyPointer(bool busy) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    QAction* addCommand(QMenu* menu, const char* objectName, const QString& caption,
                        const QKeySequence& key, void (controller::MainController::*command)());
    void watchSelection(QListWidget* list, controller::ListId id);
    void forwardSelection(controller::ListId id, const QItemSelection& selected,
                          const QItemSelection& deselected);
    QListWidget* list(controller::ListId id) const;
    QLabel* label(controller::LabelId id) const;
    void layoutControls();
    // The client size at which the lists show typical names whole (twips), never below the
    // layout's own size.
    QSize openingClientSize() const;
    bool showEntryTip(QListWidget* list, QEvent* event);
    bool filterSqlKeys(QEvent* event);
    void keepOpened(QWidget* window);

    std::unique_ptr<controller::MainController> m_controller;
    QListWidget* m_tables = nullptr;
    QListWidget* m_fields = nullptr;
    QListWidget* m_indexes = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_tableName = nullptr;
    QLabel* m_indexesLabel = nullptr;
    QLabel* m_copyright = nullptr;
    QPlainTextEdit* m_sql = nullptr;
    QAction* m_closeAction = nullptr;
    QAction* m_createAction = nullptr;
    QAction* m_exportSqliteAction = nullptr;
    QAction* m_exportPostgresAction = nullptr;
    controller::MainLayout m_layout;
    QPointer<TextViewer> m_viewer;
    QPointer<TutorialWindow> m_tutorial;
    // Windows this one opened, in opening order, so that closing takes the latest first.
    std::vector<QPointer<QWidget>> m_opened;
};

// Gives a caption that is cut short its full text as a tooltip, and takes it off otherwise.
void updateCaptionTip(QLabel& caption);

}  // namespace zl::ui
