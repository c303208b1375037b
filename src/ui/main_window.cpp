// The main window: controls, menu and the view operations its controller calls.
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <ranges>

#include "controller/app_texts.h"
#include "controller/main_controller.h"
#include "ui/about_box.h"
#include "ui/qt_placement.h"
#include "ui/qt_text.h"
#include "ui/settings_dialog.h"
#include "ui/text_viewer.h"
#include "ui/tutorial_window.h"
#include "ui/twips.h"

namespace zl::ui {

using controller::LabelId;
using controller::ListId;

MainWindow::MainWindow(schema::Engine& engine, controller::Services& services, QWidget* parent)
    : QMainWindow(parent),
      m_controller(std::make_unique<controller::MainController>(engine, *this, services)),
      m_layout(controller::CreationLayout()) {
    setObjectName("zlgen");
    setWindowTitle(controller::kWindowCaption);
    buildMenus();
    buildControls();
    resize(toPixels(*this, controller::kCreationClientWidth),
           toPixels(*this, controller::kCreationClientHeight) + menuBar()->sizeHint().height());
    centerOnScreen(*this);
}

MainWindow::~MainWindow() {
    for (const QPointer<QWidget>& window : m_opened) delete window.data();
}

void MainWindow::start(const std::vector<std::string>& arguments) {
    m_controller->start(arguments);
}

void MainWindow::setCaption(const std::string& caption) { setWindowTitle(toQString(caption)); }

QListWidget* MainWindow::list(ListId id) const {
    switch (id) {
        case ListId::Tables:
            return m_tables;
        case ListId::Fields:
            return m_fields;
        case ListId::Indexes:
            return m_indexes;
    }
    return m_tables;
}

QLabel* MainWindow::label(LabelId id) const {
    switch (id) {
        case LabelId::TableName:
            return m_tableName;
        case LabelId::Sql:
            return m_sql;
        case LabelId::IndexesLabel:
            return m_indexesLabel;
    }
    return m_tableName;
}

void MainWindow::clearList(ListId id) { list(id)->clear(); }

void MainWindow::appendRow(ListId id, const std::string& text, bool selected) {
    auto* item = new QListWidgetItem(toQString(text), list(id));
    if (selected) item->setSelected(true);
}

void MainWindow::setRowSelected(ListId id, int row, bool selected) {
    if (QListWidgetItem* item = list(id)->item(row)) item->setSelected(selected);
}

void MainWindow::setAllRowsSelected(ListId id, bool selected) {
    QListWidget* widget = list(id);
    if (widget->count() == 0) return;
    const QItemSelection all(widget->model()->index(0, 0),
                             widget->model()->index(widget->count() - 1, 0));
    widget->selectionModel()->select(
        all, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void MainWindow::setCurrentRow(ListId id, int row) {
    QListWidget* widget = list(id);
    widget->selectionModel()->setCurrentIndex(widget->model()->index(row, 0),
                                              QItemSelectionModel::NoUpdate);
}

void MainWindow::setListVisible(ListId id, bool visible) { list(id)->setVisible(visible); }

void MainWindow::setLabelText(LabelId id, const std::string& text) {
    QString shown = toQString(text);
    // The SQL text comes with CR LF line ends; a label breaks lines at LF alone.
    if (id == LabelId::Sql) shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    label(id)->setText(shown);
}

void MainWindow::setLabelVisible(LabelId id, bool visible) { label(id)->setVisible(visible); }

void MainWindow::setDatabaseCommandsEnabled(bool enabled) {
    m_closeAction->setEnabled(enabled);
    m_createAction->setEnabled(enabled);
}

namespace {

QString runFileDialog(QWidget* parent, const controller::FileDialogRequest& request,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, toQString(request.title));
    QStringList filters;
    for (const std::string& filter : request.filters) filters << toQString(filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(toQString(request.defaultSuffix));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

}  // namespace

std::string MainWindow::askOpenFileName(const controller::FileDialogRequest& request) {
    return toStdString(runFileDialog(this, request, QFileDialog::AcceptOpen));
}

std::string MainWindow::askSaveFileName(const controller::FileDialogRequest& request) {
    return toStdString(runFileDialog(this, request, QFileDialog::AcceptSave));
}

void MainWindow::showMessage(const std::string& text, const std::string& title,
                             controller::MessageIcon icon) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    if (icon == controller::MessageIcon::Exclamation) qtIcon = QMessageBox::Warning;
    if (icon == controller::MessageIcon::Information) qtIcon = QMessageBox::Information;
    QMessageBox box(qtIcon, toQString(title), toQString(text), QMessageBox::Ok, this);
    box.setObjectName("messageBox");
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void MainWindow::keepOpened(QWidget* window) {
    std::erase_if(m_opened, [](const QPointer<QWidget>& w) { return w.isNull(); });
    m_opened.emplace_back(window);
}

void MainWindow::showTextViewer(const std::string& caption, const std::string& text) {
    if (m_viewer.isNull()) {
        m_viewer = new TextViewer();
        keepOpened(m_viewer);
    }
    m_viewer->showText(toQString(caption), toQString(text));
}

std::optional<settings::GenerationSettings> MainWindow::editSettings(
    const settings::GenerationSettings& current) {
    SettingsDialog dialog(current, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.settings();
}

bool MainWindow::openTutorial() {
    const bool opening = m_tutorial.isNull();
    if (opening) {
        m_tutorial = new TutorialWindow();
        connect(m_tutorial, &TutorialWindow::hideRequested, this,
                [this] { m_controller->tutorialHidden(); });
        keepOpened(m_tutorial);
        // Beside the main window: left edges touching, 300 twips lower.
        const controller::WindowFrame main = windowFrame(*this);
        moveWithinScreen(*m_tutorial, controller::RoundTwips(main.left + main.width),
                         controller::RoundTwips(main.top + 300), -1, -1);
    }
    m_tutorial->show();
    m_tutorial->raise();
    raise();
    activateWindow();
    return opening;
}

void MainWindow::closeTutorial() {
    if (!m_tutorial.isNull()) m_tutorial->close();
}

void MainWindow::showAbout() {
    AboutBox box(this);
    box.exec();
}

void MainWindow::setBusyPointer(bool busy) {
    if (busy) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_controller->windowClosing();
    for (const QPointer<QWidget>& window : std::views::reverse(m_opened)) {
        if (!window.isNull()) window->close();
    }
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) layoutControls();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::forwardSelection(ListId id, const QItemSelection& selected,
                                  const QItemSelection& deselected) {
    for (const QModelIndex& index : deselected.indexes()) {
        m_controller->rowToggled(id, index.row(), false);
    }
    for (const QModelIndex& index : selected.indexes()) {
        m_controller->rowToggled(id, index.row(), true);
    }
}

void MainWindow::watchSelection(QListWidget* widget, ListId id) {
    connect(widget->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, id](const QItemSelection& selected, const QItemSelection& deselected) {
                forwardSelection(id, selected, deselected);
            });
}

}  // namespace zl::ui
